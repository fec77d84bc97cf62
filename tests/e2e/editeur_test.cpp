// The map editor as a player uses it: a new map drawn with the mouse and the keys, played
// with F5, saved, then found in the game's chooser and played; a map the check marks and
// refuses to save (a truncated file is the model's unit test); a player's map kept safe
// through a fill, a resize, a save that fails, Save as, the questions and the map list.
#include "e2e.h"

#include <allegro.h>
#include <gtest/gtest.h>
#include <sstream>

namespace {

const uint32_t FLOOR = 0x123456, THUMB = 0xd02020, RED = 0xff0000, GREEN = 0x78dc78,
               WALL = 0x5a5a78, YELLOW = 0xffff00;
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
        const std::string list = "01-plain plain 800x600\n";
        e2e_put(&run, "maps.list", {list.begin(), list.end()});
    }
    bool launch(const std::vector<std::string> &args, const std::vector<std::string> &env = {}) {
        return e2e_launch(&run, env, "cindermaze-edit", args) && shown();
    }
    // The editor's full screen, drawn: its window is placed only once its mode is set.
    bool shown() {
        return e2e_wait_window(&run, 800, 600) &&
               e2e_wait(
                   &run,
                   [&](const screenshot &s) { return e2e_count(&run, s, 0x18141c) > 100000; }) &&
               e2e_wait_window(&run, 800, 600);
    }
    // Centres the map of w x h cells as the editor does in its 584 x 524 area.
    void map_size(int w, int h) {
        map_x = 8 + (584 - w * 32) / 2;
        map_y = 8 + (524 - h * 32) / 2;
    }
    void to_cell(int r, int c) { e2e_move(&run, map_x + c * 32 + 16, map_y + r * 32 + 16); }
    uint32_t at_cell(const screenshot &s, int r, int c, int dx = 6, int dy = 6) {
        return e2e_pixel(&run, s, map_x + c * 32 + dx, map_y + r * 32 + dy);
    }
    bool status_shows(uint32_t colour) {
        return e2e_wait(&run, [&](const screenshot &s) {
            return e2e_count(&run, s, colour, 0, 536, 800, 600) > 100 &&
                   e2e_count(&run, s, 0x18141c, 0, 540, 800, 600) > 20000; // no question
        });
    }
    // The status lines give way to a question (black) or a name prompt (with its rule under).
    bool asked(bool for_name) {
        return e2e_wait(&run, [&](const screenshot &s) {
            return e2e_count(&run, s, 0, 0, 540, 800, 600) > 20000 &&
                   (e2e_count(&run, s, 0xe6dcc8, 0, 580, 800, 600) > 100) == for_name;
        });
    }
    // The map list with entry k framed in yellow.
    bool listed(int k) {
        int x = 16 + k % 4 * 194, y = 70 + k / 4 * 150;
        return e2e_wait(&run, [&](const screenshot &s) {
            return e2e_count(&run, s, YELLOW, x - 4, y - 4, x + 180, y - 2) > 300;
        });
    }
    std::vector<std::vector<uint8_t>> files(const std::string &name) {
        return {read_file(run.file("maps/" + name + ".czm")),
                read_file(run.file("maps/" + name + ".bmp")),
                read_file(run.file("thbs/" + name + ".bmp"))};
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

TEST_F(editor, a_map_drawn_with_mouse_and_keys_is_played_saved_and_played_from_the_chooser) {
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
    ASSERT_TRUE(e2e_quit_from_menu(&run));
    EXPECT_TRUE(e2e_messages(&run).empty());

    // The game lists it beside the shipped map; its thumbnail shows the strip's floor.
    ASSERT_TRUE(e2e_launch(&run) && e2e_wait_menu(&run) && e2e_menu_choose(&run, MENU_PLAY));
    auto mine = [&](const screenshot &s) {
        return e2e_count(&run, s, FLOOR, 320, 220, 480, 380) > 2000;
    };
    ASSERT_TRUE(e2e_wait(&run, mine, 2) || e2e_hold(&run, "Left", mine));
    ASSERT_TRUE(e2e_hold(&run, "Return", [&](const screenshot &s) { // the game's counters
        return e2e_wait_window(&run, 800, 600, 0.01) && timer_shows(s);
    }));
    // Played: the quit key goes back to the menu (the game's own rules are tested on their own).
    ASSERT_TRUE(e2e_hold(&run, "Escape", e2e_lit(&run, MENU_ANY)));
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
    ASSERT_TRUE(e2e_quit_from_menu(&run));
    EXPECT_EQ(read_file(run.file("maps/walled.czm")), walled);
    EXPECT_TRUE(read_file(run.file("thbs/walled.bmp")).empty());
}

TEST_F(editor, a_players_map_survives_a_failed_save_the_questions_and_the_map_list) {
    e2e_only_maps(&run, {"01-plain", "essai"}, {SMALL, SMALL}, FLOOR, {THUMB, 0x20d020});
    ASSERT_TRUE(launch({"essai"}, {"XMESSAGE_REAL=1"}));
    map_size(7, 5);
    ASSERT_TRUE(status_shows(GREEN));
    // A Shift drag fills a rectangle with walls; Ctrl+Right adds a column; one undo each.
    keys("2");
    to_cell(2, 2);
    ASSERT_TRUE(e2e_wait(&run, [&](const screenshot &s) { return at_cell(s, 2, 2) == FLOOR; }));
    e2e_xdo(&run, "keydown shift mousedown 1");
    to_cell(2, 4);
    ASSERT_TRUE(e2e_wait(&run, [&](const screenshot &s) { // the rectangle's frame
        return e2e_count(&run, s, YELLOW, map_x + 64, map_y + 64, map_x + 160, map_y + 96) > 150;
    }));
    e2e_xdo(&run, "mouseup 1 keyup shift");
    auto filled = [&](const screenshot &s) {
        return at_cell(s, 2, 2) == WALL && at_cell(s, 2, 3) == WALL && at_cell(s, 2, 4) == WALL &&
               at_cell(s, 1, 3) == FLOOR;
    };
    ASSERT_TRUE(e2e_wait(&run, filled));
    keys("ctrl+Right");
    map_size(8, 5);
    ASSERT_TRUE(e2e_wait(&run, [&](const screenshot &s) { return at_cell(s, 1, 6) == FLOOR; }));
    keys("ctrl+z");
    map_size(7, 5);
    ASSERT_TRUE(e2e_wait(&run, filled));
    keys("ctrl+z");
    ASSERT_TRUE(e2e_wait(&run, [&](const screenshot &s) { return at_cell(s, 2, 3) == FLOOR; }));
    keys("ctrl+y");
    ASSERT_TRUE(e2e_wait(&run, filled));

    // Ctrl+O on unsaved work asks first; no keeps the drawing.
    keys("ctrl+o");
    ASSERT_TRUE(asked(false));
    keys("n");
    ASSERT_TRUE(status_shows(GREEN));
    // With maps/ unwritable the save fails whole: the real box, answered with a click, says
    // where, and the three old files are as they were.
    const std::vector<std::vector<uint8_t>> before = files("essai");
    run_command("chattr +i '" + run.file("maps") + "'");
    keys("ctrl+s");
    bool answered = e2e_answer_box(&run, true);
    run_command("chattr -i '" + run.file("maps") + "'");
    ASSERT_TRUE(answered);
    ASSERT_TRUE(shown()); // the mode set again
    EXPECT_EQ(e2e_messages(&run),
              std::vector<std::string>{"Impossible d'\351crire les fichiers de \253 essai \273 "
                                       "dans " +
                                       run.file("maps") + " et " + run.file("thbs") +
                                       " : rien n'a chang\351."});
    EXPECT_EQ(files("essai"), before);
    EXPECT_NE(run_command("cd '" + run.dir.path + "' && ls maps thbs | grep -q tmp"), 0);

    // Save as a new name; then over essai: no leaves it, yes replaces it.
    for (const char *answer : {"", "n", "o"}) {
        ASSERT_TRUE(status_shows(YELLOW)); // what the last save said
        keys("ctrl+shift+s");
        ASSERT_TRUE(asked(true));
        keys("space"); // refused, with the rule in red
        ASSERT_TRUE(e2e_wait(&run, [&](const screenshot &s) {
            return e2e_count(&run, s, RED, 0, 580, 800, 600) > 100;
        }));
        keys("BackSpace BackSpace BackSpace BackSpace BackSpace " +
             std::string(*answer ? "e s s a i Return" : "c o p i e Return"));
        if (*answer) ASSERT_TRUE(asked(false));
        if (*answer) keys(answer);
        if (*answer == 'n') ASSERT_TRUE(status_shows(YELLOW));
        if (*answer == 'n') EXPECT_EQ(files("essai"), before);
    }
    ASSERT_TRUE(status_shows(YELLOW)); // "Carte enregistrée : ..."
    EXPECT_EQ(read_file(run.file("maps/copie.czm")),
              map_bytes({"#######", "#P....#", "#.###.#", "#....D#", "#######"}));
    EXPECT_EQ(files("essai")[0], read_file(run.file("maps/copie.czm")));
    EXPECT_EQ(files("essai")[1], before[1]);

    // The map list: 01-plain (shipped, marked), copie, essai; typing finds, a click opens.
    keys("ctrl+o");
    ASSERT_TRUE(listed(0));
    ASSERT_TRUE(e2e_wait(&run, [&](const screenshot &s) {
        return e2e_count(&run, s, THUMB, 16, 70, 192, 186) > 5000 &&
               e2e_count(&run, s, 0x963c14, 16, 70, 192, 186) > 300 && // "du jeu"
               e2e_count(&run, s, 0x963c14, 210, 70, 386, 186) == 0;
    }));
    keys("e s s");
    ASSERT_TRUE(listed(2));
    ASSERT_TRUE(e2e_click_until(&run, 16 + 194 + 80, 70 + 50, [&](const screenshot &s) {
        return e2e_count(&run, s, GREEN, 0, 536, 800, 600) > 100; // copie opened
    }));
    // New from a copy of the shipped map: it has no name until saved under a new one.
    keys("ctrl+n");
    ASSERT_TRUE(listed(0));
    keys("p l a i n Return");
    ASSERT_TRUE(status_shows(YELLOW));
    keys("ctrl+s");
    ASSERT_TRUE(asked(true));
    keys("m i e n n e Return");
    ASSERT_TRUE(e2e_wait(&run, [&](const screenshot &) {
        return file_exists(run.file("maps/mienne.czm")); // the last of the three put in place
    }));
    EXPECT_EQ(files("mienne")[0], files("01-plain")[0]);
    ASSERT_TRUE(e2e_quit_from_menu(&run));
    EXPECT_EQ(files("copie")[0], files("essai")[0]); // copie, opened by the click, unchanged
}

} // namespace
