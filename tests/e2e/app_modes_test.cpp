// The main loop's graphics modes around a game: a windowed game and its title, a driver
// that refuses the mode falling back to a window, and the menu's mode afterwards.
#include "app_e2e.h"

#include <algorithm>

namespace {

using namespace app_e2e;

const uint32_t FLOOR = 0x3a6c2c;

bool has_title(app_run *app, const std::string &title) {
    std::vector<std::string> titles = e2e_window_titles(&app->run);
    return std::find(titles.begin(), titles.end(), title) != titles.end();
}

// Plays the one small map with the record's mode; true once its floor is on the screen.
bool play_small_map(app_run *app, const config &cfg) {
    if (!app->prepare(&cfg)) return false;
    use_small_maps(app, {"seule"}, {FLOOR}, {0x808080});
    if (!app->start()) return false;
    app->key("Down");
    if (!app->wait_highlighted(PLAY)) return false;
    app->key("Return");
    // The chooser opens, then Enter plays its only map.
    sleep_seconds(0.3);
    app->key("Return");
    return app->wait_mode(cfg.screen_w, cfg.screen_h) &&
           app->wait_for([&](const screenshot &s) { return count_colour(app, s, FLOOR) > 2000; });
}

TEST(app_modes, a_windowed_game_has_the_title_and_the_menu_comes_back_in_800_x_600) {
    config cfg = silent_settings();
    cfg.gfx_card = GFX_AUTODETECT_WINDOWED;
    cfg.screen_w = 640;
    cfg.screen_h = 480;
    app_run app;
    ASSERT_TRUE(play_small_map(&app, cfg));
    EXPECT_TRUE(has_title(&app, "[ Cindermaze ]"));
    app.key("Escape");
    ASSERT_TRUE(app.wait_mode(800, 600));
    EXPECT_TRUE(app.wait_menu());
    EXPECT_TRUE(app.quits_from_menu());
}

// A driver the library does not know (a record edited by hand, or a safe-mode choice on
// another machine) gives a window of the wanted size, not a game drawn on no screen.
TEST(app_modes, a_refused_mode_gives_a_window_of_the_same_size) {
    config cfg = silent_settings();
    cfg.gfx_card = AL_ID('N', 'O', 'P', 'E');
    cfg.screen_w = 1024;
    cfg.screen_h = 768;
    app_run app;
    ASSERT_TRUE(play_small_map(&app, cfg));
    EXPECT_TRUE(has_title(&app, "[ Cindermaze ]"));
    app.key("Escape");
    ASSERT_TRUE(app.wait_mode(800, 600));
    EXPECT_TRUE(app.wait_menu());
    EXPECT_TRUE(app.quits_from_menu());
    EXPECT_TRUE(app.messages().empty());
}

} // namespace
