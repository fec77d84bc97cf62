// Text rasterised with FreeType from a system font, as coverage maps (0 .. 255).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct coverage {
    int w = 0, h = 0;
    std::vector<uint8_t> a;
    uint8_t at(int x, int y) const { return x < 0 || y < 0 || x >= w || y >= h ? 0 : a[y * w + x]; }
};

// One glyph: its coverage with the pen's origin at (left, top) from the box's top-left,
// and its advance in pixels.
struct glyph {
    coverage cov;
    int left = 0, top = 0, advance = 0;
};

struct font_face; // opaque

// Opens a TrueType font at a pixel size (the em height). Null on failure.
font_face *open_face(const std::string &path, int pixel_size);
void close_face(font_face *f);
// Ascender and descender in pixels (descender positive).
int face_ascent(font_face *f);
int face_descent(font_face *f);
// Renders a Unicode code point; mono renders without anti-aliasing. False when absent.
bool render_glyph(font_face *f, uint32_t code, bool mono, glyph *out);
// A whole UTF-8 string on one line; baseline at face_ascent from the top.
coverage render_text(font_face *f, const std::string &utf8, bool mono, int extra_spacing = 0);
// The default fonts of the game's pictures and datafile.
std::string font_path(bool bold);
