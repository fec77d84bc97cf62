// The map editor's drawing, without a screen: the grid, the pieces, strokes, rectangles,
// resizing, undo and redo, the size limits, and the live map check with the cells it marks.
#pragma once

#include "mapcheck.h"

#include <cstdint>
#include <functional>
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

// A whole drawing as it stood: its size and its cells.
struct edit_grid {
    int w = 0, h = 0;
    std::vector<uint8_t> cells;
};

struct edit_map {
    int w = 0, h = 0;
    std::vector<uint8_t> cells;  // row by row, the codes of the file
    std::vector<edit_grid> undo; // whole grids before each change
    std::vector<edit_grid> redo;
    std::vector<uint8_t> stroke_before; // the grid when the stroke began
    bool in_stroke = false;
    int last_r = -1, last_c = -1;      // the stroke's last painted cell
    std::vector<map_problem> problems; // the live check
    std::vector<uint8_t> marked;       // 1 per offending cell
};

uint8_t piece_code(int piece);
// The largest map (columns, rows) that fits a screen with the head-up display.
void edit_max_size(int screen_w, int screen_h, int *max_w, int *max_h);
// Whether a map of w x h cells can be saved: from 5 x 5 to the largest that fits the screen
// of the check under the counters.
bool edit_size_ok(int w, int h);
// A new map: walled all round, floor inside, the start in the top-left inside cell.
// False (nothing changed) for a size that cannot be saved.
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
// Fills the rectangle between two corner cells with a piece (a start goes to the second
// corner alone); one undo step. False when nothing changed.
bool edit_fill(edit_map *m, int r0, int c0, int r1, int c1, int piece);
// Adds (a positive count) or removes (a negative one) rows or columns at each edge, just
// inside the border so that it stays closed; one undo step. False, nothing changed, when
// the new size could not be saved.
bool edit_resize(edit_map *m, int top, int bottom, int left, int right);
// Takes another drawing in place of this one (an import); one undo step.
void edit_replace(edit_map *m, const edit_map *from);
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
// Splits a text into lines of at most `width` as `measure` counts, at spaces.
std::vector<std::string> edit_wrap(const std::string &text, int width,
                                   const std::function<int(const std::string &)> &measure);
