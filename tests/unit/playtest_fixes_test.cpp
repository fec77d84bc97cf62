// Faults found in play: a pause that let the world run, accents the options dialog drew alike.
#include "guifont.h"
#include "temps.h"
#include "test_util.h"

#include <allegro.h>
#include <gtest/gtest.h>
#include <set>

namespace {

// The 10 ms beat driven by hand: a hold stops both clocks, and the second in progress goes
// on where it stopped.
TEST(timers, a_hold_stops_both_clocks_and_the_second_goes_on_where_it_was) {
    hold_timers(false);
    for (int32_t before = sec_counter.load(); sec_counter.load() == before;)
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

// In the options dialog's font every French small letter has a picture of its own (the
// built-in font draws é, è, ê and ë alike).
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
