// Faults found in play: a pause that let the world run, a hand-edited time limit that never
// ends a game, maps listed in the directory's order, accents that could not be told apart.
#include "config.h"
#include "directory.h"
#include "guifont.h"
#include "temps.h"
#include "test_util.h"

#include <allegro.h>
#include <climits>
#include <gtest/gtest.h>
#include <set>

namespace {

// The 10 ms beat driven by hand: a hold stops both clocks, and the second in progress goes
// on where it stopped.
TEST(timers, a_hold_stops_both_clocks_and_the_second_goes_on_where_it_was) {
    hold_timers(false);
    int32_t before = sec_counter.load();
    while (sec_counter.load() == before)
        game_timer();
    int32_t seconds = sec_counter.load(), ticks = game_time.load();
    for (int i = 0; i < 30; i++)
        game_timer();
    hold_timers(true);
    for (int i = 0; i < 1000; i++)
        game_timer();
    EXPECT_EQ(game_time.load(), ticks + 30);
    EXPECT_EQ(sec_counter.load(), seconds);
    hold_timers(false);
    for (int i = 0; i < 69; i++)
        game_timer();
    EXPECT_EQ(sec_counter.load(), seconds);
    game_timer();
    EXPECT_EQ(sec_counter.load(), seconds + 1);
    EXPECT_EQ(game_time.load(), ticks + 100);
}

TEST(config_repair, a_time_limit_of_zero_or_less_becomes_90_seconds) {
    const int32_t cases[][2] = {{INT_MIN, 90}, {-1, 90}, {0, 90},           {1, 1},
                                {7, 7},        {90, 90}, {INT_MAX, INT_MAX}};
    for (const auto &c : cases) {
        config cfg;
        default_config(&cfg);
        cfg.time_limit = c[0];
        EXPECT_EQ(repair_config(&cfg, sizeof cfg), c[0] != c[1]) << c[0];
        EXPECT_EQ(cfg.time_limit, c[1]) << c[0];
    }
}

TEST(directory, maps_are_listed_in_name_order) {
    temp_dir dir;
    const char *names[] = {"07-b.czm", "02-a.czm", "10-z.czm", "01-c.czm", "09-d.czm", "B.czm"};
    for (const char *name : names)
        write_text(dir.file(name), "x");
    char **list = nullptr;
    int count = list_dir_ext(dir.path.c_str(), ".czm", &list);
    std::vector<std::string> got(list, list + count);
    free_file_list(list, count);
    std::vector<std::string> expected;
    for (const char *name : {"01-c.czm", "02-a.czm", "07-b.czm", "09-d.czm", "10-z.czm", "B.czm"})
        expected.push_back(dir.file(name));
    EXPECT_EQ(got, expected);
}

// In the options dialog's font every French small letter has a picture of its own (the
// built-in font draws é, è, ê and ë alike).
TEST(dialog_font, every_french_small_letter_looks_different) {
    allegro_for_tests(32);
    set_uformat(U_ASCII); // the dialog's texts are 8-bit
    FONT *f = make_dialog_font();
    ASSERT_NE(f, nullptr);
    const char *letters = "aàâäcçeéèêëiîïoôöuùûü";
    BITMAP *b = create_bitmap(8, 8);
    std::set<std::vector<int>> pictures;
    for (const char *c = letters; *c; c++) {
        clear_bitmap(b);
        textout_ex(b, f, std::string(1, *c).c_str(), 0, 0, makecol(255, 255, 255), -1);
        std::vector<int> picture;
        for (int y = 0; y < 8; y++)
            for (int x = 0; x < 8; x++)
                picture.push_back(getpixel(b, x, y) != 0);
        EXPECT_TRUE(pictures.insert(picture).second) << "letter " << (int)(uint8_t)*c;
    }
    destroy_bitmap(b);
    destroy_font(f);
}

} // namespace
