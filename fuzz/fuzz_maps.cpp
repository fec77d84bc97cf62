// Any bytes as a map file, played: the map is read (or refused), its objects created
// as at the start of a game, and a few thousand ticks run with the keys held taken from
// the bytes after the map, a seconds step every hundred ticks. After every tick the
// ring, the grids and the pictures the objects would show must still make sense.
#include "config.h"
#include "fuzz_check.h"
#include "maps.h"
#include "objets.h"
#include "rules.h"

#include <cstdint>
#include <cstdlib>
#include <algorithm>
#include <vector>

// The grids are searched for objects that are gone only every GRID_CHECK_TICKS ticks: a
// dangling pointer used in between is AddressSanitizer's to catch.
enum { FUZZ_TICKS = 3000, GRID_CHECK_TICKS = 25 };

// The bytes after the map, one per stretch of ticks: bits 0 to 4 the keys up, down,
// left, right and bomb held; bits 5 to 7 how long they are held (1 to 29 ticks).
struct key_stream {
    const uint8_t *bytes;
    size_t size;
    size_t at;
    int ticks_left;
    game_keys keys;
};

static void next_keys(key_stream *s) {
    if (s->ticks_left > 0) {
        s->ticks_left--;
        return;
    }
    s->keys = game_keys{};
    if (s->size == 0) {
        s->ticks_left = FUZZ_TICKS;
        return;
    }
    uint8_t b = s->bytes[s->at];
    s->at = (s->at + 1) % s->size;
    s->keys.up = b & 1;
    s->keys.down = b & 2;
    s->keys.left = b & 4;
    s->keys.right = b & 8;
    s->keys.bomb = b & 16;
    s->ticks_left = (b >> 5) * 4;
}

// How many pictures the table of an object of this type holds.
static unsigned frames_of(int type, unsigned block_frames) {
    switch (type) {
    case OBJ_WALL:
        return 1;
    case OBJ_BLOCK:
        return block_frames;
    case OBJ_BONUS:
        return 8;
    case OBJ_PLAYER:
        return 4;
    case OBJ_BOMB:
        return 4;
    case OBJ_MONSTER:
        return 2;
    case OBJ_DIAMOND:
        return 3;
    case OBJ_FLAME:
        return 4;
    default:
        return 0;
    }
}

static void check_world(const game *g, unsigned block_frames, bool grids) {
    const map *m = g->map;
    std::vector<const obj *> alive;
    uint32_t seen = 0, diamonds = 0;
    const obj *o = g->player;
    FUZZ_CHECK(o != nullptr && o->type == OBJ_PLAYER);
    do {
        FUZZ_CHECK(++seen <= g->object_count);
        FUZZ_CHECK(o->next->prev == o && o->prev->next == o);
        if (grids) alive.push_back(o);
        FUZZ_CHECK(map_inside(m, o->x, o->y));
        // draw_playscreen shows sprites[frame]: it must be a picture of the table.
        FUZZ_CHECK(o->frame < frames_of(o->type, block_frames));
        if (o->type == OBJ_WALL || o->type == OBJ_BLOCK || o->type == OBJ_BONUS ||
            o->type == OBJ_DIAMOND || o->type == OBJ_BOMB)
            FUZZ_CHECK(m->fixed_grid[o->y][o->x] == o);
        if (obj_is_mover(o)) {
            FUZZ_CHECK(o->off_x >= -15 && o->off_x <= 15);
            FUZZ_CHECK(o->off_y >= -15 && o->off_y <= 15);
        }
        if (o->type == OBJ_DIAMOND) diamonds++;
        o = o->next;
    } while (o != g->player);
    FUZZ_CHECK(seen == g->object_count);
    FUZZ_CHECK(diamonds == g->diamonds_left);
    if (!grids) return;
    // No grid may keep an object that is gone.
    std::sort(alive.begin(), alive.end());
    auto is_alive = [&](const obj *p) { return std::binary_search(alive.begin(), alive.end(), p); };
    for (int r = 0; r < m->height; r++)
        for (int c = 0; c < m->width; c++) {
            FUZZ_CHECK(!m->fixed_grid[r][c] || is_alive(m->fixed_grid[r][c]));
            FUZZ_CHECK(!m->mover_grid[r][c] || is_alive(m->mover_grid[r][c]));
        }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    map *m = load_map_from_memory(data, size);
    if (!m) return 0;
    size_t map_size = 2 + (size_t)m->height * m->width;
    key_stream keys = {data + map_size, size - map_size, 0, 0, {}};
    // The map image's width decides the block pictures: two to nine here.
    unsigned block_frames = 2 + (keys.size ? keys.bytes[0] % 8 : 0);

    config cfg;
    default_config(&cfg);
    game g;
    init_game_state(&g, &cfg, m, block_frames, 1);
    if (create_map_objects(&g) == 0) {
        check_world(&g, block_frames, true);
        for (int tick = 1; tick <= FUZZ_TICKS; tick++) {
            next_keys(&keys);
            advance_game(&g, &keys.keys);
            check_world(&g, block_frames, tick % GRID_CHECK_TICKS == 0 || tick == FUZZ_TICKS);
        }
    }
    free_game_objects(&g);
    FUZZ_CHECK(g.object_count == 0);
    free_map(m);
    return 0;
}
