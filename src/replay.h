// Runs: the keys a player held, tick by tick, kept small, and played again without a screen.
#pragma once

#include "rules.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// How a game was played: the seed it was dealt, the time limit it was played with, and the
// keys held on each tick as steps: a byte of keys, then how many ticks they were held
// (seven bits a byte, the lowest first, the top bit set on every byte but the last).
struct game_run {
    uint32_t seed = 0;
    int32_t time_limit = 0;
    std::vector<uint8_t> steps;
};

// A run being recorded: the keys of the step being counted and its ticks so far.
struct run_recorder {
    game_run *run;
    uint8_t keys;
    uint32_t count;
};
void start_recording(run_recorder *r, game_run *run, uint32_t seed, int32_t time_limit);
void record_tick(run_recorder *r, const game_keys *keys);
// Writes the step being counted: the run is then whole.
void finish_recording(run_recorder *r);

// A run being played back.
struct run_reader {
    const game_run *run;
    size_t at;
    uint8_t keys;
    uint32_t left;
};
void start_reading(run_reader *r, const game_run *run);
// The keys of the next tick; false when the run has none left or its steps are damaged.
bool next_run_keys(run_reader *r, game_keys *keys);

// Plays a run on a map's bytes without a screen, with `block_frames` pictures of a block's
// destruction (the map strip's), until the game ends, the run runs out or `max_ticks`
// ticks are played. The way the game ended (END_NONE when it did not), the ticks in *ticks.
int play_run(const uint8_t *map_bytes, size_t length, unsigned block_frames, const game_run *run,
             uint32_t max_ticks, uint32_t *ticks);
