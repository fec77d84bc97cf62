// The map editor's drawing, without a screen: the grid, the pieces, strokes, undo and
// redo, the new-map size limits, and the live map check with the cells it marks.
#pragma once

#include "mapcheck.h"

#include <cstdint>
#include <string>
#include <vector>

// The pieces of the palette, in the order of the number keys 1 to 7.
enum edit_piece {
    PIECE_FLOOR,
    PIECE_WALL,
    PIECE_BLOCK,
    PIECE_BONUS, // a block hiding a bonus
    PIECE_DIAMOND,
    PIECE_MONSTER,
    PIECE_START,
    PIECE_COUNT
};

const int EDIT_MIN_SIZE = 5;
const int EDIT_UNDO_DEPTH = 500;
// The screen a map must fit with the head-up display to be saved.
const int EDIT_CHECK_SCREEN_W = 800, EDIT_CHECK_SCREEN_H = 600;

struct edit_map {
    int w = 0, h = 0;
    std::vector<uint8_t> cells;             // row by row, the codes of the file
    std::vector<std::vector<uint8_t>> undo; // whole grids before each change
    std::vector<std::vector<uint8_t>> redo;
    std::vector<uint8_t> stroke_before; // the grid when the stroke began
    bool in_stroke = false;
    int last_r = -1, last_c = -1;      // the stroke's last painted cell
    std::vector<map_problem> problems; // the live check
    std::vector<uint8_t> marked;       // 1 per offending cell
};

uint8_t piece_code(int piece);
// The largest new map (columns, rows) that fits a screen with the head-up display.
void edit_max_size(int screen_w, int screen_h, int *max_w, int *max_h);
// A new map: walled all round, floor inside, the start in the top-left inside cell.
// False (nothing changed) when the size is outside 5 x 5 to the largest for 1024 x 768.
bool edit_new(edit_map *m, int w, int h);
// Takes the bytes of a .czm file; false with a French reason when they are not a whole map.
bool edit_load(edit_map *m, const uint8_t *bytes, size_t length, std::string *reason);
// The bytes of the .czm file: height, width, cells.
std::vector<uint8_t> edit_bytes(const edit_map *m);
uint8_t edit_cell(const edit_map *m, int r, int c);

// One change: paints a piece on a cell (a start moves the start). False when nothing changed.
bool edit_paint(edit_map *m, int r, int c, int piece);
// A line drag: every cell between the stroke's cells is painted; one undo step in all.
void edit_stroke_begin(edit_map *m);
void edit_stroke_to(edit_map *m, int r, int c, int piece);
void edit_stroke_end(edit_map *m);
bool edit_undo(edit_map *m);
bool edit_redo(edit_map *m);

// Runs the map check and marks the offending cells.
void edit_check(edit_map *m);
bool edit_marked(const edit_map *m, int r, int c);
// True when the game would take the map (a map without a diamond is taken).
bool edit_can_save(const edit_map *m);
// The French text of a fault, and the one line shown under the map.
const char *edit_fault_text(map_fault f);
std::string edit_status_line(const edit_map *m);
