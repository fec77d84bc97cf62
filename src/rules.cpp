// The rules of play: start values and objects, the pass over the ring, the tick and the second.
#include "rules.h"

#include "config.h"
#include "maps.h"
#include "objets.h"
#include "sons.h"
#include "temps.h"

#include <allegro.h>

// ---------------------------------------------------------------------------
// Start of a game

void init_game_state(game *g, const config *cfg, ::map *m, unsigned block_frames, uint32_t seed) {
    *g = game{};
    g->cfg = cfg;
    g->map = m;
    g->seed = seed;
    rng_seed(&g->rng, seed);
    g->speed = 2;
    g->fuse_time = 3;
    g->direction_sign = 1;
    g->frame_counts[OBJ_BLOCK] = (uint8_t)block_frames;
    // The 40 ticks of a block's destruction spread over its steps after the intact one.
    g->frame_delays[OBJ_BLOCK] = (uint8_t)(block_frames < 2 ? 40 : 40 / (block_frames - 1));
    g->frame_counts[OBJ_BOMB] = 4;
    g->frame_delays[OBJ_BOMB] = 30;
    g->frame_counts[OBJ_MONSTER] = 2;
    g->frame_delays[OBJ_MONSTER] = 30;
    g->frame_counts[OBJ_DIAMOND] = 3;
    g->frame_delays[OBJ_DIAMOND] = 40;
    g->frame_counts[OBJ_FLAME] = 4;
    g->frame_delays[OBJ_FLAME] = 5;
    g->time_left = cfg ? cfg->time_limit : 0;
    g->end_state = END_NONE;
}

// A monster's first walk: towards the first free neighbour, right, left, below, above.
// A code 4 still means a hidden bonus here, so it does not count as free.
static void first_direction(const ::map *m, obj *monster) {
    static const int8_t steps[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
    for (const auto &step : steps) {
        int8_t code = map_cell(m, monster->x + step[0], monster->y + step[1]);
        if (cell_passable(code) && code != CELL_BONUS) {
            monster_step_x(monster) = step[0];
            monster_step_y(monster) = step[1];
            return;
        }
    }
}

// The object for one cell of the map file, inserted before the one made last.
static obj *object_for_cell(game *g, obj *last, int c, int r) {
    ::map *m = g->map;
    int8_t code = m->cells[r][c];
    switch (code) {
    case CELL_WALL:
        return make_wall(m, last, &g->object_count, c, r, g->wall_sprites);
    case CELL_BLOCK:
        return make_block(m, last, &g->object_count, c, r, g->block_sprites);
    case CELL_BONUS: {
        int8_t kind = (int8_t)(rng_below(&g->rng, BONUS_KIND_COUNT) + 1);
        return make_bonus(m, last, &g->object_count, c, r, kind, g->bonus_sprites);
    }
    case CELL_PLAYER: {
        obj *o = make_player(m, last, &g->object_count, c, r, g->player_sprites[FACING_DOWN]);
        if (o) g->player = o;
        return o;
    }
    case CELL_MONSTER: {
        uint8_t frame = (uint8_t)rng_below(&g->rng, 2);
        obj *o = make_monster(m, last, &g->object_count, c, r, g->monster_sprites, frame);
        if (o) first_direction(m, o);
        return o;
    }
    case CELL_DIAMOND: {
        uint8_t frame = (uint8_t)rng_below(&g->rng, 3);
        obj *o = make_diamond(m, last, &g->object_count, c, r, g->diamond_sprites, frame);
        if (o) g->diamonds_left++;
        return o;
    }
    default:
        return last;
    }
}

int32_t create_map_objects(game *g) {
    ::map *m = g->map;
    obj *last = nullptr;
    for (int r = 0; r < m->height; r++) {
        for (int c = 0; c < m->width; c++) {
            m->fixed_grid[r][c] = nullptr;
            m->mover_grid[r][c] = nullptr;
            last = object_for_cell(g, last, c, r);
            // A hidden bonus stays under its block.
            if (m->cells[r][c] == CELL_BONUS) m->cells[r][c] = CELL_BLOCK;
            // Null here: a creation failed, or the first cell made nothing.
            if (!last) return 1;
        }
    }
    // Without a player there is no head for the ring and nothing to play.
    return g->player ? 0 : 1;
}

void free_game_objects(game *g) {
    obj *head = g->player;
    if (!head) return;
    obj *o = head->next;
    while (o != head) {
        obj *next = o->next;
        suppr_obj(g->map, o, &g->object_count);
        o = next;
    }
    suppr_obj(g->map, head, &g->object_count);
    g->player = nullptr;
}

// ---------------------------------------------------------------------------
// One pass over the ring

// The cell a mover is heading for on one axis: the next one on the side of its offset,
// or its own cell when the offset is 0.
static int ahead(int cell, int8_t offset) {
    return offset > 0 ? cell + 1 : offset < 0 ? cell - 1 : cell;
}

// Takes a mover's offset `speed` pixels back towards 0, or to 0 when it is closer.
static int8_t back_off(int8_t offset, uint8_t speed) {
    int magnitude = offset < 0 ? -offset : offset;
    if (magnitude < speed) return 0;
    return (int8_t)(offset > 0 ? offset - speed : offset + speed);
}

// Crossing into the neighbouring cell on one axis; returns the step taken (-1, 0, +1).
static int cross(int32_t *cell, int8_t *offset, bool player, uint8_t speed) {
    if (*offset >= 16) {
        (*cell)++;
        *offset = (int8_t)(player ? speed - 16 : -15);
        return 1;
    }
    if (*offset <= -16) {
        (*cell)--;
        *offset = (int8_t)(player ? 16 - speed : 15);
        return -1;
    }
    return 0;
}

static void set_mover_slot(::map *m, int x, int y, obj *o) {
    if (map_inside(m, x, y)) m->mover_grid[y][x] = o;
}

// Two movers now registered in the same cell.
static void contact(::map *m, obj *o, obj *other, int step_x, int step_y, uint32_t *count) {
    if (other->type != o->type) {
        if (o->type == OBJ_PLAYER)
            player_life(o) = PLAYER_DEAD; // walked into a monster
        else if (other->type == OBJ_PLAYER)
            player_life(other) = PLAYER_DEAD; // a monster walked into the player
    } else if (o->type == OBJ_MONSTER) {
        mort(m, other, count);
    } else {
        // Two player starts on one map: the one moving goes back where it was.
        int ax = step_x < 0 ? -step_x : step_x;
        int ay = step_y < 0 ? -step_y : step_y;
        o->x -= step_x;
        o->off_x = (int8_t)(o->off_x * -ax);
        o->y -= step_y;
        o->off_y = (int8_t)(o->off_y * -ay);
    }
}

// The player stops at walls, blocks and bombs, and slides back to its cell's centre.
static void stop_at_obstacles(const ::map *m, obj *p, uint8_t speed) {
    if (!cell_passable(map_cell(m, ahead(p->x, p->off_x), p->y)))
        p->off_x = back_off(p->off_x, speed);
    if (!cell_passable(map_cell(m, p->x, ahead(p->y, p->off_y))))
        p->off_y = back_off(p->off_y, speed);
}

static void take_things(::map *m, const config *cfg, obj *p, uint32_t *count,
                        uint32_t *diamonds_left, SAMPLE *samples[SAMPLE_COUNT]) {
    if (map_cell(m, p->x, p->y) == CELL_BONUS) {
        obj *bonus = map_fixed(m, p->x, p->y);
        if (bonus) {
            player_bonus(p) = bonus_kind(bonus);
            p->timer = 15;
            suppr_obj(m, bonus, count);
            play_effect(cfg, samples ? samples[SAMPLE_BONUS] : nullptr);
        }
    }
    if (map_cell(m, p->x, p->y) == CELL_DIAMOND) {
        obj *diamond = map_fixed(m, p->x, p->y);
        if (diamond) {
            if (*diamonds_left > 0) (*diamonds_left)--;
            suppr_obj(m, diamond, count);
            play_effect(cfg, samples ? samples[SAMPLE_DIAMANT] : nullptr);
        }
    }
}

// A monster turns back one pixel into its way towards an obstacle; it never changes axis.
static void reverse_monster(const ::map *m, obj *monster) {
    if (!cell_passable(map_cell(m, ahead(monster->x, monster->off_x), monster->y)))
        monster_step_x(monster) = (int8_t)-monster_step_x(monster);
    if (!cell_passable(map_cell(m, monster->x, ahead(monster->y, monster->off_y))))
        monster_step_y(monster) = (int8_t)-monster_step_y(monster);
}

struct pass {
    ::map *m;
    const config *cfg;
    obj *head;
    uint32_t *count;
    const uint8_t *frame_counts;
    const uint8_t *frame_delays;
    BITMAP ***flame_sprites;
    uint32_t *diamonds_left;
    uint8_t speed;
    SAMPLE **samples;
};

static void push_monster(obj *o) {
    if (monster_step_x(o) != 0)
        o->off_x = (int8_t)(o->off_x + monster_step_x(o));
    else if (monster_step_y(o) != 0)
        o->off_y = (int8_t)(o->off_y + monster_step_y(o));
}

static void mover_step(const pass *p, obj *o) {
    if (o->off_x == 0 && o->off_y == 0) return;
    bool is_player = o->type == OBJ_PLAYER;
    set_mover_slot(p->m, o->x, o->y, nullptr);
    int step_x = cross(&o->x, &o->off_x, is_player, p->speed);
    int step_y = cross(&o->y, &o->off_y, is_player, p->speed);
    obj *other = map_mover(p->m, o->x, o->y);
    if (other && other != o) contact(p->m, o, other, step_x, step_y, p->count);
    set_mover_slot(p->m, o->x, o->y, o);
    if (is_player) {
        stop_at_obstacles(p->m, o, p->speed);
        take_things(p->m, p->cfg, o, p->count, p->diamonds_left, p->samples);
    } else if (o->type == OBJ_MONSTER) {
        reverse_monster(p->m, o);
    }
}

static void animate(const pass *p, obj *o) {
    if (o->type < 0 || o->type >= OBJ_TYPE_COUNT) return;
    if (o->type & 8) {
        o->anim_delay--;
        if (o->anim_delay == 0) {
            o->frame++;
            if (o->frame >= p->frame_counts[o->type]) o->frame = 0;
            o->anim_delay = p->frame_delays[o->type];
        }
    } else if (o->type == OBJ_BLOCK && o->timer != -1) {
        // A burning block shows its destruction steps and goes after the last one.
        if (o->anim_delay <= 1) {
            o->frame++;
            if (o->frame >= p->frame_counts[OBJ_BLOCK]) o->timer = 1;
            o->anim_delay = p->frame_delays[OBJ_BLOCK];
        }
        o->anim_delay--;
        o->timer--;
    }
}

// End of a countdown; returns the object the pass goes on with.
static obj *end_countdown(const pass *p, obj *o) {
    obj *next = o->next;
    if (o->timer != 0) return next;
    if (o->type == OBJ_BONUS || o->type == OBJ_BLOCK || o->type == OBJ_FLAME) {
        suppr_obj(p->m, o, p->count);
    } else if (o->type == OBJ_BOMB) {
        // The centre flame lands before the head: when the bomb was the last object of
        // the pass, the flame is its successor and is still processed in this pass.
        obj *before = o->prev;
        explode_bomb(p->m, p->cfg, o, p->head, p->count, p->flame_sprites, p->samples);
        if (next == p->head && p->head->prev != before) next = p->head->prev;
    }
    return next;
}

void move_everyone(::map *m, const config *cfg, obj *head, uint32_t *count,
                   const uint8_t frame_counts[15], const uint8_t frame_delays[15],
                   BITMAP **flame_sprites[FLAME_PIC_COUNT], uint32_t *diamonds_left, uint8_t speed,
                   SAMPLE *samples[SAMPLE_COUNT]) {
    if (!head) return;
    pass p = {m,     cfg,    head, count, frame_counts, frame_delays, flame_sprites, diamonds_left,
              speed, samples};
    obj *o = head;
    do {
        if (o->type == OBJ_MONSTER) push_monster(o);
        if (obj_is_mover(o)) mover_step(&p, o);
        animate(&p, o);
        if (o->type == OBJ_FLAME) flame_step(m, o, count, flame_sprites);
        o = end_countdown(&p, o);
    } while (o != head);
}

// ---------------------------------------------------------------------------
// One tick and the seconds step

static int sign(int v) {
    return v < 0 ? -1 : 1;
}

static void steer(game *g, const game_keys *keys) {
    obj *p = g->player;
    // 8-bit arithmetic: with the controls reversed the step is -speed.
    int8_t s = (int8_t)(uint8_t)(g->speed * g->direction_sign);
    if (keys->up) {
        p->off_y = (int8_t)(p->off_y - s);
        p->sprites = g->player_sprites[FACING_UP];
    }
    if (keys->down) {
        p->off_y = (int8_t)(p->off_y + s);
        p->sprites = g->player_sprites[FACING_DOWN];
    }
    if (keys->left) {
        p->off_x = (int8_t)(p->off_x - s);
        p->sprites = g->player_sprites[FACING_LEFT];
    }
    if (keys->right) {
        p->off_x = (int8_t)(p->off_x + s);
        p->sprites = g->player_sprites[FACING_RIGHT];
    }
}

// Walking diagonally past the corner of an obstacle: the vertical step is taken back
// unless the player is exactly one step out of its column.
static void corner_rule(game *g, const game_keys *keys) {
    obj *p = g->player;
    if (keys->up == keys->down || keys->left == keys->right) return;
    if (p->off_x == 0 || p->off_y == 0) return;
    int8_t diagonal = map_cell(g->map, p->x + sign(p->off_x), p->y + sign(p->off_y));
    int magnitude = p->off_x < 0 ? -p->off_x : p->off_x;
    if (!cell_passable(diagonal) && magnitude != g->speed)
        p->off_y = (int8_t)(p->off_y - sign(p->off_y) * g->speed);
}

static void walking_animation(game *g, const game_keys *keys) {
    obj *p = g->player;
    if (keys->up == keys->down && keys->left == keys->right) return;
    p->anim_delay--;
    if (p->anim_delay == 0) {
        p->frame++;
        if (p->frame > 3) p->frame = 0;
        p->anim_delay = 10;
    }
}

static void lay_bomb(game *g, const game_keys *keys) {
    obj *p = g->player;
    if (!keys->bomb || bombs_in_hand(p) == 0 || map_cell(g->map, p->x, p->y) != CELL_EMPTY) return;
    bool super = player_bonus(p) == BONUS_SUPER_BOMB;
    obj *bomb = make_bomb(g->map, p, &g->object_count, p->x, p->y, super ? 30 : 2,
                          (int8_t)g->fuse_time, super ? g->super_bomb_sprites : g->bomb_sprites);
    // A bomb that could not be made is simply absent; the player keeps it in hand.
    if (!bomb) return;
    bombs_in_hand(p)--;
    play_effect(g->cfg, g->samples[SAMPLE_DROP]);
}

static void bonus_effects(game *g) {
    obj *p = g->player;
    switch (player_bonus(p)) {
    case BONUS_BOMB:
        bombs_in_hand(p)++;
        player_bonus(p) = BONUS_NONE;
        p->timer = 0;
        break;
    case BONUS_FAST:
        g->speed = 4;
        player_bonus(p) = BONUS_NONE;
        break;
    case BONUS_TIME:
        g->time_left += 15;
        player_bonus(p) = BONUS_NONE;
        p->timer = 0;
        break;
    case BONUS_REVERSE:
        g->direction_sign = -1;
        player_bonus(p) = BONUS_NONE;
        break;
    case BONUS_SLOW:
        g->speed = 1;
        player_bonus(p) = BONUS_NONE;
        break;
    case BONUS_RANDOM_FUSE:
        g->fuse_time = (uint8_t)(rng_below(&g->rng, 10) + 1);
        player_bonus(p) = BONUS_NONE;
        break;
    default: // none, or BONUS_SUPER_BOMB which lasts as the running bonus itself
        break;
    }
    if (p->timer == 0) {
        g->speed = 2;
        g->fuse_time = 3;
        g->direction_sign = 1;
        player_bonus(p) = BONUS_NONE;
    }
}

// True when the game is over after this tick.
static bool end_checks(game *g, const game_keys *keys) {
    if (player_dead(g->player)) g->end_state = END_DEAD;
    // Taking the last diamond wins even when the player dies in the same tick.
    if (g->diamonds_left == 0) g->end_state = END_WON;
    if (keys->quit) g->end_state = END_QUIT;
    return g->end_state != END_NONE;
}

bool game_tick(game *g, const game_keys *keys) {
    g->ticks++;
    steer(g, keys);
    corner_rule(g, keys);
    walking_animation(g, keys);
    lay_bomb(g, keys);
    move_everyone(g->map, g->cfg, g->player, &g->object_count, g->frame_counts, g->frame_delays,
                  g->flame_sprites, &g->diamonds_left, g->speed, g->samples);
    bonus_effects(g);
    return end_checks(g, keys);
}

void game_seconds_step(game *g) {
    g->time_left--;
    if (g->time_left == 0) g->end_state = END_TIME_UP;
    // Fuses, the bonus effect and uncovered bonuses count seconds; flames and burning
    // blocks count ticks and are left alone.
    obj *head = g->player;
    if (!head) return;
    obj *o = head;
    do {
        if (o->timer != -1 && o->type != OBJ_FLAME && o->type != OBJ_BLOCK) o->timer--;
        o = o->next;
    } while (o != head);
}

// A second falls due on every hundredth tick, also on the tick that ends the game: the
// last diamond taken as the time runs out loses.
bool advance_game(game *g, const game_keys *keys) {
    game_tick(g, keys);
    if (g->ticks % TICKS_PER_SECOND == 0) game_seconds_step(g);
    return g->end_state != END_NONE;
}
