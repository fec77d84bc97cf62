// The program's entry: start-up, the main menu again and again, and the screens it leads to.
#include "arguments.h"
#include "cindermaze.h"
#include "config.h"
#include "jeu.h"
#include "menu.h"
#include "message.h"
#include "options.h"
#include "files.h"
#include "records.h"
#include "touches.h"
#include "volume.h"

#include <allegro.h>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

enum { CHOICE_PLAY = 0, CHOICE_KEYS = 1, CHOICE_OPTIONS = 2, CHOICE_QUIT = 3 };

// True when the wanted mode differs from the one asked for last.
static bool mode_differs(int current_card, int card, int w, int h) {
    return current_card != card || SCREEN_W != w || SCREEN_H != h;
}

// The menus' modes. A refused mode falls back to a window of the same size; without
// either there is no screen left to draw on, so the program stops with a message.
static void ensure_mode(int *current_card, int card, int w, int h) {
    if (mode_differs(*current_card, card, w, h)) {
        // A pointer shown across the switch would put the old screen's patch back later.
        show_mouse(NULL);
        if (!set_mode_or_window(card, w, h)) mode_refused_exit(w, h);
    }
    *current_card = card;
}

// The game's mode, or one of its fallbacks (which the record then holds); false when none
// could be set, the menus' mode then back.
static bool ensure_game_mode(int *current_card, config *cfg) {
    if (!mode_differs(*current_card, cfg->gfx_card, cfg->screen_w, cfg->screen_h)) return true;
    bool set = set_game_mode(cfg);
    *current_card = set ? cfg->gfx_card : -1;
    if (!set) ensure_mode(current_card, GFX_AUTODETECT_FULLSCREEN, 800, 600);
    return set;
}

// The map's record played back; a record that is no longer there plays nothing.
static int32_t watch_record(config *cfg, const char *map_name) {
    record_entry record;
    if (!find_record(map_name, &record)) return JEU_MAP_REFUSED;
    return jeu_replay(cfg, map_name, &record.run);
}

// The map chooser, then a game on the chosen map; a map that cannot be read, or a game
// without a mode, sends the player back to the chooser. False when the game could not be
// set up (the library is then shut down).
static bool play(config *cfg, bool safe_mode, int *current_card, BITMAP *menu_background) {
    for (;;) {
        // The chooser has the pointer, drawn over its background.
        show_mouse(NULL);
        draw_sprite(screen, menu_background, 0, 0);
        show_mouse(screen);
        bool watch = false;
        char *map_name = menu_map(cfg, menu_background, &watch);
        if (!map_name) return true;
        // The game has no pointer: one left shown would keep a patch of the game's picture
        // and put it back over the menu.
        show_mouse(NULL);
        if (!safe_mode) {
            if (!ensure_game_mode(current_card, cfg)) {
                free(map_name);
                continue;
            }
            if (is_windowed_mode()) set_window_title("[ Cindermaze ]");
        }
        int32_t result = watch ? watch_record(cfg, map_name) : jeu(cfg, map_name);
        free(map_name);
        if (result != JEU_MAP_REFUSED) return result == JEU_PLAYED;
        if (!safe_mode) ensure_mode(current_card, GFX_AUTODETECT_FULLSCREEN, 800, 600);
    }
}

// The volumes the player set, kept aside while the sound could not start: the record then
// holds zeros so that every screen plays silent, and the screens that save the record
// get these back, so a save never writes the forced zeros.
struct player_volumes {
    bool silent = false;
    int32_t music = 0, effects = 0;
};

// Silences the run: the record's volumes are kept aside and zeroed.
static void keep_volumes(config *cfg, player_volumes *kept) {
    if (!kept->silent) return;
    kept->music = cfg->music_volume;
    kept->effects = cfg->effects_volume;
    cfg->music_volume = 0;
    cfg->effects_volume = 0;
}

// Puts the player's volumes back into the record, for a screen that saves it.
static void lend_volumes(config *cfg, const player_volumes *kept) {
    if (!kept->silent) return;
    cfg->music_volume = kept->music;
    cfg->effects_volume = kept->effects;
}

// The menu music plays once, from the first showing of the menu with the music on: at
// start, or on coming back from the options that turned it on. False when it is missing
// (the library is then shut down).
static bool start_menu_music(const config *cfg, MIDI **menu_music) {
    if (*menu_music || cfg->music_volume == 0) return true;
    *menu_music = load_midi("sounds/MENU.mid");
    if (!*menu_music) {
        fatal_error("Impossible de charger le fichier son 'musique de fond' : essayez de "
                    "désactiver le son.");
        return false;
    }
    play_midi(*menu_music, 0);
    return true;
}

// Shows the main menu until the player quits; false when a game or the menu music could
// not be set up.
static bool main_loop(config *cfg, bool safe_mode, BITMAP *menu_background, MIDI **menu_music,
                      player_volumes *kept) {
    int current_card = GFX_AUTODETECT_FULLSCREEN;
    int choice = -1;
    while (choice != CHOICE_QUIT) {
        // The menu shows the pointer again once its picture is drawn.
        show_mouse(NULL);
        if (!safe_mode) ensure_mode(&current_card, GFX_AUTODETECT_FULLSCREEN, 800, 600);
        // Volumes changed in the options are heard from here on.
        apply_volumes(cfg);
        if (!start_menu_music(cfg, menu_music)) return false;
        draw_sprite(screen, menu_background, 0, 0);
        choice = menu(cfg);
        if (choice == CHOICE_PLAY) {
            if (!play(cfg, safe_mode, &current_card, menu_background)) return false;
            // The close box clicked in the chooser quits, as in the menu.
            if (close_button_clicked()) choice = CHOICE_QUIT;
        } else if (choice == CHOICE_KEYS) {
            lend_volumes(cfg, kept);
            config_touches(cfg, menu_background);
            keep_volumes(cfg, kept);
        } else if (choice == CHOICE_OPTIONS) {
            if (!safe_mode) ensure_mode(&current_card, GFX_AUTODETECT_FULLSCREEN, 640, 480);
            lend_volumes(cfg, kept);
            gui_config(cfg);
            keep_volumes(cfg, kept);
        }
    }
    return true;
}

// cindermaze --replay FILE: the first run of a records file, played on its map of maps/ with
// the player's settings. False after a message when the file or its map cannot serve.
static bool replay_file(config *cfg, const char *path) {
    std::vector<uint8_t> bytes;
    std::vector<record_entry> entries;
    if (!read_file_bytes(path, &bytes) || !parse_records(bytes.data(), bytes.size(), &entries) ||
        entries.empty()) {
        show_message("Le fichier %s ne contient aucune partie à rejouer.", path);
        return false;
    }
    const record_entry &played = entries[0];
    std::string map_file = "maps/" + played.map + ".czm";
    std::vector<uint8_t> map_bytes;
    if (!read_file_bytes(map_file.c_str(), &map_bytes) ||
        bytes_hash(map_bytes.data(), map_bytes.size()) != played.map_hash) {
        show_message("La carte %s de cette partie manque ou a changé depuis.", map_file.c_str());
        return false;
    }
    int current_card = GFX_AUTODETECT_FULLSCREEN;
    if (!ensure_game_mode(&current_card, cfg)) return false;
    return jeu_replay(cfg, map_file.c_str(), &played.run) == JEU_PLAYED;
}

// Sound on, or silence when no driver works. False when not even silence could be had.
static bool start_sound(config *cfg, const char *program, player_volumes *kept) {
    if (install_sound(DIGI_AUTODETECT, MIDI_AUTODETECT, program) == 0) return true;
    kept->silent = true;
    keep_volumes(cfg, kept);
    return install_sound(DIGI_NONE, MIDI_NONE, program) == 0;
}

// What --help says; an option the game learns is one more entry.
static const usage_entry GAME_OPTIONS[] = {
    {"--safemode", "démarre dans un petit mode 16 bits et laisse choisir le pilote\n"
                   "graphique et la résolution, si le démarrage normal échoue"},
    {"--replay FICHIER", "rejoue la partie gardée dans FICHIER (un fichier de records,\n"
                         "comme " GAME_RECORDS_FILE ", dont il rejoue le premier), puis quitte"},
};
static const program_usage GAME_USAGE = {
    "cindermaze",
    "Cindermaze, jeu d'action en labyrinthe : posez des bombes, cassez les blocs\n"
    "et ramassez tous les diamants avant la fin du temps.",
    GAME_OPTIONS, sizeof GAME_OPTIONS / sizeof GAME_OPTIONS[0]};

int main(int argc, char **argv) {
    // Answered before the settings file is read or made, and without a window.
    if (answer_help_or_version(argc, argv, &GAME_USAGE)) return 0;
    const char *replay = argc > 2 && strcmp(argv[1], "--replay") == 0 ? argv[2] : nullptr;
    if (argc > 1 && strcmp(argv[1], "--replay") == 0 && !replay) {
        fputs("cindermaze : --replay demande le fichier d'une partie\n", stderr);
        return 2;
    }
    config *cfg = load_config();
    bool safe_mode = argc > 1 && strcmp(argv[1], "--safemode") == 0;
    if (safe_mode)
        safe_init(cfg);
    else
        menu_init();

    watch_close_button();
    player_volumes kept;
    if (!start_sound(cfg, argv[0], &kept)) {
        fatal_error("Echec de l'installation du driver son, et de la tentative de désactivation "
                    "du son.");
        return 1;
    }
    // The drivers tried before the ones that work leave their refusals behind.
    forget_allegro_error();
    BITMAP *menu_background = load_bitmap("graphics/fond.bmp", NULL);
    if (!menu_background) {
        fatal_error("Erreur de chargement de la bitmap graphics/fond.bmp : vérifiez son "
                    "existence.");
        return 1;
    }
    MIDI *menu_music = NULL;
    if (replay) {
        bool played = replay_file(cfg, replay);
        deinit();
        destroy_bitmap(menu_background);
        free(cfg);
        return played ? 0 : 1;
    }
    if (!main_loop(cfg, safe_mode, menu_background, &menu_music, &kept)) return 1;

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
