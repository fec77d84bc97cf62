// The settings file: the record kept in the save folder, its defaults, repair and atomic save.
#include "config.h"

#include "files.h"
#include "message.h"
#include "save_folder.h"

#include <allegro.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>

static const char *const CONFIG_WRITE_FAILED = "L'ecriture dans le fichier de config a echoue.";

void default_config(config *cfg) {
    memset(cfg, 0, sizeof *cfg);
    cfg->gfx_card = GFX_AUTODETECT_FULLSCREEN;
    cfg->display_method = 0;
    cfg->vsync = 0;
    cfg->music_volume = 150;
    cfg->effects_volume = 200;
    cfg->screen_w = 800;
    cfg->screen_h = 600;
    cfg->time_limit = 90;
    cfg->key_up = KEY_UP;
    cfg->key_down = KEY_DOWN;
    cfg->key_left = KEY_LEFT;
    cfg->key_right = KEY_RIGHT;
    cfg->key_bomb = KEY_SPACE;
    cfg->key_quit = KEY_ESC;
    cfg->key_pause = KEY_P;
}

int32_t *config_key_field(config *cfg, int action) {
    int32_t *keys[KEY_ACTION_COUNT] = {&cfg->key_up,    &cfg->key_down, &cfg->key_left,
                                       &cfg->key_right, &cfg->key_bomb, &cfg->key_quit,
                                       &cfg->key_pause};
    return action >= 0 && action < KEY_ACTION_COUNT ? keys[action] : nullptr;
}

// The cards a record may hold: the options' full screen and window, the safe one, and every
// driver the safe mode's selector offers on this system.
static bool known_card(int32_t card) {
    static const int32_t cards[] = {
        GFX_AUTODETECT,    GFX_AUTODETECT_FULLSCREEN, GFX_AUTODETECT_WINDOWED,
        GFX_SAFE,
#ifdef _WIN32
        GFX_DIRECTX_ACCEL, GFX_DIRECTX_SAFE,          GFX_DIRECTX_SOFT,
        GFX_DIRECTX_WIN,   GFX_DIRECTX_OVL,           GFX_GDI,
#else
        GFX_XWINDOWS, GFX_XWINDOWS_FULLSCREEN, GFX_XDGA2, GFX_XDGA2_SOFT, GFX_FBCON, GFX_VBEAF,
        GFX_SVGALIB, GFX_VGA, GFX_MODEX,
#endif
    };
    for (int32_t known : cards)
        if (card == known) return true;
    return false;
}

// The game sizes of the options dialog.
static bool offered_size(int32_t w, int32_t h) {
    return (w == 640 && h == 480) || (w == 800 && h == 600) || (w == 1024 && h == 768);
}

// Sets *field to `value` when they differ; true when it did.
static bool mend(int32_t *field, int32_t value) {
    if (*field == value) return false;
    *field = value;
    return true;
}

static int32_t clamp_volume(int32_t volume) {
    return volume < 0 ? 0 : volume > 255 ? 255 : volume;
}

bool repair_config(config *cfg, size_t bytes_read) {
    bool changed = false;
    if (bytes_read < sizeof *cfg) {
        config defaults;
        default_config(&defaults);
        memcpy((uint8_t *)cfg + bytes_read, (const uint8_t *)&defaults + bytes_read,
               sizeof *cfg - bytes_read);
        changed = true;
    }
    config defaults;
    default_config(&defaults);
    for (int action = 0; action < KEY_ACTION_COUNT; action++) {
        int32_t *code = config_key_field(cfg, action);
        if (*code < 1 || *code >= KEY_MAX) {
            *code = *config_key_field(&defaults, action);
            changed = true;
        }
    }
    // A game of no time would count down past zero and never end.
    if (cfg->time_limit <= 0) changed |= mend(&cfg->time_limit, defaults.time_limit);
    // A mode no screen writes would end every game ("-759429999 x -761871509").
    if (!offered_size(cfg->screen_w, cfg->screen_h)) {
        changed |= mend(&cfg->screen_w, defaults.screen_w);
        changed |= mend(&cfg->screen_h, defaults.screen_h);
    }
    if (!known_card(cfg->gfx_card)) changed |= mend(&cfg->gfx_card, defaults.gfx_card);
    changed |= mend(&cfg->music_volume, clamp_volume(cfg->music_volume));
    changed |= mend(&cfg->effects_volume, clamp_volume(cfg->effects_volume));
    return changed;
}

bool write_config_file(const config *cfg, const char *path) {
    // A save interrupted half-way must leave the old file whole.
    return write_file_whole(path, cfg, sizeof *cfg);
}

void make_config(config *cfg, int gfx_card, int display_method, int vsync, int music_volume,
                 int effects_volume, int screen_w, int screen_h, int time_limit, int key_up,
                 int key_down, int key_left, int key_right, int key_bomb, int key_quit,
                 int key_pause) {
    cfg->gfx_card = gfx_card;
    cfg->display_method = (int8_t)display_method;
    cfg->vsync = (int8_t)vsync;
    cfg->music_volume = music_volume;
    cfg->effects_volume = effects_volume;
    cfg->screen_w = screen_w;
    cfg->screen_h = screen_h;
    cfg->time_limit = time_limit;
    cfg->key_up = key_up;
    cfg->key_down = key_down;
    cfg->key_left = key_left;
    cfg->key_right = key_right;
    cfg->key_bomb = key_bomb;
    cfg->key_quit = key_quit;
    cfg->key_pause = key_pause;
    if (!write_config_file(cfg, save_file(CONFIG_NAME).c_str())) fatal_exit(CONFIG_WRITE_FAILED);
}

config *load_config() {
    config *cfg = (config *)calloc(1, sizeof(config));
    if (!cfg) {
        fprintf(stderr, "Erreur : plus de memoire pour la configuration\n");
        exit(1);
    }
    FILE *f = fopen(save_file(CONFIG_NAME).c_str(), "rb");
    // Settings left in a game folder that can no longer be written are read all the same.
    if (!f && save_folder() != GAME_SAVE_FOLDER) f = fopen(CONFIG_FILE, "rb");
    if (f) {
        size_t got = fread(cfg, 1, sizeof *cfg, f);
        fclose(f);
        repair_config(cfg, got);
        return cfg;
    }
    config d;
    default_config(&d);
    make_config(cfg, d.gfx_card, d.display_method, d.vsync, d.music_volume, d.effects_volume,
                d.screen_w, d.screen_h, d.time_limit, d.key_up, d.key_down, d.key_left, d.key_right,
                d.key_bomb, d.key_quit, d.key_pause);
    return cfg;
}
