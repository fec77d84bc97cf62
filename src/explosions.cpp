// Explosions and deaths: bombs into flames, flames spreading, and what they burn and kill.
#include "rules.h"

#include "config.h"
#include "maps.h"
#include "objets.h"
#include "sons.h"

void explode_bomb(::map *m, const config *cfg, obj *bomb, obj *head, uint32_t *count,
                  BITMAP **flame_sprites[FLAME_PIC_COUNT], SAMPLE *samples[SAMPLE_COUNT]) {
    // The centre goes before the head so that the pass under way still reaches it.
    make_flame(m, head, count, bomb->x, bomb->y, FLAME_CENTRE, ARM_ALL, blast_range(bomb), 40, 5,
               flame_sprites[FLAME_PIC_CENTRE], 0);
    play_effect(cfg, samples ? samples[SAMPLE_EXPLOSION] : nullptr);
    suppr_obj(m, bomb, count);
    // The bomb goes back to the player's hand.
    bombs_in_hand(head)++;
}

void mort(::map *m, obj *victim, uint32_t *count) {
    if (!victim) return;
    if (victim->type == OBJ_PLAYER) {
        // Always -1: a second kill in the same pass must not bring the player back.
        player_life(victim) = PLAYER_DEAD;
        return;
    }
    suppr_obj(m, victim, count);
}

static void creer_explosion(::map *m, obj *source, int8_t direction, int8_t arm, int8_t dx,
                            int8_t dy, BITMAP **sprites, uint32_t *count) {
    int32_t x = source->x + dx;
    int32_t y = source->y + dy;
    obj *mover = map_mover(m, x, y);
    if (mover && obj_is_mover(mover)) mort(m, mover, count);
    // A wall stops the arm; so does the edge of a map that lacks its border.
    if (map_cell(m, x, y) == CELL_WALL) return;
    // Before the source: only the next pass reaches the new piece.
    make_flame(m, source, count, x, y, direction, arm, (uint8_t)(blast_range(source) - 1),
               (int8_t)(source->timer - 1), source->anim_delay, sprites, source->frame);
}

// What a flame does to the fixed thing of its cell.
static void burn_cell(::map *m, const obj *flame) {
    int8_t code = map_cell(m, flame->x, flame->y);
    if (code != CELL_BLOCK && code != CELL_BOMB) return;
    obj *thing = map_fixed(m, flame->x, flame->y);
    if (!thing) return;
    if (code == CELL_BOMB) {
        thing->timer = 0;
    } else if (thing->type == OBJ_BONUS) {
        // Uncovered at once, without the block's destruction steps.
        thing->frame = (uint8_t)bonus_kind(thing);
        m->cells[flame->y][flame->x] = CELL_BONUS;
        thing->timer = 5;
    } else if (thing->timer == -1) {
        thing->timer = 41;
    }
}

static void spread(::map *m, obj *flame, uint32_t *count, BITMAP **flame_sprites[FLAME_PIC_COUNT]) {
    if (flame->off_x == FLAME_UP || flame->off_x == FLAME_DOWN)
        flame->sprites = flame_sprites[FLAME_PIC_MIDDLE_V];
    else if (flame->off_x == FLAME_RIGHT || flame->off_x == FLAME_LEFT)
        flame->sprites = flame_sprites[FLAME_PIC_MIDDLE_H];
    if (flame->off_y & ARM_UP)
        creer_explosion(m, flame, FLAME_UP, ARM_UP, 0, -1, flame_sprites[FLAME_PIC_END_UP], count);
    if (flame->off_y & ARM_DOWN)
        creer_explosion(m, flame, FLAME_DOWN, ARM_DOWN, 0, 1, flame_sprites[FLAME_PIC_END_DOWN],
                        count);
    if (flame->off_y & ARM_LEFT)
        creer_explosion(m, flame, FLAME_LEFT, ARM_LEFT, -1, 0, flame_sprites[FLAME_PIC_END_LEFT],
                        count);
    if (flame->off_y & ARM_RIGHT)
        creer_explosion(m, flame, FLAME_RIGHT, ARM_RIGHT, 1, 0, flame_sprites[FLAME_PIC_END_RIGHT],
                        count);
    blast_range(flame) = 0;
}

void flame_step(::map *m, obj *flame, uint32_t *count, BITMAP **flame_sprites[FLAME_PIC_COUNT]) {
    burn_cell(m, flame);
    obj *mover = map_mover(m, flame->x, flame->y);
    if (mover && obj_is_mover(mover)) mort(m, mover, count);
    if (blast_range(flame) != 0) spread(m, flame, count, flame_sprites);
    flame->timer--;
}
