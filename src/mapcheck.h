// Checks a map as the game will play it: what the game refuses, diamonds out of
// reach, a first bomb the player cannot escape, and the screen size it needs.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "hud_layout.h"

struct map_check_options {
    int screen_w = 0, screen_h = 0;   // 0: no screen size check
    int hud_text_h = HUD_FONT_HEIGHT; // height of the counters' font
};

// The kinds of fault, each with the cell it concerns (row and column -1 for the whole map).
enum map_fault {
    FAULT_SHORT,     // not even the two size bytes
    FAULT_EMPTY,     // a height or a width of 0
    FAULT_TRUNCATED, // fewer cells than height x width
    FAULT_BORDER,    // a border cell that is not wall
    FAULT_BOMB_CODE, // code 8, a bomb of play
    FAULT_SECOND_START,
    FAULT_NO_START,
    FAULT_NO_DIAMOND,  // the game would be won at once
    FAULT_SCREEN,      // does not fit the screen with nothing of the counters over it
    FAULT_GAME,        // anything else the game refuses
    FAULT_UNREACHABLE, // a diamond out of reach even through blocks
    FAULT_MONSTER_NEAR,
    FAULT_BOXED_IN, // the first bomb catches the player wherever it walks
};

struct map_problem {
    map_fault fault;
    int row, col;
    std::string text;
};

// Every problem found, in the order of the messages of check_map, each cell reported.
std::vector<map_problem> find_map_problems(const uint8_t *bytes, size_t length,
                                           const map_check_options &opt);

// Every problem found, one message each, naming the cell as (row R, column C); empty when fine.
std::vector<std::string> check_map(const uint8_t *bytes, size_t length,
                                   const map_check_options &opt);
// A one-line summary of a good map: size, diamonds, monsters, blocks, hidden bonuses.
std::string map_summary(const uint8_t *bytes, size_t length);
