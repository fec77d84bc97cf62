// The game's own random numbers: the same for a seed everywhere, and evenly spread.
#include "hasard.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

// Each number below n as likely as the others (within 3 per cent): the frames, kinds and
// fuses drawn; below 3 x 2^30, a plain remainder would give the first third half the draws.
TEST(generator, every_number_below_n_is_as_likely_as_the_others) {
    game_rng rng;
    rng_seed(&rng, 5);
    for (uint32_t n : {2u, 3u, 7u, 10u, 3u << 30}) {
        uint32_t buckets = n > 10 ? 3 : n;
        std::vector<int> seen(buckets);
        for (uint32_t i = 0; i < buckets * 20000; i++)
            seen[rng_below(&rng, n) / (n / buckets)]++;
        for (uint32_t k = 0; k < buckets; k++)
            EXPECT_NEAR(seen[k], 20000, 600) << k << " of " << buckets << " below " << n;
    }
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
