// Map text format: one character per cell, row by row.
//   #  wall            +  breakable block     ?  block hiding a bonus
//   P  player start    M  monster start       D  diamond
//   .  empty floor     {NN}  any other byte, two hex digits (e.g. {08})
// Lines starting with ';' are comments; blank lines at the start or end are ignored.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Parses map text into the bytes of a .czm file (height, width, cells).
// On bad input returns false and sets `error` to a message naming the line and column.
bool parse_map_text(const char *text, size_t length, std::vector<uint8_t> *bytes,
                    std::string *error);
// Writes the bytes of a .czm file as map text. Bytes after the last row are not written.
// False (with `error`) when there are not even the two size bytes or not all the cells.
bool format_map_text(const uint8_t *bytes, size_t length, std::string *text, std::string *error);
// The legend character of a cell code, or 0 when it has none.
char map_legend_char(uint8_t code);
