// The options dialog's table, its fill from the settings and the mapping back on saving.
#include "config.h"
#include "options.h"
#include "test_util.h"

#include <allegro.h>
#include <cstring>
#include <gtest/gtest.h>
#include <string>

namespace {

enum { VSYNC = 1, METHOD = 2, RESOLUTION = 3, WINDOW = 4, TIME = 5, MUSIC = 6, EFFECTS = 7 };

struct options_dir : ::testing::Test {
    temp_dir dir;
    scoped_cwd *cwd = nullptr;
    config cfg;
    void SetUp() override {
        allegro_for_tests();
        make_dirs(dir.file("save"));
        cwd = new scoped_cwd(dir.path);
        default_config(&cfg);
    }
    void TearDown() override { delete cwd; }
    config saved_file() {
        config c;
        memset(&c, 0, sizeof c);
        std::vector<uint8_t> bytes = read_file("save/config.czc");
        if (bytes.size() == sizeof c) memcpy(&c, bytes.data(), sizeof c);
        return c;
    }
};

std::string list_entry(int item) {
    typedef char *(*getter)(int, int *);
    int size = 0;
    getter g = (getter)the_dialog[item].dp;
    g(-1, &size);
    int index = the_dialog[item].d1;
    return index >= 0 && index < size ? g(index, &size) : "";
}

int list_size(int item) {
    int size = 0;
    ((char *(*)(int, int *))the_dialog[item].dp)(-1, &size);
    return size;
}

TEST(options_table, entries_and_texts_are_where_the_players_expect_them) {
    int count = 0;
    while (the_dialog[count].proc)
        count++;
    EXPECT_EQ(count, 26);
    EXPECT_EQ(list_size(METHOD), 3);
    EXPECT_EQ(list_size(RESOLUTION), 3);
    EXPECT_EQ(list_size(WINDOW), 3);
    EXPECT_EQ(list_size(TIME), 10);
    EXPECT_STREQ((const char *)the_dialog[18].dp, "Fen\xeatrage");
    EXPECT_STREQ((const char *)the_dialog[24].dp, "&Quitter");
    EXPECT_EQ(the_dialog[24].key, 'q');
    EXPECT_EQ(the_dialog[25].key, 's');
    EXPECT_TRUE(the_dialog[24].flags & D_EXIT);
    EXPECT_EQ(the_dialog[MUSIC].d1, 255);
    int size;
    char *(*times)(int, int *) = (char *(*)(int, int *))the_dialog[TIME].dp;
    EXPECT_STREQ(times(4, &size), "2 minutes 30\"");
    EXPECT_STREQ(times(9, &size), "5 minutes");
}

TEST_F(options_dir, defaults_show_full_screen_800_x_600_and_90_seconds) {
    fill_options_dialog(&cfg);
    EXPECT_EQ(list_entry(WINDOW), "Plein \xe9"
                                  "cran");
    EXPECT_EQ(list_entry(RESOLUTION), "800 x 600");
    EXPECT_EQ(list_entry(TIME), "90 secondes");
    EXPECT_EQ(list_entry(METHOD), "Double buffering");
    EXPECT_FALSE(the_dialog[VSYNC].flags & D_SELECTED);
    EXPECT_EQ(the_dialog[MUSIC].d2, 150);
    EXPECT_EQ(the_dialog[EFFECTS].d2, 200);
}

TEST_F(options_dir, window_1024_x_768_and_5_minutes_are_saved_with_the_keys_untouched) {
    cfg.key_bomb = KEY_B;
    fill_options_dialog(&cfg);
    the_dialog[WINDOW].d1 = 1;
    the_dialog[RESOLUTION].d1 = 2;
    the_dialog[TIME].d1 = 9;
    the_dialog[VSYNC].flags |= D_SELECTED;
    the_dialog[METHOD].d1 = 2;
    the_dialog[MUSIC].d2 = 0;
    the_dialog[EFFECTS].d2 = 255;
    save_options_dialog(&cfg);
    config c = saved_file();
    EXPECT_EQ(c.gfx_card, GFX_AUTODETECT_WINDOWED);
    EXPECT_EQ(c.screen_w, 1024);
    EXPECT_EQ(c.screen_h, 768);
    EXPECT_EQ(c.time_limit, 300);
    EXPECT_EQ(c.vsync, 1);
    EXPECT_EQ(c.display_method, 2);
    EXPECT_EQ(c.music_volume, 0);
    EXPECT_EQ(c.effects_volume, 255);
    EXPECT_EQ(c.key_bomb, KEY_B);
    EXPECT_EQ(c.key_pause, KEY_P);
    EXPECT_EQ(memcmp(&c, &cfg, sizeof c), 0);
}

TEST_F(options_dir, a_safe_mode_record_shows_full_screen_and_640_x_480_and_saves_them) {
    cfg.gfx_card = AL_ID('X', 'W', 'I', 'N');
    cfg.screen_w = 320;
    cfg.screen_h = 200;
    fill_options_dialog(&cfg);
    EXPECT_EQ(list_entry(WINDOW), "Plein \xe9"
                                  "cran");
    EXPECT_EQ(list_entry(RESOLUTION), "640 x 480");
    save_options_dialog(&cfg);
    config c = saved_file();
    EXPECT_EQ(c.gfx_card, GFX_AUTODETECT_FULLSCREEN);
    EXPECT_EQ(c.screen_w, 640);
    EXPECT_EQ(c.screen_h, 480);
}

TEST_F(options_dir, the_safe_driver_is_its_own_entry_both_ways) {
    cfg.gfx_card = GFX_SAFE;
    fill_options_dialog(&cfg);
    EXPECT_EQ(list_entry(WINDOW), "Safe mode");
    save_options_dialog(&cfg);
    EXPECT_EQ(saved_file().gfx_card, GFX_SAFE);
}

TEST_F(options_dir, out_of_range_values_show_the_nearest_entry) {
    const struct {
        int time_limit;
        const char *shown;
    } times[] = {{0, "30 secondes"}, {59, "30 secondes"}, {60, "1 minute"},  {89, "1 minute"},
                 {300, "5 minutes"}, {3000, "5 minutes"}, {-30, "5 minutes"}};
    for (const auto &t : times) {
        cfg.time_limit = t.time_limit;
        fill_options_dialog(&cfg);
        EXPECT_EQ(list_entry(TIME), t.shown) << t.time_limit;
    }
    cfg.display_method = 7;
    fill_options_dialog(&cfg);
    EXPECT_EQ(list_entry(METHOD), "Triple buffering");
    cfg.display_method = -3;
    fill_options_dialog(&cfg);
    EXPECT_EQ(list_entry(METHOD), "Double buffering");
    cfg.music_volume = 999;
    cfg.effects_volume = -5;
    fill_options_dialog(&cfg);
    EXPECT_EQ(the_dialog[MUSIC].d2, 255);
    EXPECT_EQ(the_dialog[EFFECTS].d2, 0);
}

TEST_F(options_dir, each_showing_starts_from_the_record_not_from_the_last_showing) {
    fill_options_dialog(&cfg);
    the_dialog[RESOLUTION].d1 = 0;
    the_dialog[VSYNC].flags |= D_SELECTED;
    fill_options_dialog(&cfg);
    EXPECT_EQ(list_entry(RESOLUTION), "800 x 600");
    EXPECT_FALSE(the_dialog[VSYNC].flags & D_SELECTED);
    cfg.vsync = 2;
    fill_options_dialog(&cfg);
    EXPECT_FALSE(the_dialog[VSYNC].flags & D_SELECTED);
}

} // namespace
