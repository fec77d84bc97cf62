// Settings that survive: the program is killed with SIGKILL at random moments around its
// saves (the options dialog, the key binding screen, the first start's defaults), and
// save/config.czc must then be the old record or the new one, byte for byte, never
// anything else. A save takes well under a millisecond, so the program runs with a small
// preloaded library that makes each write of a 56-byte block and each fsync last 150 ms:
// the kills then fall before, inside and after the saves. CINDERMAZE_KILL_ROUNDS
// multiplies the rounds of each test.
#include "hardening_e2e.h"

#include <cstring>
#include <csignal>
#include <random>

namespace {

using namespace hardening;

// The options dialog's time list and save button, in the 640 x 480 window (the dialog is
// placed at (2, 2)).
const int TIME_LIST_X = 2 + 160 + 80, TIME_LIST_Y = 2 + 230 + 25;
const int SAVE_BUTTON_X = 2 + 170 + 100, SAVE_BUTTON_Y = 2 + 450 + 10;

const char *const SLOW_IO_SOURCE = R"(
#define _GNU_SOURCE
#include <dlfcn.h>
#include <sys/types.h>
#include <unistd.h>
/* A settings record written, and every fsync, take 150 ms. */
ssize_t write(int fd, const void *data, size_t size) {
    static ssize_t (*real)(int, const void *, size_t);
    if (!real) real = (ssize_t (*)(int, const void *, size_t))dlsym(RTLD_NEXT, "write");
    if (size == 56) usleep(150000);
    return real(fd, data, size);
}
int fsync(int fd) {
    static int (*real)(int);
    if (!real) real = (int (*)(int))dlsym(RTLD_NEXT, "fsync");
    usleep(150000);
    return real(fd);
}
)";

// Builds the slow library into dir; the environment entries that load it into the program.
std::vector<std::string> slow_io(const temp_dir &dir) {
    write_text(dir.file("slow_io.c"), SLOW_IO_SOURCE);
    std::string library = dir.file("slow_io.so");
    EXPECT_EQ(run_command("cc -shared -fPIC -O1 -o '" + library + "' '" + dir.file("slow_io.c") +
                          "' -ldl"),
              0);
    // A sanitizer's runtime wants to come first; the little library does not mind.
    return {"LD_PRELOAD=" + library, "ASAN_OPTIONS=verify_asan_link_order=0"};
}

int rounds(int ci_rounds) {
    const char *value = getenv("CINDERMAZE_KILL_ROUNDS");
    int factor = value && *value ? atoi(value) : 1;
    return ci_rounds * (factor > 0 ? factor : 1);
}

struct kill_figures {
    int kills = 0, old_file = 0, new_file = 0, leftovers = 0;
};

void kill_now(app_run *app) {
    if (e2e_running(&app->run)) kill(app->run.pid, SIGKILL);
    e2e_wait_exit(&app->run, 5);
}

// After a kill the file holds one of the two records; the next round starts from it.
void judge(app_run *app, const std::vector<uint8_t> &before, const std::vector<uint8_t> &after,
           kill_figures *f) {
    std::vector<uint8_t> now = settings_bytes(*app);
    f->kills++;
    if (now == before) {
        f->old_file++;
    } else if (now == after) {
        f->new_file++;
    } else {
        ADD_FAILURE() << "after a kill the settings file has " << now.size()
                      << " bytes and is neither the old record nor the new one";
    }
    if (file_exists(app->settings_path() + ".tmp")) f->leftovers++;
}

void report(const char *what, const kill_figures &f) {
    printf("%s: %d kills, old record %d, new record %d, temporary file left %d\n", what,
           f.kills, f.old_file, f.new_file, f.leftovers);
}

// The options dialog: one step down or up in the time list, then "Sauvegarder et Quitter";
// the kill comes 0 to 450 ms after the click.
TEST(settings_kill, options_saves_killed_at_random_leave_the_old_or_the_new_record) {
    std::mt19937 random(4242);
    config cfg = silent_settings();
    cfg.gfx_card = GFX_AUTODETECT_WINDOWED;
    cfg.time_limit = 150;
    app_run app;
    ASSERT_TRUE(app.prepare(&cfg));
    temp_dir tools;
    std::vector<std::string> env = slow_io(tools);
    kill_figures f;
    int n = rounds(SANITIZED ? 4 : 12);
    for (int round = 0; round < n; round++) {
        std::vector<uint8_t> before = settings_bytes(app);
        config old_cfg;
        ASSERT_EQ(before.size(), sizeof old_cfg);
        memcpy(&old_cfg, before.data(), sizeof old_cfg);
        ASSERT_TRUE(e2e_launch(&app.run, {}, env) && app.wait_mode(800, 600, slow(10)) &&
                    app.wait_menu(slow(10)));
        for (int i = 0; i < 3; i++)
            app.key("Down");
        ASSERT_TRUE(app.wait_highlighted(OPTIONS, slow(3)));
        app.key("Return");
        ASSERT_TRUE(app.wait_mode(640, 480, slow(10)));
        sleep_seconds(slow(0.5));
        // The list follows the pointer's focus; time steps of 30 s, between 60 and 270.
        bool up = round % 2 == 1;
        app.move(TIME_LIST_X, TIME_LIST_Y);
        sleep_seconds(0.2);
        app.key(up ? "Up" : "Down");
        config new_cfg = old_cfg;
        new_cfg.time_limit += up ? -30 : 30;
        std::vector<uint8_t> after((uint8_t *)&new_cfg, (uint8_t *)&new_cfg + sizeof new_cfg);
        app.move(SAVE_BUTTON_X, SAVE_BUTTON_Y);
        sleep_seconds(0.2);
        e2e_xdotool(&app.run, "mousedown 1");
        sleep_seconds(0.05);
        e2e_xdotool(&app.run, "mouseup 1");
        // The save starts as the button is let go and lasts some 300 ms here.
        sleep_seconds(std::uniform_int_distribution<int>(0, 450)(random) / 1000.0);
        kill_now(&app);
        judge(&app, before, after, &f);
    }
    report("options saves", f);
    // The saves that were not cut short did happen.
    EXPECT_GT(f.new_file, 0);
}

// The key binding screen: seven new keys, each shown for a second, then the save; the
// kill comes 0.8 to 1.6 s after the last key.
TEST(settings_kill, key_binding_saves_killed_at_random_leave_the_old_or_the_new_record) {
    std::mt19937 random(777);
    const char *const SETS[2][KEY_ACTION_COUNT] = {{"w", "x", "c", "v", "b", "n", "m"},
                                                   {"Up", "Down", "Left", "Right", "space",
                                                    "Escape", "p"}};
    const int CODES[2][KEY_ACTION_COUNT] = {{KEY_W, KEY_X, KEY_C, KEY_V, KEY_B, KEY_N, KEY_M},
                                            {KEY_UP, KEY_DOWN, KEY_LEFT, KEY_RIGHT, KEY_SPACE,
                                             KEY_ESC, KEY_P}};
    config cfg = silent_settings();
    cfg.gfx_card = GFX_AUTODETECT_WINDOWED;
    app_run app;
    ASSERT_TRUE(app.prepare(&cfg));
    temp_dir tools;
    std::vector<std::string> env = slow_io(tools);
    kill_figures f;
    int n = rounds(SANITIZED ? 1 : 3);
    for (int round = 0; round < n; round++) {
        std::vector<uint8_t> before = settings_bytes(app);
        config new_cfg;
        memcpy(&new_cfg, before.data(), sizeof new_cfg);
        int set = round % 2;
        for (int action = 0; action < KEY_ACTION_COUNT; action++)
            *config_key_field(&new_cfg, action) = CODES[set][action];
        std::vector<uint8_t> after((uint8_t *)&new_cfg, (uint8_t *)&new_cfg + sizeof new_cfg);
        ASSERT_TRUE(e2e_launch(&app.run, {}, env) && app.wait_mode(800, 600, slow(10)) &&
                    app.wait_menu(slow(10)));
        app.key("Down");
        app.key("Down");
        ASSERT_TRUE(app.wait_highlighted(KEYS, slow(3)));
        app.key("Return");
        sleep_seconds(slow(0.5));
        // Each answer is shown for a second, during which keys are thrown away.
        for (int action = 0; action < KEY_ACTION_COUNT - 1; action++) {
            app.key(SETS[set][action]);
            sleep_seconds(1.1);
        }
        app.key(SETS[set][KEY_ACTION_COUNT - 1]);
        // The save comes a second after the last key and lasts some 300 ms here.
        sleep_seconds(std::uniform_int_distribution<int>(800, 1600)(random) / 1000.0);
        kill_now(&app);
        judge(&app, before, after, &f);
    }
    report("key binding saves", f);
}

// A first start writes the defaults before anything else; killed at any moment of its
// first 400 ms, the program leaves no file or the whole default record.
TEST(settings_kill, first_starts_killed_at_random_leave_no_file_or_the_defaults) {
    std::mt19937 random(99);
    config defaults;
    default_config(&defaults);
    std::vector<uint8_t> whole((uint8_t *)&defaults, (uint8_t *)&defaults + sizeof defaults);
    app_run app;
    ASSERT_TRUE(app.prepare());
    temp_dir tools;
    std::vector<std::string> env = slow_io(tools);
    kill_figures f;
    int n = rounds(SANITIZED ? 10 : 20);
    for (int round = 0; round < n; round++) {
        remove(app.settings_path().c_str());
        ASSERT_TRUE(e2e_launch(&app.run, {}, env));
        sleep_seconds(std::uniform_int_distribution<int>(0, 400)(random) / 1000.0);
        kill_now(&app);
        f.kills++;
        if (!file_exists(app.settings_path())) {
            f.old_file++;
            continue;
        }
        std::vector<uint8_t> now = settings_bytes(app);
        ASSERT_EQ(now.size(), whole.size());
        // The two padding bytes are not significant.
        now[6] = whole[6];
        now[7] = whole[7];
        EXPECT_EQ(now, whole);
        f.new_file++;
    }
    report("first starts", f);
}

} // namespace
