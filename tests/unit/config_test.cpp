// The settings file (its bytes, loading, repairs, safe saving) and the options dialog
// (what it shows for a record and what it saves, its font).
#include "config.h"
#include "guifont.h"
#include "manette.h"
#include "options.h"
#include "rules.h"
#include "touches.h"
#include "test_util.h"

#include <allegro.h>
#include <cstring>
#include <climits>
#include <gtest/gtest.h>
#include <set>

namespace {

const uint8_t DEFAULT_FILE[56] = {0x01, 0,    0, 0, 0x00, 0x00, 0, 0, 0x96, 0, 0, 0, 0xc8, 0, 0, 0,
                                  0x20, 0x03, 0, 0, 0x58, 0x02, 0, 0, 0x5a, 0, 0, 0, 0x54, 0, 0, 0,
                                  0x55, 0,    0, 0, 0x52, 0,    0, 0, 0x53, 0, 0, 0, 0x4b, 0, 0, 0,
                                  0x3b, 0,    0, 0, 0x10, 0,    0, 0};

// A run directory of its own with save/, as the working directory.
struct settings : ::testing::Test {
    temp_dir dir;
    scoped_cwd cwd{(make_dirs(dir.file("save")), dir.path)};
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

// Each file a player may have, and the record it gives: kept as stored when in range
// (a card of the safe mode's selector too), defaults for what a short file lacks, for key
// codes outside the key table, a card the library does not know and a size the options do
// not offer; volumes clamped.
TEST_F(settings, each_file_gives_its_record) {
    using bytes = std::vector<std::pair<int, int>>;
    auto image = [](const bytes &changes, size_t size = 56) {
        std::vector<uint8_t> b(DEFAULT_FILE, DEFAULT_FILE + 56);
        for (auto [at, value] : changes)
            b[at] = (uint8_t)value;
        b.resize(size);
        return b;
    };
    const bytes odd = {{4, 7}, {24, 45}, {8, 0}},
                short_file = {{0, 2}, {16, 0x80}, {17, 2}, {20, 0xe0}, {21, 1}};
    const bytes selector = {{0, 'N'}, {1, 'I'}, {2, 'W'}, {3, 'X'},
                            {16, 0},  {17, 4},  {20, 0},  {21, 3}};
    const bytes nonsense = {{0, 0x78}, {3, 0x12}, {11, 0x80}, {15, 1}, {16, 0x81}, {21, 0x90}};
    const bytes keys = {{28, 0},   {32, KEY_MAX}, {44, 255}, {45, 255},
                        {46, 255}, {47, 255},     {49, 1},   {52, 99}};
    const struct {
        std::vector<uint8_t> file, record;
    } cases[] = {{image({}), image({})},
                 {image(odd), image(odd)},
                 {image(short_file, 24), image(short_file)},
                 {image(selector), image(selector)},
                 {image(nonsense), image({{8, 0}, {12, 255}})},
                 {image({}, 0), image({})},
                 {image(keys), image({{52, 99}})}};
    for (const auto &c : cases) {
        std::vector<uint8_t> got = bytes_of(loaded(&c.file));
        got[6] = got[7] = 0;
        EXPECT_EQ(got, c.record) << c.file.size() << " bytes";
    }
    // No file: the defaults are written, byte for byte, and no temporary file is left. (Every
    // field saved: the options dialog's test; written whole or not at all: files_test.)
    remove("save/config.czc");
    loaded(nullptr);
    std::vector<uint8_t> written = read_file("save/config.czc");
    written.resize(56), written[6] = written[7] = 0;
    EXPECT_EQ(written, image({}));
    EXPECT_FALSE(file_exists("save/config.czc.tmp"));
}

TEST(settings_keys, the_seven_actions_map_to_their_fields_and_repairs_are_reported) {
    config cfg;
    default_config(&cfg);
    int32_t *fields[] = {&cfg.key_up,   &cfg.key_down, &cfg.key_left, &cfg.key_right,
                         &cfg.key_bomb, &cfg.key_quit, &cfg.key_pause};
    for (int action = 0; action < 7; action++)
        EXPECT_EQ(config_key_field(&cfg, action), fields[action]);
    EXPECT_EQ(config_key_field(&cfg, 7), nullptr);
    EXPECT_EQ(config_key_field(&cfg, -1), nullptr);
    // A time limit of 0 or less would never end a game: 90 seconds. (Keys out of the
    // table: each_file_gives_its_record.)
    for (int32_t t : {INT_MIN, -1, 0, 1, INT_MAX}) {
        cfg.time_limit = t;
        EXPECT_EQ(repair_config(&cfg, sizeof cfg), t <= 0) << t;
        EXPECT_EQ(cfg.time_limit, t <= 0 ? 90 : t) << t;
    }
}

// A pad's state read as the seven actions (up, down, left, right, bomb, quit, pause as the
// letters UDLRBQP): the d-pad, the stick beyond its dead zone, the bound buttons.
TEST(pad, the_state_gives_the_actions_of_its_directions_and_bound_buttons) {
    pad_bindings defaults, bound;
    default_pad_bindings(&defaults);
    memcpy(bound.button, "\x03\xff\xff\xff\xff\x06\x1f", 7);
    const std::tuple<pad_state, const pad_bindings *, const char *> cases[] = {
        {{48, -48, false, false, false, false, 0}, &defaults, "......."},
        {{49, -49, false, false, false, false, 0}, &defaults, "U..R..."},
        {{-128, 128, false, false, false, false, 0}, &defaults, ".DL...."},
        {{0, 0, true, false, false, true, 0}, &defaults, "U..R..."},
        {{0, 0, false, true, true, false, 0}, &defaults, ".DL...."},
        {{0, 0, false, false, false, false, 1u << 0 | 1u << 6 | 1u << 7}, &defaults, "....BQP"},
        {{0, 0, false, false, false, false, 0x8000000b}, &bound, "U.....P"}, // 0, 1, 3, 31
    };
    for (auto &[pad, b, actions] : cases) {
        game_keys k = {};
        add_pad_actions(&pad, b, &k);
        bool held[] = {k.up, k.down, k.left, k.right, k.bomb, k.quit, k.pause};
        std::string got;
        for (int a = 0; a < 7; a++)
            got += held[a] ? "UDLRBQP"[a] : '.';
        EXPECT_EQ(got, actions) << pad.stick_x << " " << pad.stick_y << " " << pad.buttons;
    }
}

// The pad's file: saved and read back whole; a file of another size or version, or with a
// button the pad cannot have or bound twice, gives the default buttons.
TEST_F(settings, the_pad_file_keeps_its_buttons_and_a_damaged_one_gives_the_defaults) {
    pad_bindings b, got;
    const std::vector<uint8_t> defaults = {255, 255, 255, 255, 0, 6, 7};
    memcpy(b.button, "\x0b\x00\xff\x1f\x04\x05\x02", 7);
    ASSERT_TRUE(save_pad_bindings(&b));
    std::vector<uint8_t> file = read_file("save/manette.czc");
    EXPECT_TRUE(parse_pad_bindings(file.data(), file.size(), &got));
    EXPECT_EQ(bytes_of(got), bytes_of(b));
    const int damages[][3] = {{0, 2, 8}, {3, 32, 8}, {1, 0, 8}, {0, 1, 7}, {0, 1, 9}, {0, 1, 0}};
    for (auto [at, value, size] : damages) {
        std::vector<uint8_t> damaged = file;
        damaged[at] = (uint8_t)value, damaged.resize(size);
        EXPECT_FALSE(parse_pad_bindings(damaged.data(), damaged.size(), &got)) << at << " " << size;
        EXPECT_EQ(bytes_of(got), defaults);
    }
}

// The key binding screen's pass: each answer replaces the binding of its kind; the other
// kind is kept unless another action was given it (no button then, or a key no one keeps).
// Per action: keys as letters, buttons as digits, '.' for none or not given.
TEST(settings_keys, a_pass_of_keys_and_buttons_settles_both_bindings) {
    const int32_t old_keys[7] = {KEY_A, KEY_B, KEY_C, KEY_D, KEY_E, KEY_F, KEY_G};
    pad_bindings old_buttons, buttons;
    default_pad_bindings(&old_buttons);
    const char *cases[][3] = {
        {".......", "6123458", "ABCDEFG 6123458"}, // buttons alone: the keys stay
        {".AHI...", "9......", "BAHIEFG 9...067"}, // "haut" loses A, gets B, kept by no one
        {"....G.E", ".....0.", "ABCDGFE .....07"}, // "quitter" takes 0 from "bombe"
    };
    for (auto &c : cases) {
        int new_keys[7], new_buttons[7], keys[7]; // int32_t is int
        for (int i = 0; i < 7; i++) {
            new_keys[i] = c[0][i] == '.' ? NOT_GIVEN : KEY_A + c[0][i] - 'A';
            new_buttons[i] = c[1][i] == '.' ? NOT_GIVEN : c[1][i] - '0';
        }
        settle_bindings(old_keys, &old_buttons, new_keys, new_buttons, keys, &buttons);
        std::string got = "        ";
        for (int i = 0; i < 7; i++) {
            got[i] = (char)('A' + keys[i] - KEY_A);
            got += buttons.button[i] == PAD_NO_BUTTON ? '.' : (char)('0' + buttons.button[i]);
        }
        EXPECT_EQ(got, c[2]) << c[0] << " " << c[1];
    }
}

enum { VSYNC = 1, METHOD = 2, RESOLUTION = 3, WINDOW = 4, TIME = 5, MUSIC = 6, EFFECTS = 7 };

std::string shown(int item) {
    auto list = (char *(*)(int, int *))the_dialog[item].dp;
    int size = 0;
    list(-1, &size);
    int index = the_dialog[item].d1;
    return index >= 0 && index < size ? list(index, &size) : "";
}

// What the dialog shows for a record: the entry of each list nearest to its value, the
// volumes within 0 to 255, vsync ticked for 1 only (whatever an earlier showing left).
TEST_F(settings, the_options_dialog_shows_the_nearest_entry_of_each_list) {
    allegro_for_tests();
    const struct {
        int gfx_card, screen_w, method, time_limit, vsync, music, effects;
        const char *shows;
    } cases[] = {
        {GFX_AUTODETECT_FULLSCREEN, 800, 0, 90, 0, 150, 200,
         "Plein \351cran|800 x 600|Double buffering|90 secondes|0|150|200"},
        {GFX_AUTODETECT_WINDOWED, 1024, 1, 300, 1, 999, -5,
         "Fen\352tre|1024 x 768|Page flipping|5 minutes|1|255|0"},
        {AL_ID('X', 'W', 'I', 'N'), 320, 7, 59, 2, 0, 300,
         "Plein \351cran|640 x 480|Triple buffering|30 secondes|0|0|255"},
        {GFX_SAFE, 640, 0, -30, 0, 0, 0, "Safe mode|640 x 480|Double buffering|5 minutes|0|0|0"},
    };
    for (const auto &c : cases) {
        config cfg;
        default_config(&cfg);
        cfg.gfx_card = c.gfx_card, cfg.screen_w = c.screen_w, cfg.display_method = (int8_t)c.method;
        cfg.time_limit = c.time_limit, cfg.vsync = (int8_t)c.vsync;
        cfg.music_volume = c.music, cfg.effects_volume = c.effects;
        the_dialog[VSYNC].flags |= D_SELECTED;
        fill_options_dialog(&cfg);
        std::string got =
            shown(WINDOW) + "|" + shown(RESOLUTION) + "|" + shown(METHOD) + "|" + shown(TIME) +
            "|" + std::to_string(the_dialog[VSYNC].flags & D_SELECTED ? 1 : 0) + "|" +
            std::to_string(the_dialog[MUSIC].d2) + "|" + std::to_string(the_dialog[EFFECTS].d2);
        EXPECT_EQ(got, c.shows);
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

// In the options dialog's font every French small letter has a picture of its own (the built-in
// font draws é, è, ê and ë alike).
TEST(dialog_font, every_french_small_letter_looks_different) {
    allegro_for_tests(32);
    set_uformat(U_ASCII); // the dialog's texts are 8-bit
    FONT *f = make_dialog_font();
    ASSERT_NE(f, nullptr);
    BITMAP *b = create_bitmap(8, 8);
    std::set<std::vector<int>> pictures;
    for (const char *c = "aàâäcçeéèêëiîïoôöuùûü"; *c; c++) {
        clear_bitmap(b);
        textout_ex(b, f, std::string(1, *c).c_str(), 0, 0, makecol(255, 255, 255), -1);
        std::vector<int> picture;
        for (int i = 0; i < 64; i++)
            picture.push_back(getpixel(b, i % 8, i / 8) != 0);
        EXPECT_TRUE(pictures.insert(picture).second) << "letter " << (int)(uint8_t)*c;
    }
    destroy_bitmap(b);
    destroy_font(f);
}

} // namespace
