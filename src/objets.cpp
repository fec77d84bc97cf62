// Game objects: creation, removal, the ring and the registration in the map's grids.
#include "objets.h"

#include "maps.h"

#include <cstdlib>

// Where an object of this type is kept in the grids when it is created.
static void register_obj(map *m, obj *o) {
    if (!map_inside(m, o->x, o->y)) return;
    switch (o->type) {
    case OBJ_WALL:
    case OBJ_BLOCK:
    case OBJ_BONUS:
    case OBJ_DIAMOND:
        m->fixed_grid[o->y][o->x] = o;
        break;
    case OBJ_BOMB:
        m->fixed_grid[o->y][o->x] = o;
        m->cells[o->y][o->x] = CELL_BOMB;
        break;
    case OBJ_PLAYER:
    case OBJ_MONSTER:
        m->mover_grid[o->y][o->x] = o;
        m->cells[o->y][o->x] = CELL_EMPTY;
        break;
    default:
        break;
    }
}

static void unregister_obj(map *m, const obj *o) {
    if (!map_inside(m, o->x, o->y)) return;
    switch (o->type) {
    case OBJ_WALL:
    case OBJ_BLOCK:
    case OBJ_BONUS:
    case OBJ_BOMB:
    case OBJ_DIAMOND:
        m->fixed_grid[o->y][o->x] = nullptr;
        m->cells[o->y][o->x] = CELL_EMPTY;
        break;
    case OBJ_PLAYER:
    case OBJ_MONSTER:
    case OBJ_FLAME:
        m->mover_grid[o->y][o->x] = nullptr;
        break;
    default:
        break;
    }
}

obj *creer_obj(map *m, obj *where, uint32_t *count, int32_t x, int32_t y, int8_t off_x,
               int8_t off_y, int8_t type, int8_t param1, int8_t param2, uint8_t param3,
               int8_t timer, uint8_t anim_delay, BITMAP **sprites, uint8_t frame) {
    obj *o = (obj *)malloc(sizeof(obj));
    if (!o) return nullptr;
    o->x = x;
    o->y = y;
    o->off_x = off_x;
    o->off_y = off_y;
    o->type = type;
    o->param1 = param1;
    o->param2 = param2;
    o->param3 = param3;
    o->timer = timer;
    o->anim_delay = anim_delay;
    o->sprites = sprites;
    o->frame = frame;
    if (!where) {
        o->prev = o;
        o->next = o;
    } else {
        o->next = where;
        o->prev = where->prev;
        where->prev->next = o;
        where->prev = o;
    }
    (*count)++;
    register_obj(m, o);
    return o;
}

obj *make_wall(map *m, obj *where, uint32_t *count, int32_t x, int32_t y, BITMAP **sprites) {
    return creer_obj(m, where, count, x, y, 0, 0, OBJ_WALL, 0, 0, 0, -1, 0, sprites, 0);
}

obj *make_block(map *m, obj *where, uint32_t *count, int32_t x, int32_t y, BITMAP **sprites) {
    return creer_obj(m, where, count, x, y, 0, 0, OBJ_BLOCK, 0, 0, 0, -1, 0, sprites, 0);
}

obj *make_bonus(map *m, obj *where, uint32_t *count, int32_t x, int32_t y, int8_t kind,
                BITMAP **sprites) {
    return creer_obj(m, where, count, x, y, 0, 0, OBJ_BONUS, kind, 0, 0, -1, 0, sprites, 0);
}

obj *make_player(map *m, obj *where, uint32_t *count, int32_t x, int32_t y, BITMAP **sprites) {
    return creer_obj(m, where, count, x, y, 0, 0, OBJ_PLAYER, BONUS_NONE, PLAYER_ALIVE,
                     PLAYER_START_BOMBS, -1, 10, sprites, 0);
}

obj *make_monster(map *m, obj *where, uint32_t *count, int32_t x, int32_t y, BITMAP **sprites,
                  uint8_t frame) {
    return creer_obj(m, where, count, x, y, 0, 0, OBJ_MONSTER, 0, 0, 0, -1, 30, sprites, frame);
}

obj *make_diamond(map *m, obj *where, uint32_t *count, int32_t x, int32_t y, BITMAP **sprites,
                  uint8_t frame) {
    return creer_obj(m, where, count, x, y, 0, 0, OBJ_DIAMOND, 0, 0, 0, -1, 40, sprites, frame);
}

obj *make_bomb(map *m, obj *where, uint32_t *count, int32_t x, int32_t y, uint8_t range,
               int8_t fuse, BITMAP **sprites) {
    return creer_obj(m, where, count, x, y, 0, 0, OBJ_BOMB, 0, 1, range, fuse, 30, sprites, 0);
}

obj *make_flame(map *m, obj *where, uint32_t *count, int32_t x, int32_t y, int8_t direction,
                int8_t arms, uint8_t range, int8_t life, uint8_t anim_delay, BITMAP **sprites,
                uint8_t frame) {
    return creer_obj(m, where, count, x, y, direction, arms, OBJ_FLAME, 0, 0, range, life,
                     anim_delay, sprites, frame);
}

void suppr_obj(map *m, obj *o, uint32_t *count) {
    if (!o) return;
    unregister_obj(m, o);
    if (o->prev != o) {
        o->prev->next = o->next;
        o->next->prev = o->prev;
    }
    free(o);
    (*count)--;
}
