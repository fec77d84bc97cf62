// The game's own random numbers: the bonus kinds and fuses it deals are evenly spread.
#include "hasard.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

// Every number below n comes up as often as the others (within 3 per cent), for the two
// starting frames, the three, the seven bonus kinds and the ten fuses; below 3 x 2^30,
// where a plain remainder of 32 bits would give the first quarter half the draws, it gets
// a third.
TEST(generator, every_number_below_n_is_as_likely_as_the_others) {
    game_rng rng;
    rng_seed(&rng, 5);
    const int per_number = 20000;
    for (uint32_t n : {2u, 3u, 7u, 10u}) {
        std::vector<int> seen(n);
        for (uint32_t i = 0; i < n * per_number; i++)
            seen[rng_below(&rng, n)]++;
        for (uint32_t k = 0; k < n; k++)
            EXPECT_NEAR(seen[k], per_number, per_number * 0.03) << k << " below " << n;
    }
    int first_quarter = 0;
    for (int i = 0; i < 30000; i++)
        first_quarter += rng_below(&rng, 3u << 30) < (1u << 30);
    EXPECT_NEAR(first_quarter, 10000, 500);
}

} // namespace
