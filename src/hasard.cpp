// The game's own random numbers: the same seed gives the same numbers on every system.
#include "hasard.h"

static const uint64_t MULTIPLIER = 6364136223846793005u;
static const uint64_t INCREMENT = 1442695040888963407u;

uint32_t rng_next(game_rng *rng) {
    uint64_t old = rng->state;
    rng->state = old * MULTIPLIER + INCREMENT;
    uint32_t shifted = (uint32_t)(((old >> 18) ^ old) >> 27);
    uint32_t rotation = (uint32_t)(old >> 59);
    return (shifted >> rotation) | (shifted << ((32 - rotation) & 31));
}

void rng_seed(game_rng *rng, uint32_t seed) {
    rng->state = 0;
    rng_next(rng);
    rng->state += seed;
    rng_next(rng);
}

uint32_t rng_below(game_rng *rng, uint32_t n) {
    if (n == 0) return 0;
    // Draws under 2^32 mod n would make the first numbers likelier: they are drawn again.
    uint32_t floor = (uint32_t)(0u - n) % n;
    for (;;) {
        uint32_t r = rng_next(rng);
        if (r >= floor) return r % n;
    }
}
