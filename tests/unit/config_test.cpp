// The settings file (its bytes, loading, repairs, safe saving) and the options dialog
// (what it shows for a record and what it saves).
#include "config.h"
#include "test_util.h"

#include <allegro.h>
#include <cstring>
#include <gtest/gtest.h>

namespace {

const uint8_t DEFAULT_FILE[56] = {0x01, 0,    0, 0, 0x00, 0x00, 0, 0, 0x96, 0, 0, 0, 0xc8, 0, 0, 0,
                                  0x20, 0x03, 0, 0, 0x58, 0x02, 0, 0, 0x5a, 0, 0, 0, 0x54, 0, 0, 0,
                                  0x55, 0,    0, 0, 0x52, 0,    0, 0, 0x53, 0, 0, 0, 0x4b, 0, 0, 0,
                                  0x3b, 0,    0, 0, 0x10, 0,    0, 0};

// A run directory of its own with save/, as the working directory.
struct settings : ::testing::Test {
    temp_dir dir;
    scoped_cwd *cwd = nullptr;
    void SetUp() override {
        make_dirs(dir.file("save"));
        cwd = new scoped_cwd(dir.path);
    }
    void TearDown() override { delete cwd; }
    // The record loaded from a file holding `bytes`, or from no file when `bytes` is null.
    config loaded(const std::vector<uint8_t> *bytes) {
        if (bytes) write_file("save/config.czc", *bytes);
        config *cfg = load_config();
        config copy = *cfg;
        free(cfg);
        return copy;
    }
    config saved() {
        config c{};
        std::vector<uint8_t> bytes = read_file("save/config.czc");
        if (bytes.size() == sizeof c) memcpy(&c, bytes.data(), sizeof c);
        return c;
    }
};

TEST_F(settings, a_first_start_writes_the_default_file_byte_for_byte) {
    config cfg = loaded(nullptr);
    std::vector<uint8_t> bytes = read_file("save/config.czc");
    ASSERT_EQ(bytes.size(), 56u);
    bytes[6] = bytes[7] = 0; // padding
    EXPECT_EQ(bytes, std::vector<uint8_t>(DEFAULT_FILE, DEFAULT_FILE + 56));
    EXPECT_EQ(memcmp(&cfg, bytes.data(), 56), 0);
    EXPECT_FALSE(file_exists("save/config.czc.tmp"));
}

// Each file a player may have, and the record it gives: kept as stored when in range,
// defaults for what a short file lacks, key codes outside the key table repaired.
TEST_F(settings, each_file_gives_its_record) {
    auto file = [](std::initializer_list<std::pair<int, int>> changes, size_t size = 56) {
        std::vector<uint8_t> b(DEFAULT_FILE, DEFAULT_FILE + 56);
        for (auto [at, value] : changes)
            b[at] = (uint8_t)value;
        b.resize(size);
        return b;
    };
    const struct {
        std::vector<uint8_t> bytes;
        int display_method, time_limit, music, screen_w, screen_h, key_up, key_down, key_bomb,
            key_pause;
    } cases[] = {
        {file({}), 0, 90, 150, 800, 600, KEY_UP, KEY_DOWN, KEY_SPACE, KEY_P},
        {file({{4, 7}, {24, 45}, {8, 0}}), 7, 45, 0, 800, 600, KEY_UP, KEY_DOWN, KEY_SPACE, KEY_P},
        {file({{0, 2}, {16, 0x80}, {17, 2}}, 20), 0, 90, 150, 640, 600, KEY_UP, KEY_DOWN, KEY_SPACE,
         KEY_P},
        {file({}, 0), 0, 90, 150, 800, 600, KEY_UP, KEY_DOWN, KEY_SPACE, KEY_P},
        {file({{28, 0},
               {32, KEY_MAX},
               {44, 255},
               {45, 255},
               {46, 255},
               {47, 255},
               {52, KEY_MAX - 1}}),
         0, 90, 150, 800, 600, KEY_UP, KEY_DOWN, KEY_SPACE, KEY_MAX - 1},
    };
    for (const auto &c : cases) {
        config cfg = loaded(&c.bytes);
        int got[] = {cfg.display_method, cfg.time_limit, cfg.music_volume,
                     cfg.screen_w,       cfg.screen_h,   cfg.key_up,
                     cfg.key_down,       cfg.key_bomb,   cfg.key_pause};
        int want[] = {c.display_method, c.time_limit, c.music,    c.screen_w, c.screen_h,
                      c.key_up,         c.key_down,   c.key_bomb, c.key_pause};
        EXPECT_EQ(std::vector<int>(got, got + 9), std::vector<int>(want, want + 9))
            << c.bytes.size();
    }
}

TEST_F(settings, every_field_survives_a_save_and_a_load_and_a_failed_save_keeps_the_file) {
    config *cfg = load_config();
    make_config(cfg, 0x53414645, 2, 1, 7, 255, 1024, 768, 300, KEY_W, KEY_S, KEY_A, KEY_D,
                KEY_LCONTROL, KEY_Q, KEY_ENTER);
    config again = loaded(nullptr);
    EXPECT_EQ(memcmp(cfg, &again, sizeof again), 0);
    EXPECT_EQ(read_file("save/config.czc")[0], 0x45); // little-endian
    cfg->time_limit = 30;
    EXPECT_FALSE(write_config_file(cfg, "missing-dir/config.czc"));
    make_dirs("save/config.czc.tmp"); // in the way of the temporary file
    EXPECT_FALSE(write_config_file(cfg, "save/config.czc"));
    EXPECT_EQ(saved().time_limit, 300);
    free(cfg);
}

TEST(settings_keys, the_seven_actions_map_to_their_fields_and_repairs_are_reported) {
    config cfg;
    memset(&cfg, 0xff, sizeof cfg); // whatever the record held, the defaults are all set
    default_config(&cfg);
    std::vector<uint8_t> bytes = bytes_of(cfg);
    bytes[6] = bytes[7] = 0;
    EXPECT_EQ(bytes, std::vector<uint8_t>(DEFAULT_FILE, DEFAULT_FILE + 56));
    int32_t *fields[] = {&cfg.key_up,   &cfg.key_down, &cfg.key_left, &cfg.key_right,
                         &cfg.key_bomb, &cfg.key_quit, &cfg.key_pause};
    for (int action = 0; action < 7; action++)
        EXPECT_EQ(config_key_field(&cfg, action), fields[action]);
    EXPECT_EQ(config_key_field(&cfg, 7), nullptr);
    EXPECT_EQ(config_key_field(&cfg, -1), nullptr);
    EXPECT_FALSE(repair_config(&cfg, sizeof cfg));
    cfg.key_quit = 100000;
    EXPECT_TRUE(repair_config(&cfg, sizeof cfg));
    EXPECT_EQ(cfg.key_quit, KEY_ESC);
}

enum { VSYNC = 1, METHOD = 2, RESOLUTION = 3, WINDOW = 4, TIME = 5, MUSIC = 6, EFFECTS = 7 };

std::string shown(int item) {
    auto list = (char *(*)(int, int *))the_dialog[item].dp;
    int size = 0;
    list(-1, &size);
    int index = the_dialog[item].d1;
    return index >= 0 && index < size ? list(index, &size) : "";
}

// What the dialog shows for a record: the entry of the list nearest to each value.
TEST_F(settings, the_options_dialog_shows_the_nearest_entry_of_each_list) {
    allegro_for_tests();
    const struct {
        int gfx_card, screen_w, method, time_limit, vsync, music, effects;
        const char *window, *resolution, *method_shown, *time_shown;
        int music_shown, effects_shown;
    } cases[] = {
        {GFX_AUTODETECT_FULLSCREEN, 800, 0, 90, 0, 150, 200,
         "Plein \xe9"
         "cran",
         "800 x 600", "Double buffering", "90 secondes", 150, 200},
        {GFX_AUTODETECT_WINDOWED, 1024, 1, 300, 1, 999, -5, "Fen\xeatre", "1024 x 768",
         "Page flipping", "5 minutes", 255, 0},
        {AL_ID('X', 'W', 'I', 'N'), 320, 7, 59, 2, 0, 0,
         "Plein \xe9"
         "cran",
         "640 x 480", "Triple buffering", "30 secondes", 0, 0},
        {GFX_SAFE, 640, -3, 89, 0, 0, 0, "Safe mode", "640 x 480", "Double buffering", "1 minute",
         0, 0},
        {GFX_SAFE, 640, 0, -30, 0, 0, 0, "Safe mode", "640 x 480", "Double buffering", "5 minutes",
         0, 0},
    };
    for (const auto &c : cases) {
        config cfg;
        default_config(&cfg);
        cfg.gfx_card = c.gfx_card, cfg.screen_w = c.screen_w, cfg.display_method = (int8_t)c.method;
        cfg.time_limit = c.time_limit, cfg.vsync = (int8_t)c.vsync;
        cfg.music_volume = c.music, cfg.effects_volume = c.effects;
        the_dialog[VSYNC].flags |= D_SELECTED; // left over from an earlier showing
        fill_options_dialog(&cfg);
        EXPECT_EQ(shown(WINDOW), c.window);
        EXPECT_EQ(shown(RESOLUTION), c.resolution);
        EXPECT_EQ(shown(METHOD), c.method_shown);
        EXPECT_EQ(shown(TIME), c.time_shown) << c.time_limit;
        EXPECT_EQ((the_dialog[VSYNC].flags & D_SELECTED) != 0, c.vsync == 1);
        EXPECT_EQ(the_dialog[MUSIC].d2, c.music_shown);
        EXPECT_EQ(the_dialog[EFFECTS].d2, c.effects_shown);
    }
}

// What it saves: the choices, the keys untouched; a safe-mode record becomes full
// screen 640 x 480, the safe driver stays itself.
TEST_F(settings, the_options_dialog_saves_the_choices_and_keeps_the_keys) {
    allegro_for_tests();
    config cfg;
    default_config(&cfg);
    cfg.key_bomb = KEY_B;
    fill_options_dialog(&cfg);
    the_dialog[WINDOW].d1 = 1, the_dialog[RESOLUTION].d1 = 2, the_dialog[TIME].d1 = 9;
    the_dialog[METHOD].d1 = 2, the_dialog[MUSIC].d2 = 0, the_dialog[EFFECTS].d2 = 255;
    the_dialog[VSYNC].flags |= D_SELECTED;
    save_options_dialog(&cfg);
    config got = saved();
    int fields[] = {got.gfx_card,       got.display_method, got.vsync,    got.music_volume,
                    got.effects_volume, got.screen_w,       got.screen_h, got.time_limit,
                    got.key_bomb,       got.key_pause};
    EXPECT_EQ(
        std::vector<int>(fields, fields + 10),
        (std::vector<int>{GFX_AUTODETECT_WINDOWED, 2, 1, 0, 255, 1024, 768, 300, KEY_B, KEY_P}));
    EXPECT_EQ(memcmp(&got, &cfg, sizeof cfg), 0);
    for (auto [card, window, w, h] : {std::tuple{AL_ID('X', 'W', 'I', 'N'), 0, 640, 480},
                                      std::tuple{(int)GFX_SAFE, 2, 640, 480}}) {
        cfg.gfx_card = card, cfg.screen_w = 320, cfg.screen_h = 200, cfg.vsync = 0;
        fill_options_dialog(&cfg);
        save_options_dialog(&cfg);
        EXPECT_EQ(saved().gfx_card, card == GFX_SAFE ? GFX_SAFE : GFX_AUTODETECT_FULLSCREEN);
        EXPECT_EQ(the_dialog[WINDOW].d1, window);
        EXPECT_EQ(saved().screen_w * 1000 + saved().screen_h, w * 1000 + h);
        EXPECT_EQ(saved().vsync, 0);
    }
}

} // namespace
