// A map's thumbnail for the chooser: the map as a game starts it, shrunk and framed.
#pragma once

#include <cstddef>
#include <cstdint>

struct BITMAP;

// The thumbnail (24-bit) of the map bytes, drawn with the tile strip and the sprites of
// run_dir/graphics; null when a picture is missing or the bytes are not a whole map.
BITMAP *make_map_thumbnail(const char *run_dir, const uint8_t *bytes, size_t length,
                           const char *strip_path);
