// The key binding screen: asks the seven game keys one by one and saves them.
#include "touches.h"

#include "bktype.h"
#include "cindermaze.h"
#include "config.h"

#include <allegro.h>
#include <cstring>

static const char ACTION_NAMES[KEY_ACTION_COUNT][20] = {"haut",  "bas",     "gauche", "droite",
                                                        "bombe", "quitter", "pause"};

// Keys still down (the Enter that opened this screen, an answer held on) are no answer:
// waits until every key is up, then forgets what their repeats typed. The lock keys are
// left out, as their state may stay on.
static void wait_keys_released() {
    for (;;) {
        poll_keyboard();
        bool held = false;
        for (int k = 1; k < KEY_MAX; k++)
            if (key[k] && k != KEY_CAPSLOCK && k != KEY_NUMLOCK && k != KEY_SCRLOCK) held = true;
        if (!held) break;
        rest(1);
    }
    clear_keybuf();
}

// The next key pressed, as readkey gives it; -1 when the window's close box is clicked first.
static int next_key() {
    while (!keypressed()) {
        if (take_close_button()) return -1;
        rest(1);
    }
    return readkey();
}

// Asks one action until a key not yet given in this pass is pressed; -1 when the player
// leaves by the window's close box.
static int ask_key(BITMAP *menu_background, FONT *font, const char *name, const int *earlier,
                   int earlier_count) {
    int code = 0;
    while (code == 0) {
        draw_sprite(screen, menu_background, 0, 0);
        textprintf_centre_ex(screen, font, SCREEN_W / 2, SCREEN_H / 2 - 2, makecol(0, 0, 255), -1,
                             "Appuyez sur la touche '%s'.", name);
        wait_keys_released();
        int pressed = next_key();
        if (pressed < 0) return -1;
        code = pressed >> 8;
        for (int j = 0; j < earlier_count; j++)
            if (earlier[j] == code) code = 0;
        int y = SCREEN_H / 2 + text_height(font) + 5;
        if (code != 0)
            textprintf_centre_ex(screen, font, SCREEN_W / 2, y, makecol(255, 255, 0), -1, "%s",
                                 scancode_to_name(code));
        else
            textprintf_centre_ex(screen, font, SCREEN_W / 2, y, makecol(255, 0, 0), -1,
                                 "TOUCHE DEJA UTILISEE !");
        // Each answer stays a second; keys typed meanwhile are thrown away.
        rest(1000);
        clear_keybuf();
    }
    return code;
}

void config_touches(config *cfg, BITMAP *menu_background) {
    char names[KEY_ACTION_COUNT][20];
    memcpy(names, ACTION_NAMES, sizeof names);
    FONT *font;
    DATAFILE *data = load_bktype_or_exit(&font);
    // A keyboard-only screen: the menu's pointer would leave marks on the questions.
    show_mouse(NULL);
    int new_keys[KEY_ACTION_COUNT] = {0};
    for (int i = 0; i < KEY_ACTION_COUNT; i++) {
        new_keys[i] = ask_key(menu_background, font, names[i], new_keys, i);
        if (new_keys[i] < 0) { // left by the close box: nothing saved
            unload_datafile(data);
            return;
        }
    }
    draw_sprite(screen, menu_background, 0, 0);
    make_config(cfg, cfg->gfx_card, cfg->display_method, cfg->vsync, cfg->music_volume,
                cfg->effects_volume, cfg->screen_w, cfg->screen_h, cfg->time_limit, new_keys[0],
                new_keys[1], new_keys[2], new_keys[3], new_keys[4], new_keys[5], new_keys[6]);
    textprintf_centre_ex(screen, font, SCREEN_W / 2, (SCREEN_H - text_height(font)) / 2,
                         makecol(0, 0, 255), -1, "Changements enregistres !");
    unload_datafile(data);
    rest(1000);
}
