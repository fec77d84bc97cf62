// The settings file: the 56-byte record kept in the save folder's config.czc.
#pragma once

#include <cstddef>
#include <cstdint>

#define CONFIG_NAME "config.czc"
// The settings file in the game's own save folder (on Windows the save folder may be
// another, see save_folder.h).
#define CONFIG_FILE "save/" CONFIG_NAME
#define CONFIG_SIZE 56

// Stored byte for byte in the settings file (little-endian, two padding bytes after vsync).
struct config {
    int32_t gfx_card;
    int8_t display_method;
    int8_t vsync;
    uint8_t padding[2];
    int32_t music_volume;
    int32_t effects_volume;
    int32_t screen_w;
    int32_t screen_h;
    int32_t time_limit;
    int32_t key_up;
    int32_t key_down;
    int32_t key_left;
    int32_t key_right;
    int32_t key_bomb;
    int32_t key_quit;
    int32_t key_pause;
};
static_assert(sizeof(config) == CONFIG_SIZE, "the settings file is 56 bytes");

// Reads the settings file, or creates it with the defaults; never returns null. On Windows,
// when the save folder is the player's application data, the game's own save/config.czc
// is read when the player's holds none yet.
config *load_config();
// Sets every field and rewrites the whole file (fatal when it cannot be written).
void make_config(config *cfg, int gfx_card, int display_method, int vsync, int music_volume,
                 int effects_volume, int screen_w, int screen_h, int time_limit, int key_up,
                 int key_down, int key_left, int key_right, int key_bomb, int key_quit,
                 int key_pause);

// Fills cfg with the defaults of a first start, without writing anything.
void default_config(config *cfg);
// Mends a record of which only `bytes_read` bytes came from the file: the fields not
// read, every key code outside the key table, a time limit of 0 or less, a game size the
// options do not offer and a card the library does not know take their defaults; volumes
// are brought within 0..255. Returns true when something was changed.
bool repair_config(config *cfg, size_t bytes_read);
// Writes the record to `path` through a temporary file renamed over it; false on failure.
bool write_config_file(const config *cfg, const char *path);

// The seven game keys, in the order of the questions of the key binding screen.
enum { KEY_ACTION_COUNT = 7 };
int32_t *config_key_field(config *cfg, int action);
