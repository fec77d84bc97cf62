// Maps: the map file, the in-memory map with its cell codes and grids, companion pictures.
#pragma once

#include <cstddef>
#include <cstdint>

struct obj;

// Cell codes, in the file and during play.
enum {
    CELL_WALL = 0,
    CELL_BLOCK = 2,
    CELL_BONUS = 4,
    CELL_PLAYER = 7,
    CELL_BOMB = 8,
    CELL_MONSTER = 11,
    CELL_DIAMOND = 12,
    CELL_EMPTY = -1, // 0xff in the file
};

// A cell is drawn as a square of CELL_PIXELS x CELL_PIXELS.
const int CELL_PIXELS = 32;
// The height and the width are one byte each.
const int MAP_MAX_SIDE = 255;

// The bytes of a map file of `height` rows of `width` cells: the two sizes, then the cells.
inline size_t map_file_size(int height, int width) {
    return 2 + (size_t)height * width;
}

// Whether bytes hold a whole map: its two sizes, neither 0, and every cell of its rows
// (bytes after the last row are never read).
enum map_shape {
    MAP_WHOLE,
    MAP_NO_SIZES,  // not even the two size bytes
    MAP_NO_CELLS,  // a height or a width of 0
    MAP_TRUNCATED, // fewer cells than height x width
};
map_shape map_bytes_shape(const uint8_t *bytes, size_t length);

struct map {
    uint8_t height;
    uint8_t width;
    int8_t **cells;    // [row][column]
    obj ***fixed_grid; // wall, block, bonus, diamond or bomb of each cell
    obj ***mover_grid; // player or monster registered in each cell
};

// A player or monster may enter a cell whose code has bit 2 set.
inline bool cell_passable(int8_t code) {
    return (code & 4) != 0;
}
inline bool map_inside(const map *m, int x, int y) {
    return x >= 0 && y >= 0 && x < m->width && y < m->height;
}
// Code of a cell, or CELL_WALL outside the map (nothing ever goes there).
inline int8_t map_cell(const map *m, int x, int y) {
    return map_inside(m, x, y) ? m->cells[y][x] : (int8_t)CELL_WALL;
}
inline obj *map_fixed(const map *m, int x, int y) {
    return map_inside(m, x, y) ? m->fixed_grid[y][x] : nullptr;
}
inline obj *map_mover(const map *m, int x, int y) {
    return map_inside(m, x, y) ? m->mover_grid[y][x] : nullptr;
}

// Reads a map file. Null when the file is missing, too short, or not a playable map
// (a size of 0, an open border, not exactly one player start, a cell code 8).
map *load_map(const char *filename);
// The same from bytes already in memory.
map *load_map_from_memory(const uint8_t *bytes, size_t length);
// Why the bytes are refused (a short French-free reason for tools), or null when they are fine.
const char *map_bytes_problem(const uint8_t *bytes, size_t length);
// Releases the record, its rows and its grids (not the objects).
void free_map(map *m);

// maps/castle.czm -> maps/castle.bmp (heap string, null without memory).
char *get_map_image_filename(const char *mapfile);
// maps/castle.czm -> thbs/castle.bmp, and DIR/maps/castle.czm -> DIR/thbs/castle.bmp (heap
// string, null without memory).
char *get_map_thumb_filename(const char *mapfile);
// Frames in a map image (floor, wall, then the block's pictures); 0 when it is missing.
unsigned map_image_frames(const char *image_name);
