// The rules of play, one tick and one seconds step at a time.
#pragma once

// Nothing here draws, reads an input device or touches a sound device directly: the keys
// held come in as a plain record and sounds go through play_effect (sons.h). A game is
// the same game for the same map, seed and keys held tick by tick.

#include "hasard.h"

#include <cstdint>

struct BITMAP;
struct SAMPLE;
struct config;
struct map;
struct obj;

// How a game ended.
enum { END_NONE = 0, END_QUIT = 1, END_WON = 2, END_DEAD = 3, END_TIME_UP = 4, END_TOO_BIG = 5 };

// The game's sound effects, in the order of the samples table.
enum {
    SAMPLE_DROP = 0,
    SAMPLE_BONUS = 1,
    SAMPLE_DIAMANT = 2,
    SAMPLE_EXPLOSION = 3,
    SAMPLE_FIN_GAGNE = 4,
    SAMPLE_FIN_PERD = 5,
    SAMPLE_COUNT = 6,
};

// The player's four walking tables.
enum { FACING_UP = 0, FACING_RIGHT = 1, FACING_DOWN = 2, FACING_LEFT = 3 };

// Entries of flame_sprites.
enum {
    FLAME_PIC_CENTRE = 0,
    FLAME_PIC_END_UP = 1,
    FLAME_PIC_END_RIGHT = 2,
    FLAME_PIC_END_DOWN = 3,
    FLAME_PIC_END_LEFT = 4,
    FLAME_PIC_MIDDLE_H = 5,
    FLAME_PIC_MIDDLE_V = 6,
    FLAME_PIC_COUNT = 7,
};

// The seven actions held during one tick, filled by the game loop from key[]. The rules
// never read `pause`: the game loop stops them while it is held and let go.
struct game_keys {
    bool up, down, left, right, bomb, quit, pause;
};

// Everything the rules of one game work on. Sprite tables may hold null entries
// (tests run without pictures); the rules only hand them to objects.
struct game {
    const config *cfg;
    ::map *map;
    obj *player;
    uint32_t object_count;
    uint32_t diamonds_left;
    uint8_t speed;
    uint8_t fuse_time;
    int8_t direction_sign;
    uint8_t frame_counts[15];
    uint8_t frame_delays[15];
    BITMAP **flame_sprites[FLAME_PIC_COUNT];
    SAMPLE *samples[SAMPLE_COUNT];
    int32_t time_left;
    uint8_t end_state;
    // The seed the game was set up from, the generator its draws come from, and the ticks
    // played: a game's length and winning time are read from `ticks`.
    uint32_t seed;
    game_rng rng;
    uint32_t ticks;
    // Tables handed to the objects created from the map and by the player.
    BITMAP **wall_sprites;
    BITMAP **block_sprites;
    BITMAP **bonus_sprites;
    BITMAP **player_sprites[4];
    BITMAP **bomb_sprites;
    BITMAP **super_bomb_sprites;
    BITMAP **diamond_sprites;
    BITMAP **monster_sprites;
};

// The start values of a game (speed 2, fuse 3, time_left from the time limit, ...),
// with the animation tables for `block_frames` block pictures and the generator seeded.
// Sprite tables and samples are left null.
void init_game_state(game *g, const config *cfg, ::map *m, unsigned block_frames, uint32_t seed);
// Turns the map's cells into objects, row by row; 0 on success, 1 when an object
// could not be created, the first cell made none, or no cell was a player start.
int32_t create_map_objects(game *g);
// Frees every object of the ring, the player included.
void free_game_objects(game *g);

// One pass of the rules over the ring.
void move_everyone(::map *m, const config *cfg, obj *head, uint32_t *count,
                   const uint8_t frame_counts[15], const uint8_t frame_delays[15],
                   BITMAP **flame_sprites[FLAME_PIC_COUNT], uint32_t *diamonds_left, uint8_t speed,
                   SAMPLE *samples[SAMPLE_COUNT]);
// Advances a game by one tick, the one way every game is played (the game loop, routes,
// benchmarks): the tick, then on every hundredth the seconds step. True when the game is
// over after it.
bool advance_game(game *g, const game_keys *keys);
// The tick alone, counted in `ticks`: keys, corner rule, walking animation, bomb laying,
// move_everyone, bonus effects and their end, end checks. True when the game is over.
bool game_tick(game *g, const game_keys *keys);
// The seconds step alone: the time left and every countdown in seconds.
void game_seconds_step(game *g);

// Explosions and deaths.
void explode_bomb(::map *m, const config *cfg, obj *bomb, obj *head, uint32_t *count,
                  BITMAP **flame_sprites[FLAME_PIC_COUNT], SAMPLE *samples[SAMPLE_COUNT]);
void flame_step(::map *m, obj *flame, uint32_t *count, BITMAP **flame_sprites[FLAME_PIC_COUNT]);
void mort(::map *m, obj *victim, uint32_t *count);
