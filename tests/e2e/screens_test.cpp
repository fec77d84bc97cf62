// Each screen of the real program driven once as a player does (the first start is the
// installation test's): the menu by keys and mouse, the key binding screen, the options dialog
// saved and left, the map chooser.
#include "e2e.h"
#include "guifont.h"

#include <algorithm>
#include <allegro.h>
#include <gtest/gtest.h>

namespace {

// Seven questions, the screen entered with Enter held a second (no answer to the first): a
// key already given in this pass is refused (red), a key typed while an answer shows
// (yellow) is thrown away; the file then holds the keys, in order, and the other settings.
TEST(key_binding, seven_answers_are_saved_in_order) {
    config cfg = quiet_settings();
    cfg.time_limit = 150;
    e2e_run run;
    ASSERT_TRUE(e2e_prepare(&run, &cfg) && e2e_launch(&run) && e2e_wait_menu(&run));
    ASSERT_TRUE(e2e_hold(&run, "Down", e2e_lit(&run, MENU_KEYS)));
    const uint32_t BLUE = 0x0000ff, YELLOW = 0xffff00, RED = 0xff0000;
    e2e_xdo(&run, "keydown Return");
    ASSERT_TRUE(e2e_wait(&run, e2e_answer(&run, BLUE, true)));
    usleep(1000000); // the player's hand on the key
    e2e_xdo(&run, "keyup Return");
    ASSERT_TRUE(e2e_hold(&run, "a", e2e_answer(&run, YELLOW, true)));
    ASSERT_TRUE(
        e2e_hold(&run, "z", e2e_answer(&run, YELLOW, false))); // typed while "a" shows: lost
    ASSERT_TRUE(e2e_hold(&run, "a", e2e_answer(&run, RED, true)));
    ASSERT_TRUE(e2e_wait(&run, e2e_answer(&run, RED, false)));
    for (const char *k : {"Up", "c", "d", "e", "Escape", "g"}) {
        ASSERT_TRUE(e2e_hold(&run, k, e2e_answer(&run, YELLOW, true))) << k;
        ASSERT_TRUE(e2e_wait(&run, e2e_answer(&run, YELLOW, false))) << k;
    }
    ASSERT_TRUE(e2e_wait_menu(&run));
    config want = cfg;
    int32_t keys[7] = {KEY_A, KEY_UP, KEY_C, KEY_D, KEY_E, KEY_ESC, KEY_G};
    for (int action = 0; action < 7; action++)
        *config_key_field(&want, action) = keys[action];
    EXPECT_EQ(e2e_settings_bytes(&run), record_bytes(want));
    EXPECT_TRUE(e2e_quit_from_menu(&run));
}

// The options dialog on its 640 x 480 screen (placed at (2, 2)); lists at x 162.
const int WINDOW_LIST_Y = 152, RESOLUTION_LIST_Y = 102, TIME_LIST_Y = 232, ROW_H = 8;

// The highlighted row of a list: drawn dark where the others are light.
int selected_row(e2e_run *run, const screenshot &s, int list_y, int rows = 3) {
    int found = -1;
    for (int row = 0; row < rows; row++) {
        int dark = 0;
        for (int y = list_y + 2 + row * ROW_H; y < list_y + 2 + (row + 1) * ROW_H; y++)
            for (int x = 165; x < 308; x++)
                dark += (e2e_pixel(run, s, x, y) & 0xff) < 0x60;
        if (dark * 2 > ROW_H * 143) found = found == -1 ? row : -2;
    }
    return found;
}

// The menu by the arrow keys (round the buttons) and by the pointer, which selects once
// moved; a click opens the options dialog, its selected entries white on black across the
// row and its accents in its own font. "Quitter" there asks first: Escape and "n" (Non) keep
// the dialog, "y" (Oui) leaves it, nothing saved. Opened again by the keys, the dialog saves
// window, 1024 x 768 and "5 minutes" (End in the time list under the pointer) with 's' over
// that list; opened a third time and left with "o" (the underlined letter of "Oui"), it
// leaves the saved file as it is.
TEST(menu, keys_and_pointer_then_the_options_dialog_left_and_saved) {
    config cfg = quiet_settings();
    e2e_run run;
    ASSERT_TRUE(e2e_prepare(&run, &cfg) && e2e_launch(&run) && e2e_wait_menu(&run));
    EXPECT_TRUE(e2e_hold(&run, "Up", e2e_lit(&run, MENU_QUIT)));
    EXPECT_TRUE(e2e_hold(&run, "Down", e2e_lit(&run, MENU_PLAY)));
    EXPECT_TRUE(e2e_hold(&run, "Down", e2e_lit(&run, MENU_KEYS)));
    ASSERT_TRUE(e2e_point(&run, MENU_BUTTON_X[MENU_OPTIONS] + 60, MENU_BUTTON_Y[MENU_OPTIONS] + 20,
                          e2e_lit(&run, MENU_OPTIONS)));
    e2e_click(&run);
    auto row = [&](int list_y, int r, int rows = 3) {
        return [&run, list_y, r, rows](const screenshot &s) {
            return selected_row(&run, s, list_y, rows) == r;
        };
    };
    auto pick = [&](int list_y, int r) {
        return e2e_click_until(&run, 200, list_y + 6 + r * ROW_H, row(list_y, r));
    };
    auto menu_back = [&](const screenshot &) { return e2e_wait_window(&run, 800, 600, 0.01); };
    ASSERT_TRUE(e2e_wait_window(&run, 640, 480) && e2e_wait(&run, row(WINDOW_LIST_Y, 1)));
    screenshot dialog = e2e_shot(&run);
    for (int list_y : {52, RESOLUTION_LIST_Y, WINDOW_LIST_Y}) {
        int row = selected_row(&run, dialog, list_y), white = 0, other = 0;
        for (int y = list_y + 2 + row * ROW_H; y < list_y + 2 + (row + 1) * ROW_H; y++)
            for (int x = 164; x < 319; x++) {
                uint32_t p = e2e_pixel(&run, dialog, x, y);
                white += p == 0xffffff, other += p != 0xffffff && p != 0;
            }
        EXPECT_GT(white, 40) << list_y;
        EXPECT_EQ(other, 0) << list_y;
    }
    allegro_for_tests(32);
    set_uformat(U_ASCII); // the dialog's texts are 8-bit
    FONT *font8 = make_dialog_font();
    BITMAP *label = create_bitmap(text_length(font8, "Fenêtrage"), 8);
    clear_to_color(label, makecol(255, 255, 255));
    textout_ex(label, font8, "Fenêtrage", 0, 0, 0, -1);
    int differ = 0;
    for (int i = 0; i < label->w * 8; i++)
        differ += (getpixel(label, i % label->w, i / label->w) == 0) !=
                  (e2e_pixel(&run, dialog, 2 + i % label->w, WINDOW_LIST_Y + i / label->w) == 0);
    EXPECT_EQ(differ, 0);
    destroy_bitmap(label);
    destroy_font(font8);
    // "Quitter" asks; each key of `keep` answers and the dialog stays, then `leave` leaves.
    auto quit_asking = [&](const std::vector<const char *> &keep, const char *leave) {
        screenshot before = e2e_shot(&run);
        auto asked = [&](const screenshot &s) { // the question over the dialog's middle
            int changed = 0;
            for (int y = 200; y < 280; y++)
                for (int x = 220; x < 420; x++)
                    changed += e2e_pixel(&run, s, x, y) != e2e_pixel(&run, before, x, y);
            return changed > 1000;
        };
        for (const char *key : keep)
            if (!e2e_click_until(&run, 82, 462, asked) ||
                !e2e_hold(&run, key, [&](const screenshot &s) { return !asked(s); }))
                return false;
        return e2e_click_until(&run, 82, 462, asked) && e2e_hold(&run, leave, menu_back) &&
               e2e_wait_menu(&run);
    };
    ASSERT_TRUE(pick(WINDOW_LIST_Y, 0));
    ASSERT_TRUE(quit_asking({"Escape", "n"}, "y"));
    EXPECT_EQ(e2e_settings_bytes(&run), record_bytes(cfg));
    ASSERT_TRUE(e2e_menu_choose(&run, MENU_OPTIONS));
    ASSERT_TRUE(e2e_wait_window(&run, 640, 480) && e2e_wait(&run, row(WINDOW_LIST_Y, 1)));
    ASSERT_TRUE(pick(RESOLUTION_LIST_Y, 2));
    ASSERT_TRUE(e2e_click_until(&run, 200, TIME_LIST_Y + 10, [&](const screenshot &s) {
        return selected_row(&run, s, TIME_LIST_Y, 5) >= 0;
    }));
    ASSERT_TRUE(e2e_hold(&run, "End", row(TIME_LIST_Y, 4, 5)));
    ASSERT_TRUE(e2e_hold(&run, "s", menu_back) && e2e_wait_menu(&run));
    cfg.screen_w = 1024, cfg.screen_h = 768, cfg.time_limit = 300;
    EXPECT_EQ(e2e_settings_bytes(&run), record_bytes(cfg));
    ASSERT_TRUE(e2e_menu_choose(&run, MENU_OPTIONS));
    ASSERT_TRUE(e2e_wait_window(&run, 640, 480) && e2e_wait(&run, row(WINDOW_LIST_Y, 1)));
    ASSERT_TRUE(pick(WINDOW_LIST_Y, 0) && quit_asking({}, "o"));
    EXPECT_EQ(e2e_settings_bytes(&run), record_bytes(cfg));
    EXPECT_TRUE(e2e_quit_from_menu(&run));
}

// Three maps, each with a thumbnail of its own colour: the left-hand keys and button go
// forward, the right-hand ones back, round the list; a click on the preview plays the map
// shown, which the window's close box ends; Escape goes back to the menu; with no maps at
// all "Jouer" comes back to the menu, where the close box quits.
TEST(chooser,
     steps_both_ways_round_the_maps_plays_the_preview_clicked_and_escape_returns_to_the_menu) {
    const std::vector<std::string> names = {"alpha", "beta", "gamma"};
    const std::vector<uint32_t> thumbs = {0xd02020, 0x20d020, 0x2020d0};
    const std::vector<std::string> room = {"#####", "#P.D#", "#####"};
    config cfg = quiet_settings();
    e2e_run run;
    ASSERT_TRUE(e2e_prepare(&run, &cfg));
    e2e_only_maps(&run, names, {room, room, room}, 0x103a5c, thumbs);
    ASSERT_TRUE(e2e_launch(&run) && e2e_wait_menu(&run) && e2e_menu_choose(&run, MENU_PLAY));
    // The thumbnail shown, read off its middle: the first map listed, then the second
    // one forward, back to the first, back again round to the third.
    uint32_t shown[3] = {0, 0, 0};
    auto shows = [&](int i) {
        return [&run, &shown, &thumbs, i](const screenshot &s) {
            uint32_t now = e2e_pixel(&run, s, 320, 240);
            bool known = std::count(thumbs.begin(), thumbs.end(), now) == 1;
            bool fresh = now != shown[(i + 1) % 3] && now != shown[(i + 2) % 3];
            if (!shown[i] && known && fresh) shown[i] = now;
            return shown[i] && now == shown[i];
        };
    };
    ASSERT_TRUE(e2e_wait(&run, shows(0)));
    EXPECT_TRUE(e2e_hold(&run, "Left", shows(1)));
    EXPECT_TRUE(e2e_hold(&run, "Right", shows(0)));
    EXPECT_TRUE(e2e_hold(&run, "Right", shows(2)));
    EXPECT_TRUE(e2e_point(&run, 614 + 75, 555 + 20, [&](const screenshot &s) { // "suivant"
        return e2e_match(&run, s, "graphics/suiv_on.bmp", 614, 555) > 0.9;
    }));
    e2e_click(&run);
    EXPECT_TRUE(e2e_wait(&run, shows(1)));
    // A click on the preview plays the map shown; the window's close box ends the game.
    ASSERT_TRUE(e2e_click_until(
        &run, 400, 300, [&](const screenshot &s) { return e2e_count(&run, s, 0x103a5c) > 1000; }));
    e2e_close_box(&run);
    ASSERT_TRUE(e2e_wait_menu(&run));
    ASSERT_TRUE(e2e_menu_choose(&run, MENU_PLAY) && e2e_wait(&run, shows(0)));
    ASSERT_TRUE(e2e_hold(&run, "Escape", e2e_lit(&run, MENU_ANY)));
    run_command("rm -f '" + run.file("maps") + "'/*.czm");
    e2e_menu_choose(&run, MENU_PLAY); // the chooser comes and goes at once
    EXPECT_TRUE(e2e_wait_menu(&run, -1));
    e2e_close_box(&run); // in the menu, it quits
    EXPECT_TRUE(e2e_wait_exit(&run, 10) && run.status == 0);
    EXPECT_TRUE(e2e_messages(&run).empty());
}

} // namespace
