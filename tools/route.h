// Routes: games of the rules alone, played from map text and held keys tick by tick as the
// game loop plays them, their course written out, and what they promise checked as they
// play. Each shipped map comes with the route that wins it, and the build plays it: a map
// no route wins is not shipped.
#pragma once

#include "config.h"
#include "maps.h"
#include "replay.h"
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

// What a script may add: maps the loader would refuse, and commands of its own.
struct route_hooks {
    std::function<map *(const std::vector<uint8_t> &bytes)> raw_map;
    // Runs a command the player does not know; false when it does not know it either.
    std::function<bool(route_game *, const std::string &word, std::istream &args)> command;
};

// An expectation of the script that did not hold: the rule it stated, its line and what
// the game read instead.
struct route_miss {
    std::string rule;
    int line;
    std::string text, got;
};

struct route_result {
    int end = END_NONE; // how the last game ended
    uint32_t ticks = 0; // and on which tick
    // The last game's run, and its map's name (of a map_file) and hash: what a record keeps.
    game_run run;
    std::string map_name;
    uint64_t map_hash = 0;
    std::string error;              // why the script could not be played
    std::vector<route_miss> missed; // in the order of the script
};

// Plays a script of games (its commands are listed in route.cpp), writing their course
// and each one's last state to `out`. False, with `error`, on a script it cannot play;
// the expectations that did not hold are in `missed` either way.
bool route_play(std::istream &script, const std::string &map_dir, const route_hooks &hooks,
                std::ostream &out, route_result *result);
// The name of a game's end: none quit won dead time_up too_big.
std::string end_name(uint8_t end_state);
// "LINE (RULE): expect WHAT: got VALUE", as a miss is reported (no brackets without a rule).
std::string route_miss_text(const route_miss &miss);
