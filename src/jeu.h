// One game: the frame loop with its ticks, the pause, and the end screen.
#pragma once

#include <cstdint>

struct config;
struct game_run;

// How a call of jeu ended.
enum {
    JEU_PLAYED = 0,     // the game ran, whatever its end
    JEU_FAILED = 1,     // the set-up failed: the library has been shut down
    JEU_MAP_REFUSED = 2 // the map file could not be read: its message was shown, nothing else
};

// Plays one game on the map file; one of JEU_PLAYED, JEU_FAILED, JEU_MAP_REFUSED.
int32_t jeu(config *cfg, const char *map_name);
// Plays a recorded run on the map file in the game's loop, with its seed and time limit,
// until it ends or the player stops it (Escape, the quit key); the same results. A replay
// never changes a record.
int32_t jeu_replay(config *cfg, const char *map_name, const game_run *run);
