// End-to-end harness: the real program in a private run directory (links to the built
// data, a save/ of its own) on a private X server, with a recording xmessage first in
// PATH. Tests wait for what the program shows, with a timeout, never for a set time.
#pragma once

#include "config.h"
#include "test_util.h"
#include "xvfb.h"

#include <functional>
#include <string>
#include <vector>

extern double e2e_time_scale; // stretches time-outs and the time between screenshots (Valgrind)

struct screenshot {
    int width = 0, height = 0;
    std::vector<uint8_t> rgb;
    uint32_t pixel(int x, int y) const; // 0xRRGGBB, 0 outside
};

struct e2e_run {
    xvfb_server x;
    temp_dir dir;         // the run directory of this test
    std::string messages; // file the xmessage stand-in appends to
    pid_t pid = 0;
    bool exited = false;
    int status = -1;                    // exit status once exited (128 + signal when killed)
    int wx = 0, wy = 0, ww = 0, wh = 0; // the window the program draws in, on the X screen
    long wid = 0;
    ~e2e_run();
    std::string file(const std::string &name) const { return dir.file(name); }
};

// Settings for quick runs: no sound (no one-second pause after each choice), windowed.
config quiet_settings();
// Starts X and makes the run directory, with `cfg` as save/config.czc (none when null).
bool e2e_prepare(e2e_run *run, const config *cfg);
// Writes a file of the run directory in place of the shared one it links to.
void e2e_put(e2e_run *run, const std::string &name, const std::vector<uint8_t> &bytes);
// Only maps/<name>.czm from map text rows, with a tile strip of `frames` plain frames
// (floor `floor_rgb`, a grey wall, block steps) and a plain thumbnail of `thumb_rgb`.
void e2e_only_maps(e2e_run *run, const std::vector<std::string> &names,
                   const std::vector<std::vector<std::string>> &rows, uint32_t floor_rgb,
                   const std::vector<uint32_t> &thumb_rgb, int frames = 6);
// The settings file's bytes and a record's, the two bytes of padding as 0.
std::vector<uint8_t> e2e_settings_bytes(const e2e_run *run);
std::vector<uint8_t> record_bytes(const config &cfg);

// Starts the program (with extra environment entries "NAME=value"), or another program of
// the run directory (or at an absolute path) with its arguments.
bool e2e_launch(e2e_run *run, const std::vector<std::string> &env = {},
                const std::string &program = "cindermaze",
                const std::vector<std::string> &args = {});
bool e2e_running(e2e_run *run);
bool e2e_wait_exit(e2e_run *run, double seconds);
void e2e_kill(e2e_run *run);

screenshot e2e_shot(e2e_run *run);
// Screenshots until `seen` holds, for at most `seconds`; false at once when the program ends.
bool e2e_wait(e2e_run *run, const std::function<bool(const screenshot &)> &seen,
              double seconds = 10);
// Waits for the program's window of that size, the newest one; its place is then in
// run->wx, wy, its id in run->wid.
bool e2e_wait_window(e2e_run *run, int w, int h, double seconds = 15);
// The colour of (x, y) of the window.
uint32_t e2e_pixel(const e2e_run *run, const screenshot &s, int x, int y);
// The share of a picture of the run directory (mask aside, stretched to w x h when given)
// that the window shows at (x, y).
double e2e_match(e2e_run *run, const screenshot &s, const std::string &picture, int x, int y,
                 int w = 0, int h = 0);
// Pixels of this colour in a rectangle of the window (the whole window by default).
int e2e_count(const e2e_run *run, const screenshot &s, uint32_t rgb, int x0 = 0, int y0 = 0,
              int x1 = -1, int y1 = -1);

// Holds the key down until `done` shows (or the program ends), then lets it go.
bool e2e_hold(e2e_run *run, const std::string &keysym,
              const std::function<bool(const screenshot &)> &done, double seconds = 5);
// The same for any control: hold(true) presses it, hold(false) lets it go.
bool e2e_hold_with(e2e_run *run, const std::function<void(bool)> &hold,
                   const std::function<bool(const screenshot &)> &done, double seconds = 5);
// xdotool with these arguments on the run's display (typing, several keys at once).
void e2e_xdo(e2e_run *run, const std::string &args);
// Moves the pointer to (x, y) of the window, or clicks there.
void e2e_move(e2e_run *run, int x, int y);
void e2e_click(e2e_run *run);
// Moves the pointer to (x, y) until `done` shows, a pixel further on each time, as a hand
// would: Allegro counts a jump's mickeys before it moves the pointer's place, so a screen
// that looks in between may miss a single jump.
bool e2e_point(e2e_run *run, int x, int y, const std::function<bool(const screenshot &)> &done);
// Allegro drops pointer moves just after a change of mode: each click is tried again, a
// little further on, until its effect shows.
bool e2e_click_until(e2e_run *run, int x, int y,
                     const std::function<bool(const screenshot &)> &done);

// The menu: the highlighted button (-1 none), -2 when the menu is not on the screen.
enum { MENU_ANY = -3, MENU_PLAY = 0, MENU_KEYS = 1, MENU_OPTIONS = 2, MENU_QUIT = 3 };
extern const int MENU_BUTTON_X[4], MENU_BUTTON_Y[4];
int e2e_menu_highlight(e2e_run *run, const screenshot &s);
bool e2e_wait_menu(e2e_run *run, int highlighted = MENU_ANY, double seconds = 15);
// What e2e_wait waits for: the menu in its window (found again), that button lit (MENU_ANY:
// any or none); more than 30 pixels of that colour on the key binding screen's question and
// answer lines (shown) or none (not shown).
std::function<bool(const screenshot &)> e2e_lit(e2e_run *run, int button);
std::function<bool(const screenshot &)> e2e_answer(e2e_run *run, uint32_t rgb, bool shown);
// From the menu, highlights the button with the arrow keys and takes it with Enter.
bool e2e_menu_choose(e2e_run *run, int button);
// A click on the close box of the program's window, as a window manager passes it on.
void e2e_close_box(e2e_run *run);
// Escape held in the menu (or the editor) until the program ends, with status 0.
bool e2e_quit_from_menu(e2e_run *run);

// With "XMESSAGE_REAL=1" among a launch's entries the real message box shows after the
// stand-in has recorded its text. This answers it as a player does, with Return (the
// pointer over the box, which then has the keyboard) or a click on its button: true once
// the box has gone.
bool e2e_answer_box(e2e_run *run, bool click);

// The output of a shell command.
std::string capture_output(const std::string &command);
// The messages shown so far, oldest first, and the fatal error form of one.
std::vector<std::string> e2e_messages(const e2e_run *run);
bool is_fatal(const std::string &message, const std::string &text);
