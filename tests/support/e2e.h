// End-to-end harness: the real program in a temporary copy of the run directory,
// on a private X server, with a recording xmessage first in PATH.
#pragma once

#include "test_util.h"
#include "xvfb.h"

#include <cstdint>
#include <string>
#include <vector>

struct screenshot {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;
    // 0xRRGGBB, or 0 outside the picture.
    uint32_t pixel(int x, int y) const;
    bool save_png(const std::string &path) const;
};

struct window_geometry {
    long id = 0;
    int x = 0, y = 0, width = 0, height = 0;
};

struct game_run {
    xvfb_server x;
    temp_dir dir;          // the working directory: a copy of build/run
    std::string messages;  // file the xmessage stand-in appends to
    pid_t pid = 0;
    bool exited = false;
    int status = -1;       // exit status once exited (128 + signal when killed)
    ~game_run();
};

// Starts the private X server and copies the run directory; false when X could not start.
bool e2e_prepare(game_run *run, int screen_w = 1280, int screen_h = 1024);
// Starts the program in the working directory with the given arguments and extra
// environment entries ("NAME=value").
bool e2e_launch(game_run *run, const std::vector<std::string> &args = {},
                const std::vector<std::string> &env = {});
// The same with another program (a test program instead of the game's own).
bool e2e_launch_program(game_run *run, const std::string &program,
                        const std::vector<std::string> &args = {},
                        const std::vector<std::string> &env = {});
// Waits for the program to end; false on time-out.
bool e2e_wait_exit(game_run *run, double seconds);
bool e2e_running(game_run *run);
void e2e_kill(game_run *run);

// xdotool on the run's display.
int e2e_xdotool(game_run *run, const std::string &args);
void e2e_key(game_run *run, const std::string &keysym);
void e2e_key_down(game_run *run, const std::string &keysym);
void e2e_key_up(game_run *run, const std::string &keysym);
void e2e_mouse_move(game_run *run, int x, int y);
void e2e_click(game_run *run, int button = 1);

// The window the program draws in (its absolute position on the X screen and its size),
// once it is there.
bool e2e_wait_window(game_run *run, window_geometry *geometry, double seconds);
// The same, once that window has the given size (after a change of graphics mode).
bool e2e_wait_window_size(game_run *run, int width, int height, window_geometry *geometry,
                          double seconds);
// The names of the visible windows (a windowed game's title among them).
std::vector<std::string> e2e_window_titles(game_run *run);
screenshot e2e_screenshot(game_run *run);
// The messages shown so far, oldest first.
std::vector<std::string> e2e_messages(game_run *run);
void sleep_seconds(double seconds);
