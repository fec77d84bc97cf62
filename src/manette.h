// The gamepad: its state as the library reads it, the buttons bound to the seven game
// actions and their file, and the pad's part in the menus.
#pragma once

#include "config.h"

#include <cstddef>
#include <cstdint>

struct game_keys;

#define PAD_BINDINGS_NAME "manette.czc"
enum {
    PAD_BINDINGS_VERSION = 1,
    PAD_BINDINGS_SIZE = 1 + KEY_ACTION_COUNT, // the version, then one byte per action
    PAD_NO_BUTTON = 255,                      // an action no button is bound to
    PAD_BUTTON_COUNT = 32,                    // buttons the library reads on one pad
    PAD_DEAD_ZONE = 48,                       // stick positions (of -128..128) read as centred
    PAD_BUTTON_CHOOSE = 0,                    // the menus' Enter: the first button
    PAD_BUTTON_BACK = 1,                      // the menus' Escape: the second
};

// One pad at one moment: the left stick (-128..128, positive right and down), the d-pad,
// and the buttons held (bit n: button n).
struct pad_state {
    int stick_x, stick_y;
    bool dpad_up, dpad_down, dpad_left, dpad_right;
    uint32_t buttons;
};

// The button of each game action, in the order of the key binding screen's questions;
// PAD_NO_BUTTON where none.
struct pad_bindings {
    uint8_t button[KEY_ACTION_COUNT];
};

// By default the first button lays a bomb, "back" (the seventh) leaves the game and
// "start" (the eighth) pauses; the directions are the d-pad's and the stick's.
void default_pad_bindings(pad_bindings *b);
// Adds the pad's actions to the keys held: a direction held on the d-pad or pushed on the
// stick beyond the dead zone, an action whose bound button is held.
void add_pad_actions(const pad_state *pad, const pad_bindings *b, game_keys *keys);
// The lowest button held, or -1.
int first_button_held(const pad_state *pad);

// The bindings file's bytes; false (and the defaults in *b) when they are not a whole
// file of this version with buttons the pad can have, each bound once.
bool parse_pad_bindings(const uint8_t *bytes, size_t length, pad_bindings *b);
void pad_bindings_bytes(const pad_bindings *b, uint8_t out[PAD_BINDINGS_SIZE]);

// Installs the library's joystick support; without a pad, or one it cannot open, the game
// plays as without, silently. Loads the bindings from the save folder.
void install_pad();
// The bindings in use, and the binding screen's save of new ones (through the save
// folder's whole-file writer); false when the file could not be written.
const pad_bindings *current_pad_bindings();
bool save_pad_bindings(const pad_bindings *b);
// Takes the pad's news, as poll_keyboard does the keyboard's: once per pass of a screen,
// so that every test of the pass sees the same pad.
void poll_pad();
// The first pad's state as last polled (all released without a pad).
void read_pad(pad_state *pad);
// A menu key held on the keyboard or its pad equivalent: the arrows on the d-pad or the
// stick, Enter on the first button, Escape on the second.
bool menu_key_held(int scancode);
