// Game objects: creation, removal, the ring and the registration in the map's grids.
#include "objets.h"

#include "maps.h"

#include <cstdlib>

// Where an object of this type is kept in the grids when it is created.
static void register_obj(map *m, obj *o) {
    if (!map_inside(m, o->x, o->y))
        return;
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
    if (!map_inside(m, o->x, o->y))
        return;
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
    if (!o)
        return nullptr;
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

void suppr_obj(map *m, obj *o, uint32_t *count) {
    if (!o)
        return;
    unregister_obj(m, o);
    if (o->prev != o) {
        o->prev->next = o->next;
        o->next->prev = o->prev;
    }
    free(o);
    (*count)--;
}
