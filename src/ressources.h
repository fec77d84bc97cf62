// Loading and releasing everything one game needs: font, pictures, sounds, map, objects, timers.
#pragma once

#include "hud.h"
#include "replay.h"
#include "rules.h"

struct BITMAP;
struct DATAFILE;
struct SAMPLE;
struct config;

// Every sprite table of one game, cut at set-up and released at tear-down.
struct game_tables {
    char *image_name;
    BITMAP *floor[1], *wall[1];
    BITMAP **blocks; // heap array of block_count frames
    unsigned block_count;
    BITMAP *bonus[8];
    BITMAP *player[4][4]; // by FACING_
    BITMAP *bomb[4], *super_bomb[4];
    BITMAP *diamond[3];
    BITMAP *monster[2];
    BITMAP *explo_dir[4][4]; // arm ends up, right, down, left
    BITMAP *explo_ctr[3][4]; // centre, vertical middle, horizontal middle
};

// Everything one call of jeu owns.
struct game_session {
    config *cfg;
    game g;
    play_screen ps;
    game_tables t;
    DATAFILE *datafile;
    SAMPLE *samples[SAMPLE_COUNT];
};

// Allocates a session in *session and sets up the game on the map file, music playing
// and timers running: JEU_PLAYED. JEU_MAP_REFUSED when the map file cannot be read (its
// message shown, nothing else done); JEU_FAILED when another part of the set-up failed:
// the library has then been shut down.
// A replay's game is dealt from its run's seed, every other from a new one.
int32_t open_game(config *cfg, const char *map_name, const game_run *replay,
                  game_session **session);
// Releases everything after the closing wait of the way the game ended, then the session.
void close_game(game_session *s);
