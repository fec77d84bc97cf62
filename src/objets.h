// Game objects: the obj record, the ring that links every object of a game, and
// their registration in the map's grids.
#pragma once

#include <cstdint>

struct BITMAP;
struct map;

// Type codes; bit 0 marks movers, bit 3 pictures that loop by themselves.
enum {
    OBJ_WALL = 0,
    OBJ_BLOCK = 2,
    OBJ_BONUS = 4,
    OBJ_PLAYER = 7,
    OBJ_BOMB = 8,
    OBJ_MONSTER = 11,
    OBJ_DIAMOND = 12,
    OBJ_FLAME = 14,
    OBJ_TYPE_COUNT = 15,
};

// Bonus kinds (a bonus's param1, the player's param1 once taken).
enum {
    BONUS_NONE = 0,
    BONUS_BOMB = 1,
    BONUS_FAST = 2,
    BONUS_SUPER_BOMB = 3,
    BONUS_TIME = 4,
    BONUS_REVERSE = 5,
    BONUS_SLOW = 6,
    BONUS_RANDOM_FUSE = 7,
    BONUS_KIND_COUNT = 7,
};

// A flame's direction (its off_x) and arm bits (its off_y).
enum { FLAME_CENTRE = 0, FLAME_UP = 1, FLAME_RIGHT = 2, FLAME_DOWN = 3, FLAME_LEFT = 4 };
enum { ARM_UP = 1, ARM_RIGHT = 2, ARM_DOWN = 4, ARM_LEFT = 8, ARM_ALL = 15 };

struct obj {
    int32_t x;          // column of the cell
    int32_t y;          // row of the cell
    int8_t off_x;       // mover: pixel offset; flame: direction
    int8_t off_y;       // mover: pixel offset; flame: arm bits still to spread
    int8_t type;
    int8_t param1;
    int8_t param2;
    uint8_t param3;
    int8_t timer;       // -1: no countdown
    uint8_t anim_delay;
    BITMAP **sprites;   // shared table, never owned
    uint8_t frame;
    obj *prev;
    obj *next;
};

inline bool obj_is_mover(const obj *o) { return (o->type & 1) != 0; }

// Allocates an object, links it just before `where` (a ring of one when null),
// counts it and registers it in the grids. Null when memory runs out.
obj *creer_obj(map *m, obj *where, uint32_t *count, int32_t x, int32_t y, int8_t off_x,
               int8_t off_y, int8_t type, int8_t param1, int8_t param2, uint8_t param3,
               int8_t timer, uint8_t anim_delay, BITMAP **sprites, uint8_t frame);
// Unregisters, unlinks and frees an object (nothing for null).
void suppr_obj(map *m, obj *o, uint32_t *count);
