// The map editor's entry: the player's settings, the library in the menus' 800 x 600
// mode, sound for the maps played from the editor, then the editor.
#include "cindermaze.h"
#include "config.h"
#include "editeur.h"
#include "message.h"

#include <allegro.h>
#include <cstdlib>

int main(int argc, char **argv) {
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
