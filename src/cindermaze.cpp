// Start-up of the library (normal and safe mode), graphics modes, the window's close box,
// and the final clean-up.
#include "cindermaze.h"

#include "config.h"
#include "manette.h"
#include "message.h"
#include "temps.h"

#include <allegro.h>
#include <atomic>
#include <cstdlib>
#include <ctime>

static const char *const FULL_SCREEN_REFUSED =
    "Le plein écran en %d x %d est refusé par le système.\n"
    "La partie se joue dans une fenêtre de même taille.";
static const char *const WINDOW_REFUSED = "Une fenêtre de %d x %d est refusée par le système.\n"
                                          "La partie se joue en plein écran.";
static const char *const SIZE_REFUSED =
    "Le mode graphique %d x %d est refusé par le système, en plein écran comme en fenêtre.\n"
    "La partie se joue en 800 x 600.";
static const char *const NO_GAME_MODE =
    "Aucun mode graphique ne convient à la partie : ni %d x %d (en plein écran ou en fenêtre), "
    "ni 800 x 600.\nChoisissez un autre mode dans les options.";

void forget_allegro_error() {
    allegro_error[0] = '\0';
}

// No display has a side longer than this; the X server stops a program that asks for a
// window of a size it cannot make, so such sizes never reach the driver.
static const int MODE_MAX_SIDE = 8192;

// A switch counts only when it leaves a graphics screen: the text mode "succeeds" with none.
static bool switch_to(int card, int w, int h) {
    if (w < 1 || h < 1 || w > MODE_MAX_SIDE || h > MODE_MAX_SIDE) return false;
    if (set_gfx_mode(card, w, h, 0, 0) != 0 || screen == NULL) return false;
    forget_allegro_error();
    return true;
}

bool set_mode_or_window(int card, int w, int h) {
    if (switch_to(card, w, h)) return true;
    return card != GFX_AUTODETECT_WINDOWED && switch_to(GFX_AUTODETECT_WINDOWED, w, h);
}

bool set_game_mode(config *cfg) {
    int w = cfg->screen_w, h = cfg->screen_h;
    if (switch_to(cfg->gfx_card, w, h)) return true;
    bool windowed = cfg->gfx_card == GFX_AUTODETECT_WINDOWED;
    int other = windowed ? GFX_AUTODETECT_FULLSCREEN : GFX_AUTODETECT_WINDOWED;
    if (switch_to(other, w, h)) {
        cfg->gfx_card = other;
        show_message(windowed ? WINDOW_REFUSED : FULL_SCREEN_REFUSED, w, h);
        return true;
    }
    if ((w != 800 || h != 600) && set_mode_or_window(GFX_AUTODETECT_FULLSCREEN, 800, 600)) {
        cfg->gfx_card = GFX_AUTODETECT_FULLSCREEN;
        cfg->screen_w = 800;
        cfg->screen_h = 600;
        show_message(SIZE_REFUSED, w, h);
        return true;
    }
    show_message(NO_GAME_MODE, w, h);
    return false;
}

// Set by the window's thread: nothing but the flag may be touched there.
static std::atomic<bool> close_clicked(false);

static void note_close_click() {
    close_clicked = true;
}

void watch_close_button() {
    set_close_button_callback(note_close_click);
}

bool close_button_clicked() {
    return close_clicked;
}

bool take_close_button() {
    return close_clicked.exchange(false);
}

// Without a display (or any system driver) nothing can be shown: say why and stop.
static void start_allegro() {
    if (allegro_init() != 0) {
        show_message("Erreur : impossible de lancer Allegro (aucun affichage ?) %s\n",
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
        show_message("%s", allegro_error);
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
    install_pad();
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
    install_pad();
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
