// The main menu driven as a player does: arrow keys with wrap-around, one step per press,
// Enter only with a selection, the mouse only once it has moved.
#include "app_e2e.h"

namespace {

using namespace app_e2e;

struct menu_e2e : ::testing::Test {
    app_run app;
    void SetUp() override {
        config cfg = silent_settings();
        ASSERT_TRUE(app.prepare(&cfg));
        ASSERT_TRUE(app.start());
    }
    // The middle of a button, in window coordinates.
    int centre_x(int i) { return BUTTON_X[i] + app.picture_of(app.button(i, false)).w / 2; }
    int centre_y(int i) { return BUTTON_Y[i] + app.picture_of(app.button(i, false)).h / 2; }
};

TEST_F(menu_e2e, arrows_step_through_the_buttons_and_wrap_around) {
    app.key("Down");
    EXPECT_TRUE(app.wait_highlighted(PLAY));
    app.key("Up");
    EXPECT_TRUE(app.wait_highlighted(QUIT));
    app.key("Down");
    EXPECT_TRUE(app.wait_highlighted(PLAY));
    app.key("Down");
    EXPECT_TRUE(app.wait_highlighted(KEYS));
    EXPECT_TRUE(app.quits_from_menu());
}

TEST_F(menu_e2e, up_from_nothing_selects_quit_and_enter_takes_it) {
    app.key("Up");
    EXPECT_TRUE(app.wait_highlighted(QUIT));
    app.key("Return");
    ASSERT_TRUE(e2e_wait_exit(&app.run, 10));
    EXPECT_EQ(app.run.status, 0);
}

TEST_F(menu_e2e, a_held_key_moves_once_until_everything_is_released) {
    e2e_key_down(&app.run, "Down");
    sleep_seconds(0.8);
    EXPECT_TRUE(app.wait_highlighted(PLAY));
    e2e_key_up(&app.run, "Down");
    sleep_seconds(0.2);
    EXPECT_EQ(app.highlighted(app.shot()), PLAY);
    // Up while Down is still held is no new press either.
    e2e_key_down(&app.run, "Down");
    sleep_seconds(0.2);
    e2e_key_down(&app.run, "Up");
    sleep_seconds(0.3);
    e2e_key_up(&app.run, "Up");
    e2e_key_up(&app.run, "Down");
    EXPECT_TRUE(app.wait_highlighted(KEYS));
    EXPECT_TRUE(app.quits_from_menu());
}

TEST_F(menu_e2e, enter_with_nothing_selected_does_nothing) {
    app.key("Return");
    sleep_seconds(0.5);
    EXPECT_TRUE(e2e_running(&app.run));
    EXPECT_EQ(app.highlighted(app.shot()), -1);
    EXPECT_TRUE(app.quits_from_menu());
}

// The pointer starts in the middle of the screen; a click there counts for nothing
// until the mouse has moved, and then only over the selected button.
TEST_F(menu_e2e, a_click_counts_only_over_the_selected_button_after_a_move) {
    app.click();
    sleep_seconds(0.4);
    EXPECT_EQ(app.highlighted(app.shot()), -1);
    app.move(centre_x(KEYS), centre_y(KEYS));
    EXPECT_TRUE(app.wait_highlighted(KEYS));
    // The keys move the selection away from the pointer: the click then misses.
    app.key("Down");
    EXPECT_TRUE(app.wait_highlighted(OPTIONS));
    app.click();
    sleep_seconds(0.4);
    EXPECT_EQ(app.highlighted(app.shot()), OPTIONS);
    // Leaving every button keeps the last selection.
    app.move(700, 50);
    sleep_seconds(0.3);
    EXPECT_EQ(app.highlighted(app.shot()), OPTIONS);
    app.move(centre_x(OPTIONS), centre_y(OPTIONS));
    sleep_seconds(0.2);
    app.click();
    // The options dialog comes up in 640 x 480.
    EXPECT_TRUE(app.wait_mode(640, 480));
}

} // namespace
