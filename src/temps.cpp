// Game timers: the tick and seconds counters, fed by one 10 ms beat of Allegro's timer thread.
#include "temps.h"

#include <allegro.h>

std::atomic<int32_t> game_time{0};
std::atomic<int32_t> sec_counter{0};

// Beats of the second in progress. The seconds are counted from the same beat as the ticks,
// so that a pause stops both clocks and each takes up where it was.
static std::atomic<int32_t> beats_this_second{0};
static std::atomic<bool> held{false};

void game_timer() {
    if (held.load()) return;
    game_time.fetch_add(1);
    if (beats_this_second.fetch_add(1) + 1 >= TICKS_PER_SECOND) {
        beats_this_second.store(0);
        game_sec_timer();
    }
}
END_OF_FUNCTION(game_timer)

void game_sec_timer() {
    sec_counter.fetch_add(1);
}
END_OF_FUNCTION(game_sec_timer)

void hold_timers(bool hold) {
    held.store(hold);
}

int32_t init_timer() {
    LOCK_VARIABLE(game_time);
    LOCK_VARIABLE(sec_counter);
    LOCK_VARIABLE(beats_this_second);
    LOCK_VARIABLE(held);
    LOCK_FUNCTION(game_timer);
    LOCK_FUNCTION(game_sec_timer);
    held.store(false);
    if (install_int(game_timer, TICK_MS) < 0) return 1;
    sec_counter.store(0);
    beats_this_second.store(0);
    game_time.store(0);
    return 0;
}

void deinit_timer() {
    remove_int(game_timer);
    remove_int(game_sec_timer);
}
