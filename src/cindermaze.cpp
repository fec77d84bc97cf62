// Start-up of the library (normal and safe mode), the final clean-up, and fatal errors.
#include "cindermaze.h"

#include "config.h"
#include "temps.h"

#include <allegro.h>
#include <cstdlib>
#include <ctime>

void fatal_error(const char *text) {
    // The settings file may fail before the library is up: start it so the message can show.
    if (!system_driver) allegro_init();
    set_gfx_mode(GFX_TEXT, 0, 0, 0, 0);
    allegro_message("Erreur : %s\nAllegro_error : %s", text, allegro_error);
    allegro_exit();
}

void fatal_exit(const char *text) {
    fatal_error(text);
    exit(1);
}

// No display has a side longer than this; the X server stops a program that asks for a
// window of a size it cannot make, so such sizes never reach the driver.
static const int MODE_MAX_SIDE = 8192;

// A switch counts only when it leaves a graphics screen: the text mode "succeeds" with none.
static bool switch_to(int card, int w, int h) {
    return set_gfx_mode(card, w, h, 0, 0) == 0 && screen != NULL;
}

bool set_mode_or_window(int card, int w, int h) {
    if (w < 1 || h < 1 || w > MODE_MAX_SIDE || h > MODE_MAX_SIDE) return false;
    if (switch_to(card, w, h)) return true;
    if (card == GFX_AUTODETECT_WINDOWED) return false;
    return switch_to(GFX_AUTODETECT_WINDOWED, w, h);
}

// Without a display (or any system driver) nothing can be shown: say why and stop.
static void start_allegro() {
    if (allegro_init() != 0) {
        allegro_message("Erreur : impossible de lancer Allegro (aucun affichage ?) %s\n",
                        allegro_error);
        exit(-1);
    }
}

void menu_init() {
    start_allegro();
    set_uformat(U_ASCII);
    int depth = desktop_color_depth();
    set_color_depth(depth != 0 ? depth : 24);
    if (!set_mode_or_window(GFX_AUTODETECT_FULLSCREEN, 800, 600)) {
        allegro_message("%s", allegro_error);
        exit(-1);
    }
    install_timer();
    install_mouse();
    set_allegro_resource_path(100, "./");
    // The layout must be chosen before the keyboard driver starts. The two strings go to
    // an override that is never written back, so allegro.cfg beside the program (perhaps
    // in a read-only installation) is left as it is: the settings file is all we write.
    override_config_data("", 0);
    set_config_string("system", "keyboard", "fr");
    set_config_string("system", "language", "fr");
    install_keyboard();
    srand((unsigned)time(NULL));
    set_display_switch_mode(SWITCH_PAUSE);
}

void safe_init(config *cfg) {
    start_allegro();
    set_uformat(U_ASCII);
    set_color_depth(16);
    if (set_gfx_mode(GFX_AUTODETECT, 320, 200, 0, 0) != 0 &&
        set_gfx_mode(GFX_SAFE, 320, 200, 0, 0) != 0)
        fatal_exit("Impossible de mettre en place un mode graphique.");
    install_timer();
    install_keyboard();
    install_mouse();
    gfx_mode_select(&cfg->gfx_card, &cfg->screen_w, &cfg->screen_h);
    // The chosen mode serves every screen: without it there is nothing to draw on.
    if (!set_mode_or_window(cfg->gfx_card, cfg->screen_w, cfg->screen_h))
        fatal_exit("Impossible de mettre en place un mode graphique.");
    srand((unsigned)time(NULL));
}

void deinit() {
    if (keyboard_driver) clear_keybuf();
    deinit_timer();
}
