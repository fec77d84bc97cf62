// Maps: reading a map file into the map record, and the names of its companion pictures.
#include "maps.h"

#include "images.h"

#include <allegro.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

static char problem_text[160];

static const char *problem(const char *format, int row, int column) {
    snprintf(problem_text, sizeof problem_text, format, row, column);
    return problem_text;
}

map_shape map_bytes_shape(const uint8_t *bytes, size_t length) {
    if (length < 2) return MAP_NO_SIZES;
    if (bytes[0] == 0 || bytes[1] == 0) return MAP_NO_CELLS;
    if (length < map_file_size(bytes[0], bytes[1])) return MAP_TRUNCATED;
    return MAP_WHOLE;
}

const char *map_bytes_problem(const uint8_t *bytes, size_t length) {
    switch (map_bytes_shape(bytes, length)) {
    case MAP_NO_SIZES:
        return "the file is shorter than its two size bytes";
    case MAP_NO_CELLS:
        return "the map has a height or a width of 0";
    case MAP_TRUNCATED:
        return "the file is shorter than its height times its width";
    case MAP_WHOLE:
        break;
    }
    int height = bytes[0], width = bytes[1];
    int starts = 0;
    for (int r = 0; r < height; r++) {
        for (int c = 0; c < width; c++) {
            uint8_t code = bytes[2 + (size_t)r * width + c];
            bool border = r == 0 || c == 0 || r == height - 1 || c == width - 1;
            if (border && code != CELL_WALL)
                return problem("border cell (row %d, column %d) is not a wall", r, c);
            if (code == CELL_BOMB)
                return problem("cell (row %d, column %d) holds code 8, a bomb of play", r, c);
            if (code == CELL_PLAYER) starts++;
        }
    }
    if (starts == 0) return "the map has no player start";
    if (starts > 1) return "the map has more than one player start";
    return nullptr;
}

template <typename T> static T **alloc_rows(int height, int width) {
    T **rows = (T **)calloc((size_t)height, sizeof(T *));
    if (!rows) return nullptr;
    for (int r = 0; r < height; r++) {
        rows[r] = (T *)calloc((size_t)width, sizeof(T));
        if (!rows[r]) {
            for (int k = 0; k < r; k++)
                free(rows[k]);
            free(rows);
            return nullptr;
        }
    }
    return rows;
}

template <typename T> static void free_rows(T **rows, int height) {
    if (!rows) return;
    for (int r = 0; r < height; r++)
        free(rows[r]);
    free(rows);
}

void free_map(map *m) {
    if (!m) return;
    free_rows(m->cells, m->height);
    free_rows(m->fixed_grid, m->height);
    free_rows(m->mover_grid, m->height);
    free(m);
}

map *load_map_from_memory(const uint8_t *bytes, size_t length) {
    if (map_bytes_problem(bytes, length)) return nullptr;
    map *m = (map *)calloc(1, sizeof(map));
    if (!m) return nullptr;
    m->height = bytes[0];
    m->width = bytes[1];
    m->cells = alloc_rows<int8_t>(m->height, m->width);
    m->fixed_grid = alloc_rows<obj *>(m->height, m->width);
    m->mover_grid = alloc_rows<obj *>(m->height, m->width);
    if (!m->cells || !m->fixed_grid || !m->mover_grid) {
        free_map(m);
        return nullptr;
    }
    for (int r = 0; r < m->height; r++)
        memcpy(m->cells[r], bytes + 2 + (size_t)r * m->width, m->width);
    return m;
}

map *load_map(const char *filename) {
    FILE *f = fopen(filename, "rb");
    if (!f) return nullptr;
    // Anything after the last row of the largest map is never read.
    std::vector<uint8_t> bytes(map_file_size(MAP_MAX_SIDE, MAP_MAX_SIDE));
    size_t got = fread(bytes.data(), 1, bytes.size(), f);
    fclose(f);
    return load_map_from_memory(bytes.data(), got);
}

char *get_map_image_filename(const char *mapfile) {
    char *name = strdup(mapfile);
    size_t length = name ? strlen(name) : 0;
    if (name && length >= 3) memcpy(name + length - 3, "bmp", 3);
    return name;
}

char *get_map_thumb_filename(const char *mapfile) {
    char *name = get_map_image_filename(mapfile);
    if (!name) return name;
    // thbs/ stands beside the map's maps/, wherever that is: a/maps/castle -> a/thbs/castle.
    char *slash = strrchr(name, '/');
    char *folder = slash && slash - name >= 4 ? slash - 4 : name;
    if (strlen(folder) >= 3) memcpy(folder, "thb", 3);
    return name;
}

unsigned map_image_frames(const char *image_name) {
    BITMAP *image = image_name ? load_bitmap(image_name, nullptr) : nullptr;
    if (!image) return 0;
    unsigned frames = (unsigned)image->w / FRAME_WIDTH;
    destroy_bitmap(image);
    return frames;
}
