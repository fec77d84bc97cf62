// The game's own random numbers: the same for a seed everywhere, and evenly spread over the
// bonus kinds and fuses they deal.
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

// A seed's numbers are pinned: a record of a won game (its seed and keys) made with them
// must replay the same on every system, today and after any change.
TEST(generator, a_seed_gives_the_same_numbers_everywhere) {
    game_rng rng;
    rng_seed(&rng, 1);
    std::vector<uint32_t> got;
    for (int i = 0; i < 4; i++)
        got.push_back(rng_next(&rng));
    EXPECT_EQ(got, (std::vector<uint32_t>{1412771199, 1791099446, 124312908, 1968572995}));
}

} // namespace
