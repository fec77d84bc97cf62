// Game timers: the 100 Hz tick counter and the seconds counter fed by Allegro's timer thread.
#pragma once

#include <atomic>
#include <cstdint>

// The rules run one tick every 10 ms: 100 ticks make a second of play.
enum { TICK_MS = 10, TICKS_PER_SECOND = 100 };

// Ticks owed to the rules; every update is one atomic operation.
extern std::atomic<int32_t> game_time;
// Running count of seconds, compared by the game loop with the last one it saw.
extern std::atomic<int32_t> sec_counter;

// The 10 ms beat: one tick owed, and one second every hundredth beat (game_sec_timer).
void game_timer();
void game_sec_timer();
// While held, the beat counts nothing: a paused game owes no ticks and loses no time, and
// the second in progress goes on where it stopped.
void hold_timers(bool hold);
// Installs the beat, resets both counters and lets go of any hold; 0 on success, 1 on failure.
int32_t init_timer();
// Removes the beat; harmless when it is not installed.
void deinit_timer();
