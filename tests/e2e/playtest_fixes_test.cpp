// Faults found in play, seen as a player sees them: a patch of the game left under the
// mouse pointer on the menu, an Enter held into the key binding screen, a map that cannot
// be read.
#include "app_e2e.h"

namespace {

using namespace app_e2e;

const uint32_t FLOOR = 0x3a6c2c, THUMBNAIL = 0x13579b, OTHER_THUMBNAIL = 0x9b5713;

// Starts the program on small maps of these names and opens the map chooser.
void open_chooser(app_run *app, const config &cfg,
                  const std::vector<std::string> &maps = {"seule"}) {
    ASSERT_TRUE(app->prepare(&cfg));
    use_small_maps(app, maps, {FLOOR, FLOOR}, {THUMBNAIL, OTHER_THUMBNAIL});
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

// A map file that cannot be read: its message, then the chooser again, where the next
// map plays.
TEST(broken_map, is_refused_and_the_chooser_offers_the_other_maps) {
    app_run app;
    open_chooser(&app, silent_settings(), {"a-cassee", "b-bonne"});
    write_file(app.run.dir.file("maps/a-cassee.czm"), {7});
    app.key("Return");
    ASSERT_TRUE(app.wait_for([&](const screenshot &) { return !app.messages().empty(); }));
    EXPECT_EQ(app.messages(),
              std::vector<std::string>{
                  "Echec du chargement de la map. Essayez de choisir un autre map."});
    // Left, pressed until the chooser is back to hear it, shows the other map.
    bool other = false;
    for (int i = 0; i < 10 && !other && e2e_running(&app.run); i++) {
        app.key("Left");
        other = app.wait_for(
            [&](const screenshot &s) { return count_colour(&app, s, OTHER_THUMBNAIL) > 1000; }, 1);
    }
    ASSERT_TRUE(other);
    app.key("Return");
    ASSERT_TRUE(
        app.wait_for([&](const screenshot &s) { return count_colour(&app, s, FLOOR) > 2000; }));
    app.key("Escape");
    ASSERT_TRUE(app.wait_menu());
    EXPECT_TRUE(app.quits_from_menu());
}

// Enter, held from the menu past the keyboard's repeat delay, is no answer to "haut".
TEST(key_screen, ignores_the_enter_held_over_from_the_menu) {
    app_run app;
    config cfg = silent_settings();
    ASSERT_TRUE(app.prepare(&cfg));
    ASSERT_TRUE(app.start());
    app.key("Down");
    app.key("Down");
    ASSERT_TRUE(app.wait_highlighted(KEYS));
    // The texts in the middle band: the question in blue, each answer in yellow.
    auto shown = [&](uint32_t rgb, bool on) {
        return app.wait_for(
            [&](const screenshot &s) {
                return (count_colour(&app, s, rgb, 0, 240, 800, 380) > 30) == on;
            },
            4);
    };
    e2e_key_down(&app.run, "Return");
    ASSERT_TRUE(shown(0x0000ff, true));
    sleep_seconds(1); // the key is held: the keyboard repeats it
    e2e_key_up(&app.run, "Return");
    for (const char *answer : {"a", "b", "c", "d", "e", "f", "g"}) {
        app.key(answer);
        ASSERT_TRUE(shown(0xffff00, true)) << answer;
        ASSERT_TRUE(shown(0xffff00, false)) << answer;
    }
    ASSERT_TRUE(app.wait_menu());
    EXPECT_EQ(app.saved().key_up, KEY_A);
    EXPECT_EQ(app.saved().key_pause, KEY_G);
    EXPECT_TRUE(app.quits_from_menu());
}

} // namespace
