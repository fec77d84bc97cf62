// Settings files drawn at random and at the extremes of every field (a fixed seed): each
// start walks menu, chooser and a game, and must end without a crash, leaving the
// 56-byte file as it was. CINDERMAZE_SETTINGS_STARTS sets the number of starts (the
// long run: `ctest --test-dir build -C soak -L soak`).
#include "app_e2e.h"

#include <climits>
#include <cstdlib>
#include <random>

namespace {

using namespace app_e2e;

const int32_t SIZES_W[] = {INT_MIN, -1, 0, 1, 320, 640, 800, 1024, 4096, INT_MAX};
const int32_t SIZES_H[] = {INT_MIN, -1, 0, 1, 200, 480, 600, 768, 4096, INT_MAX};
const int32_t CARDS[] = {INT_MIN, -1, 0, 1, 2, GFX_SAFE, INT_MAX, AL_ID('N', 'O', 'P', 'E')};
const int32_t BYTES[] = {-128, -1, 0, 1, 2, 3, 127};
const int32_t VOLUMES[] = {INT_MIN, -1, 0, 1, 255, 256, INT_MAX};
const int32_t TIMES[] = {INT_MIN, -1, 0, 1, 30, 90, 300, INT_MAX};
const int32_t KEYS[] = {INT_MIN, -1, 0, 1, KEY_MAX - 1, KEY_MAX, INT_MAX};
// The quit key must be one the walk can press: out-of-table codes become Escape.
const int32_t QUIT_KEYS[] = {INT_MIN, -1, 0, KEY_MAX, INT_MAX, KEY_ESC, KEY_Q};

template <size_t N> int32_t pick(const int32_t (&pool)[N], unsigned k) {
    return pool[k % N];
}

// Any scancode but those the walk presses during a game (a pause key among them would
// hold the game).
int32_t random_key(std::mt19937 *rng) {
    for (;;) {
        int32_t k = 1 + (int32_t)((*rng)() % (KEY_MAX - 1));
        if (k != KEY_ESC && k != KEY_Q && k != KEY_SPACE && k != KEY_RIGHT && k != KEY_DOWN &&
            k != KEY_ENTER)
            return k;
    }
}

// Record k: the first ten take every extreme of every field, in varied company; the
// others draw each field at random (two times in three) or from its extremes.
config settings_record(unsigned k, std::mt19937 *rng) {
    unsigned field = 0;
    auto draw = [&](auto &pool, int32_t random) {
        // 3 k + field runs through every pool (7, 8 or 10 long) in ten records.
        if (k < 10) return pick(pool, 3 * k + field++);
        return (*rng)() % 3 != 0 ? random : pick(pool, (*rng)());
    };
    config c;
    default_config(&c);
    c.gfx_card = draw(CARDS, (int32_t)(*rng)());
    c.display_method = (int8_t)draw(BYTES, (int32_t)(*rng)());
    c.vsync = (int8_t)draw(BYTES, (int32_t)(*rng)());
    c.music_volume = draw(VOLUMES, (int32_t)((*rng)() % 300));
    c.effects_volume = draw(VOLUMES, (int32_t)((*rng)() % 300));
    c.screen_w = draw(SIZES_W, (int32_t)((*rng)() % 1400));
    c.screen_h = draw(SIZES_H, (int32_t)((*rng)() % 1100));
    c.time_limit = draw(TIMES, (int32_t)((*rng)() % 400) - 50);
    for (int a = 0; a < KEY_ACTION_COUNT; a++)
        *config_key_field(&c, a) = a == 5 ? draw(QUIT_KEYS, KEY_ESC) : draw(KEYS, random_key(rng));
    return c;
}

std::string describe(const config &c) {
    char text[256];
    snprintf(text, sizeof text,
             "card %d method %d vsync %d volumes %d/%d size %dx%d time %d quit %d", c.gfx_card,
             c.display_method, c.vsync, c.music_volume, c.effects_volume, c.screen_w, c.screen_h,
             c.time_limit, c.key_quit);
    return text;
}

bool menu_shown(app_run *app) {
    return e2e_wait_window_size(&app->run, 800, 600, &app->window, 0.1) &&
           app->highlighted(app->shot()) != -2;
}

// One start: the menu, the chooser, a game left with the quit key (pressed until the menu
// is back: the game may still be setting up, or showing its end), then quit.
void walk(const config &cfg) {
    app_run app;
    ASSERT_TRUE(app.prepare(&cfg));
    use_small_maps(&app, {"petite"}, {0x3a6c2c}, {0x808080});
    std::vector<uint8_t> file = read_file(app.settings_path());
    ASSERT_TRUE(app.start());
    app.key("Down");
    ASSERT_TRUE(app.wait_highlighted(PLAY));
    app.key("Return");
    ASSERT_TRUE(app.wait_for(
        [&](const screenshot &s) { return app.shows(s, "graphics/prec_off.bmp", 9, 555); }));
    app.key("Return");
    config repaired = cfg;
    repair_config(&repaired, sizeof repaired);
    std::string quit = repaired.key_quit == KEY_Q ? "q" : "Escape";
    app.key("space");
    app.key("Right");
    bool back = false;
    for (int i = 0; i < 25 && !back && e2e_running(&app.run); i++) {
        // Keys go to the window under the pointer: a small game window may not hold it.
        window_geometry game;
        if (e2e_wait_window(&app.run, &game, 0.1))
            e2e_mouse_move(&app.run, game.x + game.width / 2, game.y + game.height / 2);
        app.key(quit);
        for (int j = 0; j < 10 && !back; j++)
            back = menu_shown(&app);
    }
    if (back) app.key("Escape");
    ASSERT_TRUE(e2e_wait_exit(&app.run, 10));
    std::vector<std::string> messages = app.messages();
    // A mode that gives no screen, even in a window, ends the program with its message.
    bool mode_failed =
        app.run.status == 1 && messages.size() == 1 &&
        messages[0].find("Impossible de passer dans le mode graphique") != std::string::npos;
    EXPECT_TRUE(app.run.status == 0 || mode_failed) << "status " << app.run.status;
    EXPECT_EQ(read_file(app.settings_path()), file);
    EXPECT_EQ(file.size(), 56u);
}

TEST(settings_records, each_walks_menu_chooser_and_a_game_without_a_crash) {
    const char *wanted = getenv("CINDERMAZE_SETTINGS_STARTS");
    unsigned starts = wanted ? (unsigned)atoi(wanted) : 12;
    std::mt19937 rng(20261206);
    for (unsigned k = 0; k < starts; k++) {
        config cfg = settings_record(k, &rng);
        SCOPED_TRACE("record " + std::to_string(k) + ": " + describe(cfg));
        walk(cfg);
        if (HasFatalFailure()) return;
    }
}

} // namespace
