// Pixel-art canvas shared by the data tools: one palette for the whole game,
// pictures held as palette indices, drawing helpers and BMP output through Allegro.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The game's palette. Ramps run from dark to light; MASK is Allegro's magenta.
enum : uint8_t {
    ST0,
    ST1,
    ST2,
    ST3,
    ST4, // stone greys
    EM0,
    EM1,
    EM2,
    EM3,
    EM4, // embers: dark red .. amber
    HOT0,
    HOT1, // flame core: yellow-white, white
    BL0,
    BL1,
    BL2,
    BL3,
    BL4, // cool blues and teals
    GR0,
    GR1,
    GR2,
    GR3, // moss greens
    SK0,
    SK1,
    SK2, // skin
    BR0,
    BR1,
    BR2,
    BR3, // wood and sand
    PU0,
    PU1,
    PU2,   // violets
    NIGHT, // the near black of clefts and pits, under red and yellow texts
    PALETTE_SIZE,
    MASK = 255
};

struct rgb {
    uint8_t r, g, b;
};

extern const rgb GAME_PALETTE[PALETTE_SIZE];

// The darkest shade of the ramp a colour belongs to (for outlines).
uint8_t ramp_darkest(uint8_t c);
// Shade k (0 dark .. n-1 light) of the ramp of c, clamped to the ramp.
uint8_t ramp_shift(uint8_t c, int steps);
// Nearest palette colour of an RGB triple.
uint8_t nearest_colour(int r, int g, int b);

struct canvas {
    int w = 0, h = 0;
    std::vector<uint8_t> px;
};

canvas make_canvas(int w, int h, uint8_t fill = MASK);
inline bool inside(const canvas *c, int x, int y) {
    return x >= 0 && y >= 0 && x < c->w && y < c->h;
}
inline uint8_t get(const canvas *c, int x, int y) {
    return inside(c, x, y) ? c->px[y * c->w + x] : (uint8_t)MASK;
}
inline void put(canvas *c, int x, int y, uint8_t col) {
    if (inside(c, x, y)) c->px[y * c->w + x] = col;
}

void fill_rect(canvas *c, int x, int y, int w, int h, uint8_t col);
void rect(canvas *c, int x, int y, int w, int h, uint8_t col);
void line(canvas *c, int x0, int y0, int x1, int y1, uint8_t col);
// Filled ellipse centred on (cx, cy) (half pixels allowed) with radii rx, ry.
void fill_ellipse(canvas *c, double cx, double cy, double rx, double ry, uint8_t col);
// The same lit from the top left as a sphere, with the shades of a ramp (dark to light).
void shade_ellipse(canvas *c, double cx, double cy, double rx, double ry, const uint8_t *ramp,
                   int n);
// A dithered shadow: every other pixel of an ellipse, drawn only on transparent pixels.
void shadow_ellipse(canvas *c, double cx, double cy, double rx, double ry, uint8_t col);
// Bevel a rectangle: light top-left edges, dark bottom-right edges.
void bevel(canvas *c, int x, int y, int w, int h, uint8_t light, uint8_t dark);
// One-pixel outline around every opaque pixel, in the darkest shade of its own ramp
// (or in `col` when given), written on transparent pixels only.
void outline(canvas *c, uint8_t col = MASK);
// Copy src onto dst at (x, y), skipping masked pixels.
void blit(canvas *dst, const canvas *src, int x, int y);
// Part of src (sx, sy, w, h) onto dst at (x, y), masked.
void blit_part(canvas *dst, const canvas *src, int sx, int sy, int w, int h, int x, int y);
canvas flip_h(const canvas *c);
canvas rotate_cw(const canvas *c);
canvas crop(const canvas *c, int x, int y, int w, int h);
// Downscale by area averaging to at most w x h, keeping the aspect; quantised to the palette.
canvas shrink(const canvas *c, int max_w, int max_h);
// Nearest-neighbour magnification.
canvas magnify(const canvas *c, int k);
// Small deterministic noise in [0, 1) for a cell and a seed.
double noise(int x, int y, int seed);

// Files. The BMP is 24-bit with magenta for masked pixels.
bool save_canvas(const canvas *c, const std::string &path);
bool load_canvas(canvas *c, const std::string &path);
// Installs Allegro without devices, 24-bit colour (once).
void pixel_init();
// Creates every directory of a path (like mkdir -p).
void make_dirs_for(const std::string &dir);
