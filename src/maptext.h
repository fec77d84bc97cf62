// Map text format: one character per cell, row by row.
//   #  wall            +  breakable block     ?  block hiding a bonus
//   P  player start    M  monster start       D  diamond
//   .  empty floor     {NN}  any other byte, two hex digits (e.g. {08})
// Lines starting with ';' are comments; blank lines at the start or end are ignored.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// What is wrong with a map text, and where (lines and columns count from 1).
enum map_text_problem {
    TEXT_BAD_BRACE,    // '{' not followed by two hex digits and '}'
    TEXT_UNKNOWN_CELL, // a character of no cell: `cell`
    TEXT_BLANK_INSIDE, // a blank line between rows
    TEXT_ROW_LENGTH,   // row `row` has `cells` cells, the first row `first_cells`
    TEXT_TOO_WIDE,     // more than 255 cells in a row
    TEXT_TOO_TALL,     // more than 255 rows
    TEXT_NO_ROWS,
};
struct map_text_error {
    map_text_problem problem = TEXT_NO_ROWS;
    int line = 0, column = 0;
    char cell = 0;
    int row = 0, cells = 0, first_cells = 0;
};

// Parses map text into the bytes of a .czm file (height, width, cells); false on bad input,
// with what and where in `error`, for each program to tell in its own words.
bool parse_map_text_at(const char *text, size_t length, std::vector<uint8_t> *bytes,
                       map_text_error *error);
// The same, the error told in English, naming the line and column (the map tool's words).
bool parse_map_text(const char *text, size_t length, std::vector<uint8_t> *bytes,
                    std::string *error);
// Writes the bytes of a .czm file as map text. Bytes after the last row are not written.
// False (with `error`) when there are not even the two size bytes or not all the cells.
bool format_map_text(const uint8_t *bytes, size_t length, std::string *text, std::string *error);
// The legend character of a cell code, or 0 when it has none.
char map_legend_char(uint8_t code);
