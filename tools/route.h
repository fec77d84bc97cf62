// Routes: games of the rules alone, played from map text and held keys tick by tick as the
// game loop plays them, their course written out. Each shipped map comes with the route
// that wins it, and the build plays it: a map no route wins is not shipped.
#pragma once

#include "config.h"
#include "maps.h"
#include "rules.h"

#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

struct route_game {
    config cfg{};
    game g{};
    bool clock = true, watching = false;
};

// Starts a game on `m`, which it takes over (route_stop frees it). False, with nothing
// left behind, when there is no map or it makes no game.
bool route_start(route_game *r, map *m, unsigned seed, int time_limit, unsigned block_frames);
void route_stop(route_game *r);
// Keys from letters: U D L R, B bomb, Q quit, S pause, - none; false on another letter.
bool route_keys(const std::string &letters, game_keys *keys);
// Plays up to n ticks (the game may end first), a line of course every 100 ticks and at
// the end, and a line per tick for every mover while watching.
void route_ticks(route_game *r, int n, const game_keys *keys, std::ostream &out);
// The state of play as text; walls are left out when `walls` is false.
std::string route_state(const route_game *r, bool walls);

// What a script may add: maps the loader would refuse, and commands of its own.
struct route_hooks {
    std::function<map *(const std::vector<uint8_t> &bytes)> raw_map;
    // Runs a command the player does not know; false when it does not know it either.
    std::function<bool(route_game *, const std::string &word, std::istream &args)> command;
};
// Plays a script of games (its commands are listed in route.cpp), writing their course
// and each one's last state to `out`; `end` is how the last game ended. False, with
// `error`, on a script it cannot play.
bool route_play(std::istream &script, const std::string &map_dir, const route_hooks &hooks,
                std::ostream &out, std::string *error, int *end);
