// One game: the frame loop with its ticks, the pause, and the end screen.
#pragma once

#include <cstdint>

struct config;

// How a call of jeu ended.
enum {
    JEU_PLAYED = 0,     // the game ran, whatever its end
    JEU_FAILED = 1,     // the set-up failed: the library has been shut down
    JEU_MAP_REFUSED = 2 // the map file could not be read: its message was shown, nothing else
};

// Plays one game on the map file; one of JEU_PLAYED, JEU_FAILED, JEU_MAP_REFUSED.
int32_t jeu(config *cfg, const char *map_name);
