// Start-up of the library (normal and safe mode), the final clean-up, and the
// fatal error sequence.
#include "cindermaze.h"

#include "config.h"
#include "temps.h"

#include <allegro.h>
#include <cstdlib>

void fatal_error(const char *text) {
    // The settings file may fail before the library is up: start it so the message can show.
    if (!system_driver)
        allegro_init();
    set_gfx_mode(GFX_TEXT, 0, 0, 0, 0);
    allegro_message("Erreur : %s\nAllegro_error : %s", text, allegro_error);
    allegro_exit();
}

void fatal_exit(const char *text) {
    fatal_error(text);
    exit(1);
}

void deinit() {
    if (keyboard_driver)
        clear_keybuf();
    deinit_timer();
}
