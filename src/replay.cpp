// Runs: the keys a player held, tick by tick, kept small, and played again without a screen.
#include "replay.h"

#include "config.h"
#include "maps.h"

// The keys a run keeps, one bit each; the pause never reaches the rules.
enum { RUN_UP = 1, RUN_DOWN = 2, RUN_LEFT = 4, RUN_RIGHT = 8, RUN_BOMB = 16, RUN_QUIT = 32 };

static uint8_t keys_byte(const game_keys *k) {
    return (uint8_t)((k->up ? RUN_UP : 0) | (k->down ? RUN_DOWN : 0) | (k->left ? RUN_LEFT : 0) |
                     (k->right ? RUN_RIGHT : 0) | (k->bomb ? RUN_BOMB : 0) |
                     (k->quit ? RUN_QUIT : 0));
}

static game_keys keys_of(uint8_t b) {
    game_keys k{};
    k.up = b & RUN_UP;
    k.down = b & RUN_DOWN;
    k.left = b & RUN_LEFT;
    k.right = b & RUN_RIGHT;
    k.bomb = b & RUN_BOMB;
    k.quit = b & RUN_QUIT;
    return k;
}

void start_recording(run_recorder *r, game_run *run, uint32_t seed, int32_t time_limit) {
    run->seed = seed;
    run->time_limit = time_limit;
    run->steps.clear();
    // A game's first seconds change keys often: room for them at once.
    run->steps.reserve(1024);
    *r = run_recorder{run, 0, 0};
}

static void write_step(run_recorder *r) {
    if (r->count == 0) return;
    std::vector<uint8_t> &steps = r->run->steps;
    steps.push_back(r->keys);
    uint32_t n = r->count;
    for (; n >= 0x80; n >>= 7)
        steps.push_back((uint8_t)(n | 0x80));
    steps.push_back((uint8_t)n);
}

void record_tick(run_recorder *r, const game_keys *keys) {
    uint8_t b = keys_byte(keys);
    if (r->count > 0 && (b != r->keys || r->count == UINT32_MAX)) {
        write_step(r);
        r->count = 0;
    }
    r->keys = b;
    r->count++;
}

void finish_recording(run_recorder *r) {
    write_step(r);
    r->count = 0;
}

void start_reading(run_reader *r, const game_run *run) {
    *r = run_reader{run, 0, 0, 0};
}

// Reads the next step; false at the end of the steps or on a damaged one.
static bool read_step(run_reader *r) {
    const std::vector<uint8_t> &steps = r->run->steps;
    if (r->at >= steps.size()) return false;
    r->keys = steps[r->at++];
    uint32_t n = 0;
    for (int shift = 0; shift < 35; shift += 7) {
        if (r->at >= steps.size()) return false;
        uint8_t b = steps[r->at++];
        n |= (uint32_t)(b & 0x7f) << shift;
        if (!(b & 0x80)) {
            r->left = n;
            return n > 0;
        }
    }
    return false;
}

bool next_run_keys(run_reader *r, game_keys *keys) {
    if (r->left == 0 && !read_step(r)) {
        // Nothing more is read from a damaged run.
        r->at = r->run->steps.size();
        r->left = 0;
        return false;
    }
    r->left--;
    *keys = keys_of(r->keys);
    return true;
}

int play_run(const uint8_t *map_bytes, size_t length, unsigned block_frames, const game_run *run,
             uint32_t max_ticks, uint32_t *ticks) {
    *ticks = 0;
    map *m = load_map_from_memory(map_bytes, length);
    if (!m) return END_NONE;
    config cfg{};
    cfg.time_limit = run->time_limit;
    game g;
    init_game_state(&g, &cfg, m, block_frames, run->seed);
    int end = END_NONE;
    if (create_map_objects(&g) == 0) {
        run_reader reader;
        start_reading(&reader, run);
        game_keys keys;
        while (g.ticks < max_ticks && next_run_keys(&reader, &keys) && !advance_game(&g, &keys)) {
        }
        end = g.end_state;
        *ticks = g.ticks;
    }
    free_game_objects(&g);
    free_map(m);
    return end;
}
