// The game timers, counted by Allegro's timer thread.
#include "temps.h"
#include "test_util.h"
#include "xvfb.h"

#include <allegro.h>
#include <gtest/gtest.h>

namespace {

TEST(timers, count_a_hundred_ticks_and_one_second_per_second) {
    temp_dir dir;
    ASSERT_TRUE(allegro_on_private_display(dir.file("messages")));
    install_timer();
    deinit_timer(); // harmless before anything was installed
    ASSERT_EQ(init_timer(), 0);
    EXPECT_LE(game_time.load(), 1);
    EXPECT_EQ(sec_counter.load(), 0);
    rest(1050);
    int ticks = game_time.load();
    EXPECT_GE(ticks, 90);
    EXPECT_LE(ticks, 112);
    EXPECT_EQ(sec_counter.load(), 1);
    deinit_timer();
    rest(100);
    int stopped = game_time.load();
    rest(100);
    EXPECT_EQ(game_time.load(), stopped);

    ASSERT_EQ(init_timer(), 0); // the next game starts from 0 again
    EXPECT_LE(game_time.load(), 1);
    EXPECT_EQ(sec_counter.load(), 0);
    deinit_timer();
    deinit_timer();
}

} // namespace
