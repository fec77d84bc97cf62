// Faults found in play, seen as a player sees them: a patch of the game left under the
// mouse pointer on the menu.
#include "app_e2e.h"

namespace {

using namespace app_e2e;

const uint32_t FLOOR = 0x3a6c2c, THUMBNAIL = 0x13579b;

// Starts the program on the one small map and opens the map chooser.
void open_chooser(app_run *app, const config &cfg) {
    ASSERT_TRUE(app->prepare(&cfg));
    use_small_maps(app, {"seule"}, {FLOOR}, {THUMBNAIL});
    ASSERT_TRUE(app->start());
    app->key("Down");
    ASSERT_TRUE(app->wait_highlighted(PLAY));
    app->key("Return");
    ASSERT_TRUE(app->wait_for(
        [&](const screenshot &s) { return app->shows(s, "graphics/prec_off.bmp", 9, 555); }));
}

// A full-screen game in the menu's own mode (no mode switch between them): the pointer
// stood over the thumbnail, then over the game; back in the menu it moves to "quit", and
// nothing of either is left where it was.
TEST(pointer, the_menu_keeps_nothing_of_the_chooser_or_the_game_where_it_was) {
    app_run app;
    open_chooser(&app, silent_settings());
    app.key("Return");
    ASSERT_TRUE(
        app.wait_for([&](const screenshot &s) { return count_colour(&app, s, FLOOR) > 2000; }));
    app.move(410, 310);
    app.key("Escape");
    ASSERT_TRUE(app.wait_menu());
    app.move(BUTTON_X[QUIT] + 10, BUTTON_Y[QUIT] + 10);
    ASSERT_TRUE(app.wait_highlighted(QUIT));
    screenshot s = app.shot();
    EXPECT_EQ(count_colour(&app, s, FLOOR), 0);
    EXPECT_EQ(count_colour(&app, s, THUMBNAIL), 0);
    EXPECT_TRUE(app.quits_from_menu());
}

} // namespace
