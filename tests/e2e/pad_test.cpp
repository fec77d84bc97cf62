// The game played with a pad alone, through a pad that is not there: the fake_pad library
// gives the program a /dev/input/js0 whose events the test writes into a pipe.
#include "e2e.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/joystick.h>
#include <sys/stat.h>

namespace {

const uint32_t FLOOR = 0x0a3c14, THUMB_A = 0x13579b, THUMB_B = 0x9b5713, RED = 0xff0000;
// The fake pad's axes: the left stick's first, the d-pad's hat last.
enum { STICK_X = 0, STICK_Y = 1, DPAD_X = 6, DPAD_Y = 7 };

const auto button = [](int n) { return js_event{0, 1, JS_EVENT_BUTTON, (uint8_t)n}; };
const auto axis = [](int n, int v) { return js_event{0, (int16_t)v, JS_EVENT_AXIS, (uint8_t)n}; };

// Holds the buttons and axes down (the pad's events into the pipe `fd`) until `done` shows.
bool pad_hold(e2e_run *run, int fd, std::vector<js_event> controls,
              const std::function<bool(const screenshot &)> &done, double seconds = 5) {
    auto hold = [&](bool down) {
        for (js_event e : controls) {
            e.value = down ? e.value : 0;
            EXPECT_EQ(write(fd, &e, sizeof e), (ssize_t)sizeof e);
        }
    };
    return e2e_hold_with(run, hold, done, seconds);
}

// Menu, key binding screen (a button given twice refused; the keys kept), chooser, a game
// won and the way out, the keyboard untouched: the d-pad and the stick step, the first
// button chooses, the second quits the menu, the button bound to "bombe" lays bombs.
TEST(pad, alone_plays_the_whole_game) {
    config cfg = quiet_settings();
    e2e_run run;
    ASSERT_TRUE(e2e_prepare(&run, &cfg));
    std::vector<std::string> room = {std::string(20, '#'), "#P................D#",
                                     "#" + std::string(18, '.') + "#", std::string(20, '#')};
    e2e_only_maps(&run, {"a", "b"}, {room, room}, FLOOR, {THUMB_A, THUMB_B});
    std::string events = run.file("pad");
    ASSERT_EQ(mkfifo(events.c_str(), 0600), 0);
    int pad = open(events.c_str(), O_RDWR | O_NONBLOCK); // the test keeps the pipe open
    ASSERT_TRUE(e2e_launch(&run, {"LD_PRELOAD=" FAKE_PAD_LIBRARY, "FAKE_PAD_EVENTS=" + events}));
    ASSERT_TRUE(e2e_wait_menu(&run));
    ASSERT_TRUE(pad_hold(&run, pad, {axis(DPAD_Y, 32767)}, e2e_lit(&run, MENU_PLAY)));
    ASSERT_TRUE(pad_hold(&run, pad, {axis(STICK_Y, 30000)}, e2e_lit(&run, MENU_KEYS)));

    const uint32_t BLUE = 0x0000ff, YELLOW = 0xffff00;
    ASSERT_TRUE(pad_hold(&run, pad, {button(0)}, e2e_answer(&run, BLUE, true)));
    const int answers[] = {3, 3, 2, 8, 9, 4, 6, 7}; // the second 3 is refused, in red
    for (int i = 0; i < 8; i++) {
        uint32_t shown = i == 1 ? RED : YELLOW;
        ASSERT_TRUE(pad_hold(&run, pad, {button(answers[i])}, e2e_answer(&run, shown, true)));
        ASSERT_TRUE(e2e_wait(&run, e2e_answer(&run, shown, false))) << i;
    }
    ASSERT_TRUE(e2e_wait_menu(&run));
    EXPECT_EQ(read_file(run.file("save/manette.czc")),
              (std::vector<uint8_t>{1, 3, 2, 8, 9, 4, 6, 7}));
    EXPECT_EQ(e2e_settings_bytes(&run), record_bytes(cfg));

    auto shows = [&](uint32_t thumb) {
        return [&run, thumb](const screenshot &s) { return e2e_pixel(&run, s, 320, 240) == thumb; };
    };
    ASSERT_TRUE(pad_hold(&run, pad, {axis(DPAD_Y, 32767)}, e2e_lit(&run, MENU_PLAY)));
    ASSERT_TRUE(pad_hold(&run, pad, {button(0)}, shows(THUMB_A)));
    ASSERT_TRUE(pad_hold(&run, pad, {axis(DPAD_X, -32767)}, shows(THUMB_B)));
    ASSERT_TRUE(pad_hold(&run, pad, {axis(STICK_X, 32767)}, shows(THUMB_A)));
    // Allegro moves its one window to the game's mode: found again once the game shows.
    ASSERT_TRUE(pad_hold(&run, pad, {button(0)}, [&](const screenshot &s) {
        return e2e_wait_window(&run, 800, 600, 0.01) && e2e_count(&run, s, FLOOR) > 2000;
    }));

    // The HUD's bombs in hand, in red at a third of the screen's width.
    auto bombs = [&](const screenshot &s) { return e2e_count(&run, s, RED, 264, 0, 340, 40); };
    int two_bombs = bombs(e2e_shot(&run));
    bool bomb_laid = false;
    EXPECT_TRUE(pad_hold(
        &run, pad, {button(4), axis(STICK_X, 32767)},
        [&](const screenshot &s) {
            bomb_laid |= bombs(s) != two_bombs;
            return e2e_match(&run, s, "graphics/fin_gagne.bmp", 144, 108) > 0.9;
        },
        15));
    EXPECT_TRUE(bomb_laid);
    ASSERT_TRUE(e2e_wait_menu(&run));
    pad_hold(
        &run, pad, {button(1)}, [](const screenshot &) { return false; }, 3); // quits
    EXPECT_TRUE(e2e_wait_exit(&run, 5) && run.status == 0);
}

} // namespace
