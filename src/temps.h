// Game timers: the 100 Hz tick counter and the seconds counter fed by Allegro's timer thread.
#pragma once

#include <atomic>
#include <cstdint>

// Ticks owed to the rules; every update is one atomic operation.
extern std::atomic<int32_t> game_time;
// Running count of seconds, compared by the game loop with the last one it saw.
extern std::atomic<int32_t> sec_counter;

void game_timer();
void game_sec_timer();
// Installs both callbacks and resets both counters; 0 on success, 1 on failure.
int32_t init_timer();
// Removes both callbacks; harmless when they are not installed.
void deinit_timer();
