// One game: the frame loop with its ticks, the pause, and the end screen.
#pragma once

#include <cstdint>

struct config;

// Plays one game on the map file; 0 when it ran (whatever the end), 1 when the set-up
// failed (the library has then been shut down).
int32_t jeu(config *cfg, const char *map_name);
