// The game's own random numbers: the same seed gives the same numbers on every system.
#pragma once

#include <cstdint>

// A small permuted congruential generator (PCG32). Only the rules of one game draw from
// it, so that a game is the same for the same map, seed and keys held.
struct game_rng {
    uint64_t state;
};

void rng_seed(game_rng *rng, uint32_t seed);
// The next 32 bits.
uint32_t rng_next(game_rng *rng);
// A number from 0 to n - 1, each as likely as the others; 0 when n is 0.
uint32_t rng_below(game_rng *rng, uint32_t n);
