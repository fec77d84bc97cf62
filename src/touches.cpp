// The key binding screen: asks the seven game actions one by one, each answered by a key
// or a pad button, and saves them.
#include "touches.h"

#include "bktype.h"
#include "cindermaze.h"
#include "config.h"
#include "manette.h"
#include "message.h"

#include <allegro.h>
#include <cstring>

static const char ACTION_NAMES[KEY_ACTION_COUNT][20] = {"haut",  "bas",     "gauche", "droite",
                                                        "bombe", "quitter", "pause"};

// Keys and pad buttons still down (the Enter or button that opened this screen, an answer
// held on) are no answer: waits until every one is up, then forgets what the keys' repeats
// typed. The lock keys are left out, as their state may stay on.
static void wait_keys_released() {
    for (;;) {
        poll_keyboard();
        poll_pad();
        pad_state pad;
        read_pad(&pad);
        bool held = pad.buttons != 0;
        for (int k = 1; k < KEY_MAX; k++)
            if (key[k] && k != KEY_CAPSLOCK && k != KEY_NUMLOCK && k != KEY_SCRLOCK) held = true;
        if (!held) break;
        rest(1);
    }
    clear_keybuf();
}

enum { ANSWER_KEY, ANSWER_BUTTON, ANSWER_CLOSED };

// The next key or pad button pressed: its scancode or button number in *code; the window's
// close box clicked first gives ANSWER_CLOSED.
static int next_answer(int *code) {
    for (;;) {
        if (keypressed()) {
            *code = readkey() >> 8;
            return ANSWER_KEY;
        }
        pad_state pad;
        poll_pad();
        read_pad(&pad);
        if ((*code = first_button_held(&pad)) >= 0) return ANSWER_BUTTON;
        if (take_close_button()) return ANSWER_CLOSED;
        rest(1);
    }
}

// Asks action i until a key or a button not yet given in this pass is pressed, and notes
// it in new_keys or new_buttons; false when the player leaves by the window's close box.
static bool ask_action(BITMAP *menu_background, FONT *font, const char *name, int i, int *new_keys,
                       int *new_buttons) {
    for (;;) {
        draw_sprite(screen, menu_background, 0, 0);
        textprintf_centre_ex(screen, font, SCREEN_W / 2, SCREEN_H / 2 - 2, makecol(0, 0, 255), -1,
                             "Appuyez sur la touche '%s'.", name);
        wait_keys_released();
        int code;
        int kind = next_answer(&code);
        if (kind == ANSWER_CLOSED) return false;
        int *given = kind == ANSWER_KEY ? new_keys : new_buttons;
        bool taken = false;
        for (int j = 0; j < i; j++)
            taken |= given[j] == code;
        if (kind == ANSWER_KEY && code == 0) taken = true; // no key the library can name
        int y = SCREEN_H / 2 + text_height(font) + 5;
        if (taken)
            textprintf_centre_ex(screen, font, SCREEN_W / 2, y, makecol(255, 0, 0), -1,
                                 "TOUCHE DEJA UTILISEE !");
        else if (kind == ANSWER_KEY)
            textprintf_centre_ex(screen, font, SCREEN_W / 2, y, makecol(255, 255, 0), -1, "%s",
                                 scancode_to_name(code));
        else
            textprintf_centre_ex(screen, font, SCREEN_W / 2, y, makecol(255, 255, 0), -1,
                                 "Bouton %d", code + 1);
        // Each answer stays a second; keys typed meanwhile are thrown away.
        rest(1000);
        clear_keybuf();
        if (!taken) {
            given[i] = code;
            return true;
        }
    }
}

// Whether another action than `action` was given `code` in this pass.
static bool given_elsewhere(const int *given, int action, int code) {
    for (int j = 0; j < KEY_ACTION_COUNT; j++)
        if (j != action && given[j] == code) return true;
    return false;
}

void settle_bindings(const int32_t *old_keys, const pad_bindings *old_buttons, const int *new_keys,
                     const int *new_buttons, int32_t *keys, pad_bindings *buttons) {
    for (int i = 0; i < KEY_ACTION_COUNT; i++) {
        int old_button = old_buttons->button[i];
        int button = new_buttons[i] != NOT_GIVEN                   ? new_buttons[i]
                     : given_elsewhere(new_buttons, i, old_button) ? (int)PAD_NO_BUTTON
                                                                   : old_button;
        buttons->button[i] = (uint8_t)button;
        keys[i] = new_keys[i] != NOT_GIVEN                    ? new_keys[i]
                  : given_elsewhere(new_keys, i, old_keys[i]) ? NOT_GIVEN
                                                              : old_keys[i];
    }
    // An action answered by a button whose key another action took gets a key nobody kept.
    for (int i = 0; i < KEY_ACTION_COUNT; i++) {
        if (keys[i] != NOT_GIVEN) continue;
        keys[i] = old_keys[i];
        for (int k = 0; k < KEY_ACTION_COUNT; k++) {
            bool used = false;
            for (int j = 0; j < KEY_ACTION_COUNT; j++)
                used |= keys[j] == old_keys[k] && j != i;
            if (!used) {
                keys[i] = old_keys[k];
                break;
            }
        }
    }
}

void config_touches(config *cfg, BITMAP *menu_background) {
    char names[KEY_ACTION_COUNT][20];
    memcpy(names, ACTION_NAMES, sizeof names);
    FONT *font;
    DATAFILE *data = load_bktype_or_exit(&font);
    // A keyboard-only screen: the menu's pointer would leave marks on the questions.
    show_mouse(NULL);
    int new_keys[KEY_ACTION_COUNT], new_buttons[KEY_ACTION_COUNT];
    for (int i = 0; i < KEY_ACTION_COUNT; i++)
        new_keys[i] = new_buttons[i] = NOT_GIVEN;
    for (int i = 0; i < KEY_ACTION_COUNT; i++) {
        if (!ask_action(menu_background, font, names[i], i, new_keys, new_buttons)) {
            unload_datafile(data); // left by the close box: nothing saved
            return;
        }
    }
    draw_sprite(screen, menu_background, 0, 0);
    int32_t old_keys[KEY_ACTION_COUNT], keys[KEY_ACTION_COUNT];
    for (int i = 0; i < KEY_ACTION_COUNT; i++)
        old_keys[i] = *config_key_field(cfg, i);
    pad_bindings buttons;
    settle_bindings(old_keys, current_pad_bindings(), new_keys, new_buttons, keys, &buttons);
    make_config(cfg, cfg->gfx_card, cfg->display_method, cfg->vsync, cfg->music_volume,
                cfg->effects_volume, cfg->screen_w, cfg->screen_h, cfg->time_limit, keys[0],
                keys[1], keys[2], keys[3], keys[4], keys[5], keys[6]);
    if (!save_pad_bindings(&buttons)) fatal_exit("L'ecriture dans le fichier de config a echoue.");
    textprintf_centre_ex(screen, font, SCREEN_W / 2, (SCREEN_H - text_height(font)) / 2,
                         makecol(0, 0, 255), -1, "Changements enregistres !");
    unload_datafile(data);
    rest(1000);
}
