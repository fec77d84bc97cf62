// A map's picture as a game starts it, and its thumbnail for the chooser.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct BITMAP;

// The map as a game starts it, 32 pixels a cell (24-bit), drawn with the tile strip and the
// sprites of run_dir/graphics; null when a picture is missing or the bytes are not a whole map.
BITMAP *make_map_picture(const char *run_dir, const uint8_t *bytes, size_t length,
                         const char *strip_path);
// The thumbnail of that picture, shrunk to fit 448 x 312 and framed, as the bytes of its BMP
// file (24-bit); false when it cannot be drawn.
bool map_thumbnail_bmp(const char *run_dir, const uint8_t *bytes, size_t length,
                       const char *strip_path, std::vector<uint8_t> *bmp);
