// The program's entry: start-up, the main menu again and again, and the screens it leads to.
#include "cindermaze.h"
#include "config.h"
#include "jeu.h"
#include "menu.h"
#include "options.h"
#include "touches.h"

#include <allegro.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>

enum { CHOICE_PLAY = 0, CHOICE_KEYS = 1, CHOICE_OPTIONS = 2, CHOICE_QUIT = 3 };

// Switches only when the wanted mode differs from the one asked for last. A refused
// mode falls back to a window of the same size; without either there is no screen
// left to draw on, so the program stops with a message.
static void ensure_mode(int *current_card, int card, int w, int h) {
    if (*current_card != card || SCREEN_W != w || SCREEN_H != h) {
        if (!set_mode_or_window(card, w, h)) {
            char text[128];
            snprintf(text, sizeof text, "Impossible de passer dans le mode graphique %d x %d.", w,
                     h);
            fatal_exit(text);
        }
    }
    *current_card = card;
}

// The map chooser, then a game on the chosen map. False when the game could not be set up
// (the library is then shut down).
static bool play(config *cfg, bool safe_mode, int *current_card, BITMAP *menu_background) {
    draw_sprite(screen, menu_background, 0, 0);
    char *map_name = menu_map(cfg, menu_background);
    if (!map_name) return true;
    if (!safe_mode) {
        ensure_mode(current_card, cfg->gfx_card, cfg->screen_w, cfg->screen_h);
        if (is_windowed_mode()) set_window_title("[ Cindermaze ]");
    }
    int32_t failed = jeu(cfg, map_name);
    free(map_name);
    return failed == 0;
}

// Shows the main menu until the player quits; false when a game could not be set up.
static bool main_loop(config *cfg, bool safe_mode, BITMAP *menu_background) {
    int current_card = GFX_AUTODETECT_FULLSCREEN;
    int choice = -1;
    while (choice != CHOICE_QUIT) {
        if (!safe_mode) ensure_mode(&current_card, GFX_AUTODETECT_FULLSCREEN, 800, 600);
        set_volume(cfg->effects_volume, cfg->music_volume);
        draw_sprite(screen, menu_background, 0, 0);
        choice = menu(cfg);
        if (choice == CHOICE_PLAY) {
            if (!play(cfg, safe_mode, &current_card, menu_background)) return false;
        } else if (choice == CHOICE_KEYS) {
            config_touches(cfg, menu_background);
        } else if (choice == CHOICE_OPTIONS) {
            if (!safe_mode) ensure_mode(&current_card, GFX_AUTODETECT_FULLSCREEN, 640, 480);
            gui_config(cfg);
        }
    }
    return true;
}

// Sound on, or silence when no driver works. False when not even silence could be had.
static bool start_sound(config *cfg, const char *program) {
    if (install_sound(DIGI_AUTODETECT, MIDI_AUTODETECT, program) == 0) return true;
    cfg->effects_volume = 0;
    cfg->music_volume = 0;
    return install_sound(DIGI_NONE, MIDI_NONE, program) == 0;
}

int main(int argc, char **argv) {
    config *cfg = load_config();
    bool safe_mode = argc > 1 && strcmp(argv[1], "--safemode") == 0;
    if (safe_mode)
        safe_init(cfg);
    else
        menu_init();

    if (!start_sound(cfg, argv[0])) {
        fatal_error("Echec de l'installation du driver son, et de la tentative de désactivation "
                    "du son.");
        return 1;
    }
    BITMAP *menu_background = load_bitmap("graphics/fond.bmp", NULL);
    if (!menu_background) {
        fatal_error("Erreur de chargement de la bitmap graphics/fond.bmp : vérifiez son "
                    "existence.");
        return 1;
    }
    MIDI *menu_music = NULL;
    if (cfg->music_volume != 0) {
        menu_music = load_midi("sounds/MENU.mid");
        if (!menu_music) {
            fatal_error("Impossible de charger le fichier son 'musique de fond' : essayez de "
                        "désactiver le son.");
            return 1;
        }
        play_midi(menu_music, 0);
    }

    if (!main_loop(cfg, safe_mode, menu_background)) return 1;

    if (menu_music) {
        stop_midi();
        destroy_midi(menu_music);
    }
    deinit();
    // Kept for the whole run; given back so that a memory checker sees no leak at exit.
    destroy_bitmap(menu_background);
    free(cfg);
    return 0;
}
END_OF_MAIN()
