// The map editor's entry: the player's settings, the library in the menus' 800 x 600
// mode, sound for the maps played from the editor, then the editor.
#include "arguments.h"
#include "cindermaze.h"
#include "config.h"
#include "editeur.h"
#include "message.h"

#include <allegro.h>
#include <cstdlib>

static const usage_entry EDITOR_ARGUMENTS[] = {
    {"NOM", "ouvre la carte maps/NOM.czm ; sans NOM, une nouvelle carte"},
};
static const program_usage EDITOR_USAGE = {
    "cindermaze-edit",
    "L'éditeur de cartes de Cindermaze : dessinez vos labyrinthes, vérifiés pendant\n"
    "le dessin, et jouez-les aussitôt.",
    EDITOR_ARGUMENTS, sizeof EDITOR_ARGUMENTS / sizeof EDITOR_ARGUMENTS[0]};

int main(int argc, char **argv) {
    if (answer_help_or_version(argc, argv, &EDITOR_USAGE)) return 0;
    // Read, never written: the editor plays with the settings the game keeps.
    config *cfg = load_config();
    menu_init();
    if (install_sound(DIGI_AUTODETECT, MIDI_AUTODETECT, argv[0]) != 0) {
        // Silence for this run only.
        cfg->effects_volume = 0;
        cfg->music_volume = 0;
        if (install_sound(DIGI_NONE, MIDI_NONE, argv[0]) != 0) {
            fatal_error("Echec de l'installation du driver son, et de la tentative de "
                        "désactivation du son.");
            return 1;
        }
    }
    forget_allegro_error();
    int status = editeur(cfg, argc > 1 ? argv[1] : nullptr);
    if (status == 0) deinit();
    free(cfg);
    return status;
}
END_OF_MAIN()
