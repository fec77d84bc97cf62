// An input storm: random keys, pointer moves and clicks from a fixed seed, sent to
// whatever screen is up (menu, chooser, games, key bindings, options) for a while. The
// program must keep running or quit cleanly (it is started again then), and the settings
// file must always be one whole record that loads back as the program wrote it.
// CINDERMAZE_STORM_SECONDS and CINDERMAZE_STORM_SEED change the length and the seed.
#include "hardening_e2e.h"

#include <chrono>
#include <cstring>
#include <random>
#include <set>

namespace {

using namespace hardening;

const char *const KEYS[] = {"Up",     "Down", "Left", "Right", "Return", "space", "Escape",
                            "p",      "q",    "s",    "o",     "n",      "y",     "Tab",
                            "a",      "z",    "1",    "F1",    "BackSpace", "KP_Enter"};
// How often each key is drawn, in the order of KEYS: mostly the keys that move between
// screens and play, some that the dialogs and bindings take.
const int KEY_WEIGHTS[] = {14, 14, 12, 12, 10, 8, 3, 2, 3, 3, 2, 2, 2, 3, 1, 1, 1, 1, 1, 1};

const char *const FALLBACK_MESSAGES[] = {"Page flipping non support", "Triple buffering non support"};

// A record the program itself could have written: every value from its screens' lists.
bool plausible_record(const std::vector<uint8_t> &bytes, std::string *why) {
    if (bytes.size() != sizeof(config)) {
        *why = "the file has " + std::to_string(bytes.size()) + " bytes";
        return false;
    }
    config cfg;
    memcpy(&cfg, bytes.data(), sizeof cfg);
    config mended = cfg;
    if (repair_config(&mended, sizeof mended)) {
        *why = "a key code outside the key table";
        return false;
    }
    std::set<int32_t> keys;
    for (int action = 0; action < KEY_ACTION_COUNT; action++)
        keys.insert(*config_key_field(&cfg, action));
    bool ok = keys.size() == KEY_ACTION_COUNT &&
              (cfg.gfx_card == GFX_AUTODETECT_FULLSCREEN || cfg.gfx_card == GFX_AUTODETECT_WINDOWED ||
               cfg.gfx_card == GFX_SAFE) &&
              cfg.display_method >= 0 && cfg.display_method <= 2 && (cfg.vsync == 0 || cfg.vsync == 1) &&
              cfg.music_volume >= 0 && cfg.music_volume <= 255 && cfg.effects_volume >= 0 &&
              cfg.effects_volume <= 255 && cfg.time_limit % 30 == 0 && cfg.time_limit >= 30 &&
              cfg.time_limit <= 300 &&
              ((cfg.screen_w == 640 && cfg.screen_h == 480) ||
               (cfg.screen_w == 800 && cfg.screen_h == 600) ||
               (cfg.screen_w == 1024 && cfg.screen_h == 768));
    if (!ok) *why = "a value no screen of the program writes";
    return ok;
}

double env_number(const char *name, double fallback) {
    const char *value = getenv(name);
    return value && *value ? atof(value) : fallback;
}

struct storm_figures {
    long keys = 0, moves = 0, clicks = 0, starts = 0, clean_quits = 0, file_checks = 0,
         file_changes = 0;
    std::set<std::string> modes; // window sizes seen, e.g. "640x480" for the options
};

TEST(input_storm, random_input_on_every_screen_neither_crashes_nor_spoils_the_settings) {
    double seconds = env_number("CINDERMAZE_STORM_SECONDS", SANITIZED ? 20 : 60);
    unsigned seed = (unsigned)env_number("CINDERMAZE_STORM_SEED", 20261206);
    std::mt19937 random(seed);
    std::discrete_distribution<int> pick_key(std::begin(KEY_WEIGHTS), std::end(KEY_WEIGHTS));

    config cfg = silent_settings();
    // Games in a 1024 x 768 window: their window tells them from the menu's and the options'.
    cfg.gfx_card = GFX_AUTODETECT_WINDOWED;
    cfg.screen_w = 1024;
    cfg.screen_h = 768;
    cfg.time_limit = 30;
    app_run app;
    ASSERT_TRUE(app.prepare(&cfg));
    storm_figures f;
    std::vector<uint8_t> last_file = settings_bytes(app);

    auto check_file = [&]() {
        std::vector<uint8_t> bytes = settings_bytes(app);
        std::string why;
        f.file_checks++;
        EXPECT_TRUE(plausible_record(bytes, &why)) << why;
        if (bytes != last_file) f.file_changes++;
        last_file = bytes;
    };
    auto start = [&]() {
        ASSERT_TRUE(e2e_launch(&app.run));
        f.starts++;
        if (e2e_wait_window(&app.run, &app.window, slow(10))) {
            // The pointer in the window, so that the window has the keyboard.
            app.move(app.window.width / 2, app.window.height / 2);
        }
    };

    start();
    auto begin = std::chrono::steady_clock::now();
    auto elapsed = [&]() {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
    };
    double next_look = 0;
    while (elapsed() < seconds && !::testing::Test::HasFatalFailure()) {
        if (!e2e_running(&app.run)) {
            ASSERT_EQ(app.run.status, 0) << "the program ended badly after " << elapsed() << " s";
            f.clean_quits++;
            check_file();
            start();
            continue;
        }
        if (elapsed() >= next_look) {
            // The window changes with the screens: keep the pointer over it.
            window_geometry w;
            if (e2e_wait_window(&app.run, &w, 1)) {
                app.window = w;
                f.modes.insert(std::to_string(w.width) + "x" + std::to_string(w.height));
            }
            check_file();
            next_look = elapsed() + 2;
        }
        int action = std::uniform_int_distribution<int>(0, 99)(random);
        if (action < 70) {
            const char *key = KEYS[pick_key(random)];
            e2e_key_down(&app.run, key);
            sleep_seconds(std::uniform_int_distribution<int>(10, 150)(random) / 1000.0);
            e2e_key_up(&app.run, key);
            f.keys++;
        } else if (action < 88) {
            app.move(std::uniform_int_distribution<int>(0, app.window.width - 1)(random),
                     std::uniform_int_distribution<int>(0, app.window.height - 1)(random));
            f.moves++;
        } else {
            app.click();
            f.clicks++;
        }
        sleep_seconds(std::uniform_int_distribution<int>(0, 30)(random) / 1000.0);
    }

    // Still running, or ended cleanly, and the file is whole.
    if (e2e_running(&app.run)) {
        e2e_kill(&app.run);
    } else {
        EXPECT_EQ(app.run.status, 0);
        f.clean_quits++;
    }
    check_file();
    for (const std::string &message : app.messages()) {
        bool fallback = false;
        for (const char *allowed : FALLBACK_MESSAGES)
            fallback = fallback || message.rfind(allowed, 0) == 0;
        EXPECT_TRUE(fallback) << "unexpected message: " << message;
        printf("storm: message shown: %s\n", message.c_str());
    }
    std::string modes;
    for (const std::string &m : f.modes)
        modes += " " + m;
    printf("storm: seed %u, %.0f s, %ld keys, %ld pointer moves, %ld clicks, %ld starts, "
           "%ld clean quits, %ld file checks, %ld file changes, %zu messages, window sizes:%s\n",
           seed, elapsed(), f.keys, f.moves, f.clicks, f.starts, f.clean_quits, f.file_checks,
           f.file_changes, app.messages().size(), modes.c_str());
}

} // namespace
