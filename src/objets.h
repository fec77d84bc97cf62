// Game objects: the obj record, the ring of a game's objects, and their place in the grids.
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
    int32_t x;    // column of the cell
    int32_t y;    // row of the cell
    int8_t off_x; // mover: pixel offset; flame: direction
    int8_t off_y; // mover: pixel offset; flame: arm bits still to spread
    int8_t type;
    int8_t param1;
    int8_t param2;
    uint8_t param3;
    int8_t timer; // -1: no countdown
    uint8_t anim_delay;
    BITMAP **sprites; // shared table, never owned
    uint8_t frame;
    obj *prev;
    obj *next;
};

inline bool obj_is_mover(const obj *o) {
    return (o->type & 1) != 0;
}

// What param1 to param3 hold, by kind of object.
// Player: the bonus effect running (param1), alive or dead (param2), bombs in hand (param3).
enum { PLAYER_ALIVE = 1, PLAYER_DEAD = -1, PLAYER_START_BOMBS = 2 };
inline int8_t &player_bonus(obj *p) {
    return p->param1;
}
inline int8_t &player_life(obj *p) {
    return p->param2;
}
inline uint8_t &bombs_in_hand(obj *p) {
    return p->param3;
}
inline bool player_dead(const obj *p) {
    return p->param2 < 0;
}
// Monster: its step per tick along the row (param1) and the column (param2).
inline int8_t &monster_step_x(obj *m) {
    return m->param1;
}
inline int8_t &monster_step_y(obj *m) {
    return m->param2;
}
// Bonus: its kind, BONUS_ (param1).
inline int8_t &bonus_kind(obj *b) {
    return b->param1;
}
// Bomb and flame: the range left, in cells (param3; 0: a flame that spreads no more).
inline uint8_t &blast_range(obj *o) {
    return o->param3;
}

// Allocates an object, links it just before `where` (a ring of one when null),
// counts it and registers it in the grids. Null when memory runs out.
obj *creer_obj(map *m, obj *where, uint32_t *count, int32_t x, int32_t y, int8_t off_x,
               int8_t off_y, int8_t type, int8_t param1, int8_t param2, uint8_t param3,
               int8_t timer, uint8_t anim_delay, BITMAP **sprites, uint8_t frame);

// The kinds of objects the set-up and the rules create, each linked before `where` as
// creer_obj does. Null when memory runs out.
obj *make_wall(map *m, obj *where, uint32_t *count, int32_t x, int32_t y, BITMAP **sprites);
obj *make_block(map *m, obj *where, uint32_t *count, int32_t x, int32_t y, BITMAP **sprites);
// A bonus of the given kind, hidden under its block until a flame uncovers it.
obj *make_bonus(map *m, obj *where, uint32_t *count, int32_t x, int32_t y, int8_t kind,
                BITMAP **sprites);
// The player, alive, with its first bombs in hand.
obj *make_player(map *m, obj *where, uint32_t *count, int32_t x, int32_t y, BITMAP **sprites);
// A monster standing still, until its first direction is chosen.
obj *make_monster(map *m, obj *where, uint32_t *count, int32_t x, int32_t y, BITMAP **sprites,
                  uint8_t frame);
obj *make_diamond(map *m, obj *where, uint32_t *count, int32_t x, int32_t y, BITMAP **sprites,
                  uint8_t frame);
// A bomb with its flame range in cells and its fuse in seconds.
obj *make_bomb(map *m, obj *where, uint32_t *count, int32_t x, int32_t y, uint8_t range,
               int8_t fuse, BITMAP **sprites);
// A piece of flame: its direction (FLAME_), the arm bits it still spreads to, the range
// left, the ticks it lives, and its picture's delay and frame.
obj *make_flame(map *m, obj *where, uint32_t *count, int32_t x, int32_t y, int8_t direction,
                int8_t arms, uint8_t range, int8_t life, uint8_t anim_delay, BITMAP **sprites,
                uint8_t frame);
// Unregisters, unlinks and frees an object (nothing for null).
void suppr_obj(map *m, obj *o, uint32_t *count);
