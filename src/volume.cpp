// The mixer's volumes: the music follows the music volume alone, the effects the
// effects volume alone.
#include "volume.h"

#include "config.h"

#include <allegro.h>

void apply_volumes(const config *cfg) {
#ifdef _WIN32
    // The music goes to the system's MIDI device, outside the digital mixer: the two
    // volumes never meet.
    set_volume(cfg->effects_volume, cfg->music_volume);
#else
    // The music is Allegro's software synthesiser, whose voices go through the digital
    // mixer with the effects. Every effect already plays at the effects volume, so the
    // master stays fixed and the MIDI volume alone governs the music.
    set_volume(VOLUME_DIGITAL_MASTER, cfg->music_volume);
#endif
}
