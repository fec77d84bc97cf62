// The options dialog in the real program: the choices it shows for a record, saving
// with its button, and the three ways of leaving without saving.
#include "app_e2e.h"
#include "guifont.h"

namespace {

using namespace app_e2e;

// Dialog entries as placed on the 640 x 480 screen (the dialog is moved to (2, 2)).
struct list_box {
    int x, y, w;
};
const list_box METHOD_LIST = {162, 52, 160};
const list_box RESOLUTION_LIST = {162, 102, 160};
const list_box WINDOW_LIST = {162, 152, 160};
const list_box TIME_LIST = {162, 232, 160};
const int QUIT_X = 82, SAVE_X = 272, BUTTONS_Y = 462;
const int ROW_H = 8; // Allegro's own font

struct options_e2e : ::testing::Test {
    app_run app;
    config before;

    void open_options(const config &cfg) {
        before = cfg;
        ASSERT_TRUE(app.prepare(&before));
        ASSERT_TRUE(app.start());
        app.key("Up");
        app.key("Up");
        ASSERT_TRUE(app.wait_highlighted(OPTIONS));
        app.key("Return");
        ASSERT_TRUE(app.wait_mode(640, 480));
        ASSERT_TRUE(
            app.wait_for([&](const screenshot &s) { return selected_row(s, WINDOW_LIST) >= 0; }));
    }
    // The highlighted row of a list: drawn dark, where other rows are light with dark text.
    int selected_row(const screenshot &s, const list_box &list, int rows = 3) {
        int found = -1;
        for (int row = 0; row < rows; row++) {
            int dark = 0, total = 0;
            for (int y = list.y + 2 + row * ROW_H; y < list.y + 2 + (row + 1) * ROW_H; y++)
                for (int x = list.x + 3; x < list.x + list.w - 14; x++) {
                    uint32_t p = app.pixel(s, x, y);
                    dark += (p & 0xff) < 0x60;
                    total++;
                }
            if (dark * 2 > total) found = found == -1 ? row : -2;
        }
        return found;
    }
    // Allegro drops pointer moves for a moment after it has warped the pointer (as it does
    // after a change of mode), so a click may land where the pointer was before: each
    // click is tried again, a few pixels on, until what it should do is on the screen.
    bool click_until(int x, int y, const std::function<bool(const screenshot &)> &done) {
        for (int attempt = 0; attempt < 4; attempt++) {
            app.move(x + 3 * attempt, y);
            sleep_seconds(0.15);
            app.click();
            if (app.wait_for(done, 1.5)) return true;
        }
        return false;
    }
    bool click_row(const list_box &list, int row) {
        return click_until(list.x + 20, list.y + 2 + row * ROW_H + ROW_H / 2,
                           [&](const screenshot &s) { return selected_row(s, list) == row; });
    }
    // "&Quitter": the confirmation box comes over the middle of the dialog.
    bool ask_to_quit() {
        screenshot before = app.shot();
        return click_until(QUIT_X, BUTTONS_Y, [&](const screenshot &s) {
            int changed = 0;
            for (int y = 200; y < 280; y++)
                for (int x = 220; x < 420; x++)
                    changed += app.pixel(s, x, y) != app.pixel(before, x, y);
            return changed > 1000;
        });
    }
    // "&Sauvegarder et Quitter": the dialog closes, the menu's mode comes back.
    bool save_and_leave() {
        return click_until(SAVE_X, BUTTONS_Y, [&](const screenshot &) {
            window_geometry w;
            return e2e_wait_window_size(&app.run, 800, 600, &w, 0.1);
        });
    }
    void point_at(int x, int y) {
        app.move(x, y);
        sleep_seconds(0.15);
    }
    // Back in the menu; the settings file then says whether anything was saved.
    void expect_back_in_menu() {
        EXPECT_TRUE(app.wait_mode(800, 600));
        EXPECT_TRUE(app.wait_menu());
    }
};

TEST_F(options_e2e, shows_the_record_and_saves_window_1024_x_768_and_5_minutes) {
    config cfg = silent_settings();
    cfg.key_bomb = KEY_B;
    open_options(cfg);
    screenshot s = app.shot();
    EXPECT_EQ(selected_row(s, WINDOW_LIST), 0);     // Plein écran
    EXPECT_EQ(selected_row(s, RESOLUTION_LIST), 1); // 800 x 600
    EXPECT_EQ(selected_row(s, TIME_LIST), 2);       // 90 secondes
    EXPECT_EQ(selected_row(s, METHOD_LIST), 0);     // Double buffering
    ASSERT_TRUE(click_row(WINDOW_LIST, 1));
    ASSERT_TRUE(click_row(RESOLUTION_LIST, 2));
    // The focus follows the pointer: End goes to the last entry, "5 minutes".
    point_at(TIME_LIST.x + 20, TIME_LIST.y + 10);
    app.key("End");
    // The list scrolls to show its last five entries, the last one selected.
    ASSERT_TRUE(
        app.wait_for([&](const screenshot &s) { return selected_row(s, TIME_LIST, 5) == 4; }));
    ASSERT_TRUE(save_and_leave());
    expect_back_in_menu();
    config after = app.saved();
    EXPECT_EQ(after.gfx_card, GFX_AUTODETECT_WINDOWED);
    EXPECT_EQ(after.screen_w, 1024);
    EXPECT_EQ(after.screen_h, 768);
    EXPECT_EQ(after.time_limit, 300);
    EXPECT_EQ(after.display_method, 0);
    EXPECT_EQ(after.music_volume, 0);
    EXPECT_EQ(after.effects_volume, 0);
    EXPECT_EQ(after.key_bomb, KEY_B);
    EXPECT_TRUE(app.quits_from_menu());
}

TEST_F(options_e2e, quitter_then_oui_saves_nothing) {
    open_options(silent_settings());
    ASSERT_TRUE(click_row(WINDOW_LIST, 1));
    ASSERT_TRUE(ask_to_quit());
    app.key("o"); // the underlined letter of "&Oui"
    expect_back_in_menu();
    EXPECT_EQ(read_file(app.settings_path()), bytes_of(before));
    EXPECT_TRUE(app.quits_from_menu());
}

// Escape closes the dialog without saving, and is no choice in the menu that follows.
TEST_F(options_e2e, the_dialogs_own_escape_saves_nothing) {
    open_options(silent_settings());
    ASSERT_TRUE(click_row(RESOLUTION_LIST, 0));
    app.key("Escape");
    expect_back_in_menu();
    EXPECT_TRUE(e2e_running(&app.run));
    EXPECT_EQ(read_file(app.settings_path()), bytes_of(before));
    EXPECT_TRUE(app.quits_from_menu());
}

TEST_F(options_e2e, escape_in_the_confirmation_keeps_the_dialog_open) {
    open_options(silent_settings());
    ASSERT_TRUE(click_row(WINDOW_LIST, 1));
    ASSERT_TRUE(ask_to_quit());
    app.key("Escape");
    EXPECT_TRUE(
        app.wait_for([&](const screenshot &s) { return selected_row(s, WINDOW_LIST) == 1; }));
    ASSERT_TRUE(save_and_leave());
    expect_back_in_menu();
    EXPECT_EQ(app.saved().gfx_card, GFX_AUTODETECT_WINDOWED);
    EXPECT_TRUE(app.quits_from_menu());
}

// A driver from the safe-mode selector and a resolution the lists do not offer.
TEST_F(options_e2e, a_safe_mode_record_shows_and_saves_full_screen_640_x_480) {
    config cfg = silent_settings();
    cfg.gfx_card = AL_ID('X', 'W', 'I', 'N');
    cfg.screen_w = 320;
    cfg.screen_h = 200;
    open_options(cfg);
    screenshot s = app.shot();
    EXPECT_EQ(selected_row(s, WINDOW_LIST), 0);
    EXPECT_EQ(selected_row(s, RESOLUTION_LIST), 0);
    ASSERT_TRUE(save_and_leave());
    expect_back_in_menu();
    config after = app.saved();
    EXPECT_EQ(after.gfx_card, GFX_AUTODETECT_FULLSCREEN);
    EXPECT_EQ(after.screen_w, 640);
    EXPECT_EQ(after.screen_h, 480);
    EXPECT_TRUE(app.quits_from_menu());
}

// With the pointer over a list, 's' is the save button's shortcut, not a jump to "Safe mode".
TEST_F(options_e2e, s_over_a_list_saves) {
    open_options(silent_settings());
    ASSERT_TRUE(click_row(WINDOW_LIST, 1));
    app.key("s");
    expect_back_in_menu();
    EXPECT_EQ(app.saved().gfx_card, GFX_AUTODETECT_WINDOWED);
    EXPECT_TRUE(app.quits_from_menu());
}

// Each selected entry is white on black across its row (no dotted frame over the letters),
// and "Fenêtrage" is drawn in the dialog's own font.
TEST_F(options_e2e, selected_entries_and_accents_are_readable) {
    open_options(silent_settings());
    screenshot s = app.shot();
    for (const list_box &list : {METHOD_LIST, RESOLUTION_LIST, WINDOW_LIST}) {
        int row = selected_row(s, list), white = 0, other = 0;
        for (int y = list.y + 2 + row * ROW_H; y < list.y + 2 + (row + 1) * ROW_H; y++)
            for (int x = list.x + 2; x < list.x + list.w - 3; x++) {
                uint32_t p = app.pixel(s, x, y);
                white += p == 0xffffff;
                other += p != 0xffffff && p != 0;
            }
        EXPECT_GT(white, 40) << list.y;
        EXPECT_EQ(other, 0) << list.y;
    }
    allegro_for_tests(32);
    set_uformat(U_ASCII); // the dialog's texts are 8-bit
    FONT *dialog_font = make_dialog_font();
    ASSERT_NE(dialog_font, nullptr);
    const char *label = "Fenêtrage";
    BITMAP *b = create_bitmap(text_length(dialog_font, label), 8);
    clear_to_color(b, makecol(255, 255, 255));
    textout_ex(b, dialog_font, label, 0, 0, makecol(0, 0, 0), -1);
    int differ = 0;
    for (int y = 0; y < 8; y++)
        for (int x = 0; x < b->w; x++)
            differ += (getpixel(b, x, y) == makecol(0, 0, 0)) != (app.pixel(s, 2 + x, 152 + y) == 0);
    EXPECT_EQ(differ, 0);
    destroy_bitmap(b);
    destroy_font(dialog_font);
}

} // namespace
