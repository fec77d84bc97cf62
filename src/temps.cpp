// Game timers: two counters fed by Allegro's timer thread.
#include "temps.h"

#include <allegro.h>

std::atomic<int32_t> game_time{0};
std::atomic<int32_t> sec_counter{0};

void game_timer() { game_time.fetch_add(1); }
END_OF_FUNCTION(game_timer)

void game_sec_timer() { sec_counter.fetch_add(1); }
END_OF_FUNCTION(game_sec_timer)

int32_t init_timer() {
    LOCK_VARIABLE(game_time);
    LOCK_VARIABLE(sec_counter);
    LOCK_FUNCTION(game_timer);
    LOCK_FUNCTION(game_sec_timer);
    if (install_int(game_timer, 10) < 0)
        return 1;
    if (install_int(game_sec_timer, 1000) < 0)
        return 1;
    sec_counter.store(0);
    game_time.store(0);
    return 0;
}

void deinit_timer() {
    remove_int(game_timer);
    remove_int(game_sec_timer);
}
