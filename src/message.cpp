// Message boxes the player can answer in any mode, and the fatal error sequence.
#include "message.h"

#include "cindermaze.h"

#include <allegro.h>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#ifdef _WIN32
#include <winalleg.h>
#endif

// Allegro's own limit for a message.
static const int MESSAGE_SIZE = 4096;

#ifdef _WIN32
// Allegro's own box belongs to the game's window, hidden while the box shows: Windows may
// then leave the box behind without the keyboard, so that Return does not reach it. This
// one comes to the front and takes the keys. The texts are Windows-1252.
static void message_box(const char *text) {
    wchar_t wide[MESSAGE_SIZE];
    if (!MultiByteToWideChar(1252, 0, text, -1, wide, MESSAGE_SIZE)) wide[0] = 0;
    MessageBoxW(win_get_window(), wide, L"Cindermaze", MB_OK | MB_SETFOREGROUND | MB_TOPMOST);
}
#else
static void message_box(const char *text) {
    allegro_message("%s", text);
}
#endif

// A click that brought the box (on the chooser's preview, say) must end on the game's
// window: released once that window has gone, it would stay held there ever after and the
// menus, which wait for every button to be up, would never answer again.
static void wait_buttons_released() {
    for (int waited = 0; mouse_driver && waited < 1000; waited += 10) {
        // Polling once would leave the mouse polled for good: the pointer would then stand
        // still on every screen that does not poll it.
        if (mouse_needs_poll()) poll_mouse();
        if (!mouse_b) return;
        rest(10);
    }
}

bool show_message(const char *format, ...) {
    char text[MESSAGE_SIZE];
    va_list values;
    va_start(values, format);
    vsnprintf(text, sizeof text, format, values);
    va_end(values);
    if (!gfx_driver || is_windowed_mode()) {
        message_box(text);
        return false;
    }
    // The driver itself (not the autodetection that found it) gives the same mode back.
    int card = gfx_driver->id, w = SCREEN_W, h = SCREEN_H;
    wait_buttons_released();
    set_gfx_mode(GFX_TEXT, 0, 0, 0, 0);
    message_box(text);
    if (!set_mode_or_window(card, w, h)) mode_refused_exit(w, h);
    return true;
}

void fatal_error(const char *text) {
    // The settings file may fail before the library is up: start it so the message can show.
    if (!system_driver) allegro_init();
    set_gfx_mode(GFX_TEXT, 0, 0, 0, 0);
    show_message("Erreur : %s\nAllegro_error : %s", text, allegro_error);
    allegro_exit();
}

void fatal_exit(const char *text) {
    fatal_error(text);
    exit(1);
}

void mode_refused_exit(int w, int h) {
    char text[128];
    snprintf(text, sizeof text, "Impossible de passer dans le mode graphique %d x %d.", w, h);
    fatal_exit(text);
}
