// The game played with a pad alone, through a pad that is not there: the fake_pad library
// gives the program a /dev/input/js0 whose events the test writes into a pipe.
#include "e2e.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/joystick.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const uint32_t FLOOR = 0x0a3c14, THUMB_A = 0x13579b, THUMB_B = 0x9b5713, RED = 0xff0000;
// The fake pad's axes: the left stick's first, the d-pad's hat last.
enum { STICK_X = 0, STICK_Y = 1, DPAD_X = 6, DPAD_Y = 7 };

struct pad_pipe {
    int fd = -1;
    ~pad_pipe() {
        if (fd >= 0) close(fd);
    }
    void send(uint8_t type, uint8_t number, int16_t value) const {
        js_event e = {0, value, type, number};
        EXPECT_EQ(write(fd, &e, sizeof e), (ssize_t)sizeof e);
    }
};

// Holds buttons and pushes axes (to value) until `done` shows, then lets them go.
bool pad_hold(e2e_run *run, const pad_pipe &pad, std::vector<int> buttons,
              std::vector<std::pair<int, int>> axes,
              const std::function<bool(const screenshot &)> &done, double seconds = 5) {
    auto hold = [&](bool down) {
        for (int b : buttons)
            pad.send(JS_EVENT_BUTTON, (uint8_t)b, down);
        for (auto [axis, value] : axes)
            pad.send(JS_EVENT_AXIS, (uint8_t)axis, (int16_t)(down ? value : 0));
    };
    return e2e_hold_with(run, hold, done, seconds);
}

// Menu, key binding screen, chooser, a game won and the way out, the keyboard untouched:
// the d-pad and the stick step the menu and the chooser, the first button chooses, the
// second goes back (and quits from the menu); each question of the binding screen takes a
// button, one already given is refused; the button then bound to "bombe" lays bombs. The
// keys of the settings stay as they were.
TEST(pad, alone_plays_the_whole_game) {
    config cfg = quiet_settings();
    e2e_run run;
    ASSERT_TRUE(e2e_prepare(&run, &cfg));
    std::vector<std::string> room = {std::string(20, '#'), "#P................D#",
                                     "#" + std::string(18, '.') + "#", std::string(20, '#')};
    e2e_only_maps(&run, {"a", "b"}, {room, room}, FLOOR, {THUMB_A, THUMB_B});
    std::string events = run.file("pad");
    ASSERT_EQ(mkfifo(events.c_str(), 0600), 0);
    pad_pipe pad;
    pad.fd = open(events.c_str(), O_RDWR | O_NONBLOCK);
    ASSERT_TRUE(e2e_launch(&run, {"LD_PRELOAD=" FAKE_PAD_LIBRARY, "FAKE_PAD_EVENTS=" + events}));
    ASSERT_TRUE(e2e_wait_menu(&run));
    auto lit = [&](int button) {
        return
            [&run, button](const screenshot &s) { return e2e_menu_highlight(&run, s) == button; };
    };
    ASSERT_TRUE(pad_hold(&run, pad, {}, {{DPAD_Y, 32767}}, lit(MENU_PLAY)));
    ASSERT_TRUE(pad_hold(&run, pad, {}, {{STICK_Y, 30000}}, lit(MENU_KEYS)));

    auto colour = [&](uint32_t rgb, bool shown) {
        return [&run, rgb, shown](const screenshot &s) {
            return (e2e_count(&run, s, rgb, 0, 240, 800, 380) > 30) == shown;
        };
    };
    const uint32_t BLUE = 0x0000ff, YELLOW = 0xffff00;
    ASSERT_TRUE(pad_hold(&run, pad, {0}, {}, colour(BLUE, true)));
    ASSERT_TRUE(pad_hold(&run, pad, {3}, {}, colour(YELLOW, true)));
    ASSERT_TRUE(e2e_wait(&run, colour(YELLOW, false)));
    ASSERT_TRUE(pad_hold(&run, pad, {3}, {}, colour(RED, true)));
    ASSERT_TRUE(e2e_wait(&run, colour(RED, false)));
    for (int button : {2, 8, 9, 4, 6, 7}) {
        ASSERT_TRUE(pad_hold(&run, pad, {button}, {}, colour(YELLOW, true))) << button;
        ASSERT_TRUE(e2e_wait(&run, colour(YELLOW, false))) << button;
    }
    ASSERT_TRUE(e2e_wait_menu(&run));
    EXPECT_EQ(read_file(run.file("save/manette.czc")),
              (std::vector<uint8_t>{1, 3, 2, 8, 9, 4, 6, 7}));
    EXPECT_EQ(e2e_settings_bytes(&run), record_bytes(cfg));

    auto shows = [&](uint32_t thumb) {
        return [&run, thumb](const screenshot &s) { return e2e_pixel(&run, s, 320, 240) == thumb; };
    };
    ASSERT_TRUE(pad_hold(&run, pad, {}, {{DPAD_Y, 32767}}, lit(MENU_PLAY)));
    ASSERT_TRUE(pad_hold(&run, pad, {0}, {}, shows(THUMB_A)));
    ASSERT_TRUE(pad_hold(&run, pad, {}, {{DPAD_X, -32767}}, shows(THUMB_B)));
    ASSERT_TRUE(pad_hold(&run, pad, {}, {{STICK_X, 32767}}, shows(THUMB_A)));
    ASSERT_TRUE(pad_hold(&run, pad, {1}, {},
                         [&](const screenshot &s) { return e2e_menu_highlight(&run, s) != -2; }));
    ASSERT_TRUE(pad_hold(&run, pad, {}, {{STICK_Y, 32767}}, lit(MENU_PLAY)));
    ASSERT_TRUE(pad_hold(&run, pad, {0}, {}, shows(THUMB_A)));
    // Allegro moves its one window to the game's mode: found again once the game shows.
    ASSERT_TRUE(pad_hold(&run, pad, {0}, {}, [&](const screenshot &s) {
        int floor = 0;
        for (int i = 0; i < s.width * s.height; i++)
            floor += s.pixel(i % s.width, i / s.width) == FLOOR;
        return floor > 2000;
    }));
    ASSERT_TRUE(e2e_wait_window(&run, 800, 600));

    // The HUD's bombs in hand, in red at a third of the screen's width.
    auto bombs_shown = [&](const screenshot &s) {
        return e2e_count(&run, s, RED, 264, 0, 340, 40);
    };
    int two_bombs = bombs_shown(e2e_shot(&run));
    bool bomb_laid = false;
    EXPECT_TRUE(pad_hold(
        &run, pad, {4}, {{STICK_X, 32767}},
        [&](const screenshot &s) {
            bomb_laid |= bombs_shown(s) != two_bombs;
            return e2e_match(&run, s, "graphics/fin_gagne.bmp", 144, 108) > 0.9;
        },
        15));
    EXPECT_TRUE(bomb_laid);
    ASSERT_TRUE(e2e_wait_menu(&run));
    pad_hold(
        &run, pad, {1}, {}, [](const screenshot &) { return false; }, 3);
    EXPECT_TRUE(e2e_wait_exit(&run, 5));
    EXPECT_EQ(run.status, 0);
}

} // namespace
