// Checks a map as the game will play it: what the game refuses, diamonds out of
// reach, a first bomb the player cannot escape, and the screen size it needs.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct map_check_options {
    int screen_w = 0, screen_h = 0; // 0: no screen size check
    int hud_h = 32;                 // rows kept free at the top for the head-up display
};

// Every problem found, one message each, naming the cell as (row R, column C); empty when fine.
std::vector<std::string> check_map(const uint8_t *bytes, size_t length,
                                   const map_check_options &opt);
// A one-line summary of a good map: size, diamonds, monsters, blocks, hidden bonuses.
std::string map_summary(const uint8_t *bytes, size_t length);
