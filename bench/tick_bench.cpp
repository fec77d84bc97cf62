// Cost of one tick of the rules (keys, bomb laying, the pass over the ring, bonus effects,
// end checks): on a 32 x 24 map in heavy play, and on a 255 x 255 map packed with blocks,
// monsters and diamonds; and the check of a record's run of 90 seconds.
#include "config.h"
#include "maps.h"
#include "objets.h"
#include "records.h"
#include "rules.h"
#include "temps.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <vector>

namespace {

// Border walls, pillars every other cell, then blocks, hidden bonuses, monsters and
// diamonds drawn at random in the given shares (percent) of the other cells.
std::vector<uint8_t> random_map(int w, int h, int blocks, int bonuses, int monsters, int diamonds) {
    std::vector<uint8_t> bytes = {(uint8_t)h, (uint8_t)w};
    for (int r = 0; r < h; r++)
        for (int c = 0; c < w; c++) {
            uint8_t code = 0xff;
            int roll = rand() % 100;
            if (r == 0 || c == 0 || r == h - 1 || c == w - 1 || (r % 2 == 0 && c % 2 == 0))
                code = CELL_WALL;
            else if (r == 1 && c == 1)
                code = CELL_PLAYER;
            else if (r <= 2 && c <= 2)
                code = 0xff; // room for the player to stand
            else if (roll < blocks)
                code = CELL_BLOCK;
            else if ((roll -= blocks) < bonuses)
                code = CELL_BONUS;
            else if ((roll -= bonuses) < monsters)
                code = CELL_MONSTER;
            else if ((roll -= monsters) < diamonds)
                code = CELL_DIAMOND;
            bytes.push_back(code);
        }
    return bytes;
}

struct bench_game {
    config cfg{};
    game g{};
    explicit bench_game(const std::vector<uint8_t> &bytes) {
        cfg.time_limit = 300;
        init_game_state(&g, &cfg, load_map_from_memory(bytes.data(), bytes.size()), 5, 1);
        if (!g.map || create_map_objects(&g) != 0) abort();
    }
    ~bench_game() {
        free_game_objects(&g);
        free_map(g.map);
    }
    bench_game(const bench_game &) = delete;
    bench_game &operator=(const bench_game &) = delete;
};

// A bomb about to go off, as laid under the super bomb bonus, on a free cell drawn at random.
void super_bomb(game *g) {
    for (int tries = 0; tries < 1000; tries++) {
        int x = 1 + rand() % (g->map->width - 2);
        int y = 1 + rand() % (g->map->height - 2);
        if (g->map->cells[y][x] != CELL_EMPTY || g->map->mover_grid[y][x]) continue;
        creer_obj(g->map, g->player, &g->object_count, x, y, 0, 0, OBJ_BOMB, 0, 1, 30,
                  (int8_t)(rand() % 3), 30, g->super_bomb_sprites, 0);
        return;
    }
}

// Keys of a player walking about and laying bombs.
game_keys walking_keys(int tick) {
    game_keys k{};
    switch ((tick / 40) % 4) {
    case 0:
        k.right = true;
        break;
    case 1:
        k.down = true;
        break;
    case 2:
        k.left = true;
        break;
    default:
        k.up = true;
        break;
    }
    k.bomb = tick % 25 == 0;
    return k;
}

// One tick as the game loop runs it, with the seconds step every 100 ticks. The player is
// kept alive and its bombs in hand so that play goes on.
void play_tick(bench_game *b, int tick) {
    game_keys keys = walking_keys(tick);
    advance_game(&b->g, &keys);
    b->g.end_state = END_NONE;
    b->g.player->param2 = 1;
    b->g.player->param3 = 2;
}

int count_type(const game *g, int type) {
    int n = 0;
    const obj *o = g->player;
    do {
        n += o->type == type;
        o = o->next;
    } while (o != g->player);
    return n;
}

// (a) A 32 x 24 map in heavy play: a dozen super bombs at the start and one more every 10
// ticks going off in chains, some fifty monsters walking, the player walking and laying
// bombs. Each round plays 200 ticks from a fresh game; the set-up is not timed.
const int HEAVY_TICKS = 200;

bench_game *heavy_start() {
    srand(17);
    auto *b = new bench_game(random_map(32, 24, 30, 8, 10, 8));
    for (int k = 0; k < 12; k++)
        super_bomb(&b->g);
    return b;
}

void heavy_tick(bench_game *b, int t) {
    play_tick(b, t);
    if (t % 10 == 9) super_bomb(&b->g);
}

void BM_tick_heavy_play_32x24(benchmark::State &state) {
    int64_t ticks = 0;
    for (auto _ : state) {
        state.PauseTiming();
        bench_game *b = heavy_start();
        state.ResumeTiming();
        for (int t = 0; t < HEAVY_TICKS; t++)
            heavy_tick(b, t);
        ticks += HEAVY_TICKS;
        state.PauseTiming();
        delete b;
        state.ResumeTiming();
    }
    state.counters["per_tick"] = benchmark::Counter((double)ticks, benchmark::Counter::kIsRate |
                                                                       benchmark::Counter::kInvert);
    // What a tick of this round has to deal with, on average (counted once, untimed).
    bench_game *b = heavy_start();
    double flames = 0, bombs = 0, monsters = 0, objects = 0;
    for (int t = 0; t < HEAVY_TICKS; t++) {
        heavy_tick(b, t);
        flames += count_type(&b->g, OBJ_FLAME);
        bombs += count_type(&b->g, OBJ_BOMB);
        monsters += count_type(&b->g, OBJ_MONSTER);
        objects += b->g.object_count;
    }
    delete b;
    state.counters["flames"] = flames / HEAVY_TICKS;
    state.counters["bombs"] = bombs / HEAVY_TICKS;
    state.counters["monsters"] = monsters / HEAVY_TICKS;
    state.counters["objects"] = objects / HEAVY_TICKS;
}
BENCHMARK(BM_tick_heavy_play_32x24)->Unit(benchmark::kMillisecond);

// (b) A 255 x 255 map full of blocks, hidden bonuses, monsters and diamonds: some 65,000
// objects visited every tick, a few thousand monsters walking.
void BM_tick_stress_255x255(benchmark::State &state) {
    srand(5);
    bench_game b(random_map(255, 255, 35, 10, 12, 15));
    int tick = 0;
    for (auto _ : state)
        play_tick(&b, tick++);
    state.counters["objects"] = b.g.object_count;
    state.counters["per_tick"] =
        benchmark::Counter((double)tick, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_tick_stress_255x255)->Unit(benchmark::kMicrosecond);

// (c) The check of a record: a run of 90 seconds (9,000 ticks) played without a screen from
// the map's bytes, as the chooser does before it shows a record. A 25 x 18 map of blocks,
// hidden bonuses, monsters and diamonds; the player walks to and fro in a walled corner,
// so that it lives to the end of the time while the monsters roam the rest.
void BM_record_check_90s(benchmark::State &state) {
    srand(23);
    std::vector<uint8_t> bytes = random_map(25, 18, 30, 8, 6, 8);
    for (int k = 1; k <= 3; k++) {
        bytes[2 + 3 * 25 + k] = CELL_WALL; // row 3
        bytes[2 + k * 25 + 3] = CELL_WALL; // column 3
    }
    record_entry record;
    record.map_hash = bytes_hash(bytes.data(), bytes.size());
    record.ticks = 9000;
    record.run.seed = 7;
    record.run.time_limit = 90;
    run_recorder recorder;
    start_recording(&recorder, &record.run, record.run.seed, record.run.time_limit);
    for (int t = 0; t < 9000; t++) {
        game_keys keys{};
        keys.right = (t / 40) % 2 == 0;
        keys.left = !keys.right;
        record_tick(&recorder, &keys);
    }
    finish_recording(&recorder);
    uint32_t ticks = 0;
    if (play_run(bytes.data(), bytes.size(), 3, &record.run, 9000, &ticks) != END_TIME_UP ||
        ticks != 9000)
        abort(); // the run must last its 90 seconds
    for (auto _ : state)
        benchmark::DoNotOptimize(record_proven(&record, bytes.data(), bytes.size(), 3));
    state.counters["run_bytes"] = (double)record.run.steps.size();
}
BENCHMARK(BM_record_check_90s)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
