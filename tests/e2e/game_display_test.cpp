// Games under each display method in a window: page flipping on a screen tall enough
// for two pages, the fallbacks to double buffering with their one message, and an
// unknown method played as double buffering.
#include "game_e2e.h"

#include <gtest/gtest.h>

using namespace game_e2e;

namespace {

const std::vector<std::string> ROOM = {
    "####################", //
    "#P.................#", //
    "#..................#", //
    "#................D.#", //
    "####################", //
};
// 20 x 5 cells at 800 x 600.
const int FIELD_X = 80, FIELD_Y = (600 - 5 * 32) / 2;

const char *const TRIPLE_MESSAGE =
    "Triple buffering non supporté ! Essayez en plein écran, si ce n'est pas déjà le cas, ou "
    "choisissez un autre mode vidéo.\nPassage automatique en double buffering pour cette partie.";
const char *const FLIP_MESSAGE =
    "Page flipping non supporté ! Essayez en plein écran, si ce n'est pas déjà le cas, ou "
    "choisissez un autre mode vidéo.\nPassage automatique en double buffering pour cette partie.";

config with_method(int method) {
    config cfg = test_settings();
    cfg.display_method = (int8_t)method;
    return cfg;
}

// Plays until the field shows, then leaves with the quit key.
void play_and_quit(game_e2e_run *g) {
    ASSERT_TRUE(g->wait_field(FIELD_X, FIELD_Y));
    press_key(&g->run, "Escape");
}

TEST(game_display, page_flipping_shows_the_field_and_the_pause_text) {
    game_e2e_run g;
    ASSERT_TRUE(g.prepare(ROOM));
    hud_font_file hud(g.run.dir.path);
    ASSERT_NE(hud.font_, nullptr);
    ASSERT_TRUE(g.launch(with_method(1), {"--virtual-h", "1200"}));
    ASSERT_TRUE(g.wait_window());
    ASSERT_TRUE(g.wait_field(FIELD_X, FIELD_Y));
    screenshot s = g.shot();
    EXPECT_EQ(g.pixel(s, FIELD_X - 1, FIELD_Y + 8), 0u);
    EXPECT_EQ(g.pixel(s, FIELD_X + 3 * 32 + 16, FIELD_Y + 2 * 32 + 16), FLOOR_RGB);
    // The pause text lands on the page being shown, whichever of the two it is: a few
    // pauses meet both pages on screen.
    const char *pause = "P    A    U    S    E";
    int pause_x = 400 - text_length(hud.font_, pause) / 2;
    for (int round = 0; round < 5; round++) {
        press_key(&g.run, "p");
        sleep_seconds(0.2);
        EXPECT_TRUE(shows_text(&g, g.shot(), hud.font_, pause, 0xff0000, pause_x, 300))
            << "pause " << round;
        press_key(&g.run, "p");
        sleep_seconds(0.1);
    }
    press_key(&g.run, "Escape");
    ASSERT_TRUE(e2e_wait_exit(&g.run, 5));
    EXPECT_EQ(g.game_line(1).rfind("game 1 result 0 display_method 1", 0), 0u) << g.game_line(1);
    EXPECT_TRUE(g.messages().empty());
}

TEST(game_display, page_flipping_without_room_for_two_pages_falls_back_with_a_message) {
    game_e2e_run g;
    ASSERT_TRUE(g.prepare(ROOM));
    ASSERT_TRUE(g.launch(with_method(1)));
    ASSERT_TRUE(g.wait_window());
    play_and_quit(&g);
    ASSERT_TRUE(e2e_wait_exit(&g.run, 5));
    EXPECT_EQ(g.game_line(1).rfind("game 1 result 0 display_method 0", 0), 0u) << g.game_line(1);
    EXPECT_EQ(g.messages(), std::vector<std::string>{FLIP_MESSAGE});
}

TEST(game_display, triple_buffering_falls_back_once_and_the_next_game_says_nothing) {
    game_e2e_run g;
    ASSERT_TRUE(g.prepare(ROOM));
    ASSERT_TRUE(g.launch(with_method(2), {"--games", "2", "--virtual-h", "1800"}));
    ASSERT_TRUE(g.wait_window());
    play_and_quit(&g);
    // The second game starts on the same window once the first has returned.
    for (int i = 0; i < 100 && g.game_line(1).empty(); i++)
        sleep_seconds(0.05);
    sleep_seconds(0.3);
    play_and_quit(&g);
    ASSERT_TRUE(e2e_wait_exit(&g.run, 5));
    EXPECT_EQ(g.game_line(1).rfind("game 1 result 0 display_method 0", 0), 0u) << g.game_line(1);
    EXPECT_EQ(g.game_line(2).rfind("game 2 result 0 display_method 0", 0), 0u) << g.game_line(2);
    EXPECT_EQ(g.messages(), std::vector<std::string>{TRIPLE_MESSAGE});
}

TEST(game_display, an_unknown_method_plays_as_double_buffering) {
    game_e2e_run g;
    ASSERT_TRUE(g.prepare(ROOM));
    ASSERT_TRUE(g.launch(with_method(7)));
    ASSERT_TRUE(g.wait_window());
    play_and_quit(&g);
    ASSERT_TRUE(e2e_wait_exit(&g.run, 5));
    EXPECT_EQ(g.game_line(1).rfind("game 1 result 0 display_method 0", 0), 0u) << g.game_line(1);
    EXPECT_TRUE(g.messages().empty());
}

} // namespace
