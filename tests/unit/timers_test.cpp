// The game timers: one 10 ms beat feeds the ticks owed and the seconds counter.
#include "temps.h"

#include <gtest/gtest.h>

namespace {

// The beat driven by hand: a hold (a pause) stops both clocks, and the second in progress
// goes on where it stopped.
TEST(timers, a_hold_stops_both_clocks_and_the_second_goes_on_where_it_was) {
    hold_timers(false);
    for (int32_t before = sec_counter.load(); sec_counter.load() == before;)
        game_timer();
    int32_t seconds = sec_counter.load(), ticks = game_time.load();
    for (int i = 0; i < 30; i++)
        game_timer();
    hold_timers(true);
    for (int i = 0; i < 1000; i++)
        game_timer();
    EXPECT_EQ(game_time.load(), ticks + 30);
    EXPECT_EQ(sec_counter.load(), seconds);
    hold_timers(false);
    for (int i = 0; i < 69; i++)
        game_timer();
    EXPECT_EQ(sec_counter.load(), seconds);
    game_timer();
    EXPECT_EQ(sec_counter.load(), seconds + 1);
    EXPECT_EQ(game_time.load(), ticks + 100);
}

} // namespace
