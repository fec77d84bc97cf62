// The gamepad: its state as the library reads it, the buttons bound to the seven game
// actions and their file, and the pad's part in the menus.
#include "manette.h"

#include "files.h"
#include "rules.h"
#include "save_folder.h"

#include <allegro.h>
#include <cstdlib>
#include <cstring>
#include <vector>

enum { ACTION_BOMB = 4, ACTION_QUIT = 5, ACTION_PAUSE = 6 };

void default_pad_bindings(pad_bindings *b) {
    memset(b->button, PAD_NO_BUTTON, sizeof b->button);
    b->button[ACTION_BOMB] = 0;
    b->button[ACTION_QUIT] = 6;
    b->button[ACTION_PAUSE] = 7;
}

static bool button_held(const pad_state *pad, int button) {
    return button < PAD_BUTTON_COUNT && (pad->buttons >> button & 1u);
}

static void add_pad_directions(const pad_state *pad, game_keys *keys) {
    keys->up |= pad->dpad_up || pad->stick_y < -PAD_DEAD_ZONE;
    keys->down |= pad->dpad_down || pad->stick_y > PAD_DEAD_ZONE;
    keys->left |= pad->dpad_left || pad->stick_x < -PAD_DEAD_ZONE;
    keys->right |= pad->dpad_right || pad->stick_x > PAD_DEAD_ZONE;
}

void add_pad_actions(const pad_state *pad, const pad_bindings *b, game_keys *keys) {
    add_pad_directions(pad, keys);
    bool *actions[KEY_ACTION_COUNT] = {&keys->up,   &keys->down, &keys->left, &keys->right,
                                       &keys->bomb, &keys->quit, &keys->pause};
    for (int action = 0; action < KEY_ACTION_COUNT; action++)
        *actions[action] |= button_held(pad, b->button[action]);
}

int first_button_held(const pad_state *pad) {
    for (int button = 0; button < PAD_BUTTON_COUNT; button++)
        if (button_held(pad, button)) return button;
    return -1;
}

bool parse_pad_bindings(const uint8_t *bytes, size_t length, pad_bindings *b) {
    default_pad_bindings(b);
    if (length != PAD_BINDINGS_SIZE || bytes[0] != PAD_BINDINGS_VERSION) return false;
    uint32_t seen = 0;
    for (int action = 0; action < KEY_ACTION_COUNT; action++) {
        uint8_t button = bytes[1 + action];
        if (button == PAD_NO_BUTTON) continue;
        if (button >= PAD_BUTTON_COUNT || (seen >> button & 1u)) return false;
        seen |= 1u << button;
    }
    memcpy(b->button, bytes + 1, KEY_ACTION_COUNT);
    return true;
}

void pad_bindings_bytes(const pad_bindings *b, uint8_t out[PAD_BINDINGS_SIZE]) {
    out[0] = PAD_BINDINGS_VERSION;
    memcpy(out + 1, b->button, KEY_ACTION_COUNT);
}

static pad_bindings bindings_in_use;

// What the pad showed when the game started: a stick off its centre then (the triggers of
// many pads rest at one end) is no direction for the run, and a button held then (a stuck
// one) counts only once it has been let go; otherwise either would hold the menus.
static bool stick_usable[MAX_JOYSTICK_STICKS];
static uint32_t buttons_ignored;

static bool centred(const JOYSTICK_STICK_INFO *stick) {
    for (int a = 0; a < stick->num_axis && a < 2; a++)
        if (abs(stick->axis[a].pos) > PAD_DEAD_ZONE) return false;
    return true;
}

static uint32_t buttons_down(const JOYSTICK_INFO *j) {
    uint32_t down = 0;
    for (int button = 0; button < j->num_buttons && button < PAD_BUTTON_COUNT; button++)
        if (j->button[button].b) down |= 1u << button;
    return down;
}

static void note_rest_state() {
    if (num_joysticks < 1) return;
    poll_joystick();
    const JOYSTICK_INFO *j = &joy[0];
    for (int s = 0; s < j->num_sticks && s < MAX_JOYSTICK_STICKS; s++)
        stick_usable[s] = centred(&j->stick[s]);
    buttons_ignored = buttons_down(j);
}

void install_pad() {
    // A machine without a pad is the common case: the drivers' refusals are no error, and
    // they stay in allegro_error even when the library then settles for no joystick.
    install_joystick(JOY_TYPE_AUTODETECT);
    allegro_error[0] = '\0';
    note_rest_state();
    std::vector<uint8_t> bytes;
    if (!read_file_bytes(save_file(PAD_BINDINGS_NAME).c_str(), &bytes)) bytes.clear();
    parse_pad_bindings(bytes.data(), bytes.size(), &bindings_in_use);
}

const pad_bindings *current_pad_bindings() {
    return &bindings_in_use;
}

bool save_pad_bindings(const pad_bindings *b) {
    uint8_t bytes[PAD_BINDINGS_SIZE];
    pad_bindings_bytes(b, bytes);
    if (!write_file_whole(save_file(PAD_BINDINGS_NAME).c_str(), bytes, sizeof bytes)) return false;
    bindings_in_use = *b;
    return true;
}

// The d-pad is a stick of its own after the others: the hat on Windows, on Linux the last
// pair of axes, which the kernel gives the hat. A pad of one stick moves by that alone.
static const JOYSTICK_STICK_INFO *dpad_stick(const JOYSTICK_INFO *j) {
    int last = j->num_sticks - 1;
    if (last < 1 || !stick_usable[last] || j->stick[last].num_axis != 2) return nullptr;
    return &j->stick[last];
}

void poll_pad() {
    if (num_joysticks > 0) poll_joystick();
}

void read_pad(pad_state *pad) {
    memset(pad, 0, sizeof *pad);
    if (num_joysticks < 1) return;
    const JOYSTICK_INFO *j = &joy[0];
    if (j->num_sticks > 0 && j->stick[0].num_axis >= 2 && stick_usable[0]) {
        pad->stick_x = j->stick[0].axis[0].pos;
        pad->stick_y = j->stick[0].axis[1].pos;
    }
    const JOYSTICK_STICK_INFO *dpad = dpad_stick(j);
    if (dpad) {
        pad->dpad_left = dpad->axis[0].d1, pad->dpad_right = dpad->axis[0].d2;
        pad->dpad_up = dpad->axis[1].d1, pad->dpad_down = dpad->axis[1].d2;
    }
    uint32_t down = buttons_down(j);
    buttons_ignored &= down;
    pad->buttons = down & ~buttons_ignored;
}

bool menu_key_held(int scancode) {
    if (scancode > 0 && scancode < KEY_MAX && key[scancode]) return true;
    pad_state pad;
    read_pad(&pad);
    game_keys held = {};
    add_pad_directions(&pad, &held);
    switch (scancode) {
    case KEY_UP:
        return held.up;
    case KEY_DOWN:
        return held.down;
    case KEY_LEFT:
        return held.left;
    case KEY_RIGHT:
        return held.right;
    case KEY_ENTER:
        return button_held(&pad, PAD_BUTTON_CHOOSE);
    case KEY_ESC:
        return button_held(&pad, PAD_BUTTON_BACK);
    default:
        return false;
    }
}
