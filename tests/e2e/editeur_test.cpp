// The map editor as a player uses it: a new map drawn with the mouse and the keys, played
// with F5, saved, then found in the game's chooser and won; a map the check marks and
// refuses to save (a truncated file is the model's unit test).
#include "e2e.h"

#include <allegro.h>
#include <gtest/gtest.h>
#include <sstream>

namespace {

const uint32_t FLOOR = 0x123456, THUMB = 0xd02020, RED = 0xff0000, GREEN = 0x78dc78;
const std::vector<std::string> SMALL = {"#######", "#P....#", "#.....#", "#....D#", "#######"};

struct editor : ::testing::Test {
    e2e_run run;
    int map_x = 0, map_y = 0; // where the editor shows the map's top-left cell (32 pixels)

    void SetUp() override {
        config cfg = quiet_settings();
        cfg.gfx_card = GFX_AUTODETECT_FULLSCREEN;
        ASSERT_TRUE(e2e_prepare(&run, &cfg));
        // One shipped map, whose plain strip is the only theme.
        e2e_only_maps(&run, {"01-plain"}, {SMALL}, FLOOR, {THUMB});
        e2e_put(&run, "maps.list", {'0', '1', '-', 'p', 'l', 'a', 'i', 'n', ' ', 'p', 'l', 'a',
                                    'i', 'n', ' ', '8', '0', '0', 'x', '6', '0', '0', '\n'});
    }
    bool launch(const std::vector<std::string> &args) {
        return e2e_launch(&run, {}, "cindermaze-edit", args) && e2e_wait_window(&run, 800, 600);
    }
    // Centres the map of w x h cells as the editor does in its 632 x 552 area.
    void map_size(int w, int h) {
        map_x = 8 + (632 - w * 32) / 2;
        map_y = 8 + (552 - h * 32) / 2;
    }
    void to_cell(int r, int c) { e2e_move(&run, map_x + c * 32 + 16, map_y + r * 32 + 16); }
    uint32_t at_cell(const screenshot &s, int r, int c, int dx = 6, int dy = 6) {
        return e2e_pixel(&run, s, map_x + c * 32 + dx, map_y + r * 32 + dy);
    }
    bool status_shows(uint32_t colour) {
        return e2e_wait(&run, [&](const screenshot &s) {
            return e2e_count(&run, s, colour, 0, 560, 800, 600) > 100;
        });
    }
    // Keys typed in turn, each held a tenth of a second (the editor polls some of them).
    void keys(const std::string &names) {
        std::istringstream in(names);
        std::string chain;
        for (std::string k; in >> k;)
            chain += " keydown " + k + " sleep 0.1 keyup " + k + " sleep 0.1";
        e2e_xdo(&run, chain);
    }
};

TEST_F(editor, a_map_drawn_with_mouse_and_keys_is_played_saved_and_won_from_the_chooser) {
    ASSERT_TRUE(launch({}));
    ASSERT_TRUE(
        e2e_wait(&run, [&](const screenshot &s) { return e2e_count(&run, s, 0xffff00) > 50; }));
    // Name, then the smallest size: 5 x 5.
    keys("m i n e");
    keys("Down Left Left Left Left Left Left Left Left Left Left Left Left Left Left Left Down "
         "Left Left Left Left Left Left Left Left Left Return");
    map_size(5, 5);
    ASSERT_TRUE(status_shows(RED)); // no diamond yet
    keys("5");
    to_cell(1, 2);
    e2e_click(&run);
    keys("4 Right space 3");
    to_cell(2, 1);
    e2e_xdo(&run, "mousedown 1");
    ASSERT_TRUE(e2e_wait(&run, [&](const screenshot &s) { return at_cell(s, 2, 1) != FLOOR; }));
    to_cell(2, 2);
    ASSERT_TRUE(e2e_wait(&run, [&](const screenshot &s) { return at_cell(s, 2, 2) != FLOOR; }));
    e2e_xdo(&run, "mouseup 1");
    ASSERT_TRUE(status_shows(GREEN));

    // F5: the game's own loop on the drawing, left with the quit key, and back.
    auto timer_shows = [&](const screenshot &s) { // its 32-pixel icon left of the seconds
        return e2e_match(&run, s, "graphics/timer.bmp", 390 - 32, 0) > 0.9;
    };
    ASSERT_TRUE(e2e_hold(&run, "F5", timer_shows));
    ASSERT_TRUE(e2e_hold(&run, "Escape", [&](const screenshot &s) { return !timer_shows(s); }));
    ASSERT_TRUE(status_shows(GREEN));

    keys("ctrl+s");
    ASSERT_TRUE(
        e2e_wait(&run, [&](const screenshot &) { return file_exists(run.file("maps/mine.czm")); }));
    EXPECT_EQ(read_file(run.file("maps/mine.czm")),
              map_bytes({"#####", "#PD?#", "#++.#", "#...#", "#####"}));
    EXPECT_EQ(read_file(run.file("maps/mine.bmp")), read_file(run.file("maps/01-plain.bmp")));
    ASSERT_TRUE(e2e_hold_until_exit(&run, "Escape"));
    EXPECT_EQ(run.status, 0);
    EXPECT_TRUE(e2e_messages(&run).empty());

    // The game lists it beside the shipped map; its thumbnail shows the strip's floor.
    ASSERT_TRUE(e2e_launch(&run) && e2e_wait_menu(&run) && e2e_menu_choose(&run, MENU_PLAY));
    auto mine = [&](const screenshot &s) {
        return e2e_count(&run, s, FLOOR, 320, 220, 480, 380) > 2000;
    };
    if (!e2e_wait(&run, mine, 2)) e2e_hold(&run, "Left", mine);
    ASSERT_TRUE(e2e_wait(&run, mine));
    ASSERT_TRUE(e2e_hold(&run, "Return", [&](const screenshot &s) { // the game's counters
        return e2e_wait_window(&run, 800, 600, 0.01) && timer_shows(s);
    }));
    // Walking right takes the diamond: the game is won.
    EXPECT_TRUE(e2e_hold(
        &run, "Right",
        [&](const screenshot &s) {
            return e2e_match(&run, s, "graphics/fin_gagne.bmp", 144, 108) > 0.9; // centred
        },
        10));
    ASSERT_TRUE(e2e_wait_menu(&run));
    EXPECT_TRUE(e2e_quit_from_menu(&run));
}

// A map that cannot be opened: its real box, answered in the editor's full screen, ends it;
// then a map the check marks.
TEST_F(editor, an_unopened_map_is_said_and_an_unreachable_diamond_is_not_saved) {
    ASSERT_TRUE(e2e_launch(&run, {"XMESSAGE_REAL=1"}, "cindermaze-edit", {"lost"}));
    EXPECT_TRUE(e2e_answer_box(&run, false));
    EXPECT_TRUE(e2e_wait_exit(&run, 10));
    EXPECT_EQ(e2e_messages(&run),
              std::vector<std::string>{"La carte maps/lost.czm est introuvable."});
    const std::vector<uint8_t> walled = map_bytes({"#######", "#P.#.D#", "#######"});
    e2e_put(&run, "maps/walled.czm", walled);
    e2e_put(&run, "maps/walled.bmp", read_file(run.file("maps/01-plain.bmp")));
    ASSERT_TRUE(launch({"walled"}));
    map_size(7, 3);
    ASSERT_TRUE(e2e_wait(&run, [&](const screenshot &s) {
        return at_cell(s, 1, 5, 0, 16) == RED && at_cell(s, 1, 4, 0, 16) != RED;
    }));
    keys("ctrl+s");
    ASSERT_TRUE(e2e_wait(&run, [&](const screenshot &) { return e2e_messages(&run).size() == 2; }));
    EXPECT_EQ(e2e_messages(&run).back(),
              std::string{"Carte refus\351e par le jeu : Un diamant est hors "
                          "d'atteinte, m\352me en faisant sauter les blocs."});
    ASSERT_TRUE(e2e_hold_until_exit(&run, "Escape"));
    EXPECT_EQ(read_file(run.file("maps/walled.czm")), walled);
    EXPECT_TRUE(read_file(run.file("thbs/walled.bmp")).empty());
}

} // namespace
