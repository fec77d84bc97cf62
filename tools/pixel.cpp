// Pixel-art canvas shared by the data tools: palette, drawing helpers, BMP files.
#include "pixel.h"

#include <allegro.h>

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <sys/stat.h>

const rgb GAME_PALETTE[PALETTE_SIZE] = {
    {0x1e, 0x1b, 0x24}, {0x3a, 0x35, 0x42}, {0x5c, 0x56, 0x63}, {0x8a, 0x83, 0x90},
    {0xc4, 0xbe, 0xc6}, {0x3d, 0x12, 0x14}, {0x7e, 0x1f, 0x1a}, {0xc6, 0x3c, 0x1c},
    {0xf0, 0x7c, 0x22}, {0xff, 0xc4, 0x4a}, {0xff, 0xf2, 0xb0}, {0xff, 0xff, 0xff},
    {0x10, 0x22, 0x40}, {0x1c, 0x52, 0x78}, {0x2e, 0x96, 0xb0}, {0x6e, 0xd4, 0xdc},
    {0xd4, 0xfa, 0xf4}, {0x14, 0x2e, 0x1e}, {0x2c, 0x5c, 0x2c}, {0x5a, 0x98, 0x3a},
    {0xa8, 0xd4, 0x5a}, {0x5a, 0x2e, 0x24}, {0xb8, 0x6c, 0x4c}, {0xf2, 0xb6, 0x8c},
    {0x2e, 0x1e, 0x14}, {0x5e, 0x3c, 0x22}, {0x9c, 0x6c, 0x3c}, {0xd8, 0xb2, 0x70},
    {0x2a, 0x14, 0x42}, {0x5e, 0x2c, 0x8c}, {0xa4, 0x5c, 0xd8}, {0x0b, 0x09, 0x0e},
};

struct ramp_span {
    uint8_t first, last;
};
static const ramp_span RAMPS[] = {{ST0, ST4}, {EM0, EM4}, {HOT0, HOT1}, {BL0, BL4},
                                  {GR0, GR3}, {SK0, SK2}, {BR0, BR3},   {PU0, PU2}};

static ramp_span ramp_of(uint8_t c) {
    for (const ramp_span &r : RAMPS)
        if (c >= r.first && c <= r.last) return r;
    return {c, c};
}

uint8_t ramp_darkest(uint8_t c) {
    if (c == HOT0 || c == HOT1) return EM2; // the flame core is outlined by its orange
    return ramp_of(c).first;
}

uint8_t ramp_shift(uint8_t c, int steps) {
    ramp_span r = ramp_of(c);
    int v = c + steps;
    if (v < r.first) v = r.first;
    if (v > r.last) v = r.last;
    return (uint8_t)v;
}

uint8_t nearest_colour(int r, int g, int b) {
    int best = 0;
    long best_d = -1;
    for (int i = 0; i < PALETTE_SIZE; i++) {
        long dr = r - GAME_PALETTE[i].r, dg = g - GAME_PALETTE[i].g, db = b - GAME_PALETTE[i].b;
        long d = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
        if (best_d < 0 || d < best_d) best_d = d, best = i;
    }
    return (uint8_t)best;
}

canvas make_canvas(int w, int h, uint8_t fill) {
    canvas c;
    c.w = w;
    c.h = h;
    c.px.assign((size_t)w * h, fill);
    return c;
}

void fill_rect(canvas *c, int x, int y, int w, int h, uint8_t col) {
    for (int j = y; j < y + h; j++)
        for (int i = x; i < x + w; i++)
            put(c, i, j, col);
}

void rect(canvas *c, int x, int y, int w, int h, uint8_t col) {
    for (int i = x; i < x + w; i++)
        put(c, i, y, col), put(c, i, y + h - 1, col);
    for (int j = y; j < y + h; j++)
        put(c, x, j, col), put(c, x + w - 1, j, col);
}

void line(canvas *c, int x0, int y0, int x1, int y1, uint8_t col) {
    int dx = std::abs(x1 - x0), sx = x0 < x1 ? 1 : -1;
    int dy = -std::abs(y1 - y0), sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    for (;;) {
        put(c, x0, y0, col);
        if (x0 == x1 && y0 == y1) break;
        int e2 = 2 * err;
        if (e2 >= dy) err += dy, x0 += sx;
        if (e2 <= dx) err += dx, y0 += sy;
    }
}

static bool in_ellipse(double x, double y, double cx, double cy, double rx, double ry) {
    double u = (x + 0.5 - cx) / rx, v = (y + 0.5 - cy) / ry;
    return u * u + v * v <= 1.0;
}

void fill_ellipse(canvas *c, double cx, double cy, double rx, double ry, uint8_t col) {
    for (int y = (int)std::floor(cy - ry) - 1; y <= (int)std::ceil(cy + ry); y++)
        for (int x = (int)std::floor(cx - rx) - 1; x <= (int)std::ceil(cx + rx); x++)
            if (in_ellipse(x, y, cx, cy, rx, ry)) put(c, x, y, col);
}

void shade_ellipse(canvas *c, double cx, double cy, double rx, double ry, const uint8_t *ramp,
                   int n) {
    // Light from the top left and a little in front.
    const double lx = -0.55, ly = -0.65, lz = 0.52;
    for (int y = (int)std::floor(cy - ry) - 1; y <= (int)std::ceil(cy + ry); y++)
        for (int x = (int)std::floor(cx - rx) - 1; x <= (int)std::ceil(cx + rx); x++) {
            if (!in_ellipse(x, y, cx, cy, rx, ry)) continue;
            double u = (x + 0.5 - cx) / rx, v = (y + 0.5 - cy) / ry;
            double z = std::sqrt(std::max(0.0, 1.0 - u * u - v * v));
            double l = u * lx + v * ly + z * lz;
            double t = (l + 0.45) / 1.45;
            int k = (int)std::floor(t * n);
            if (k < 0) k = 0;
            if (k >= n) k = n - 1;
            put(c, x, y, ramp[k]);
        }
}

void shadow_ellipse(canvas *c, double cx, double cy, double rx, double ry, uint8_t col) {
    for (int y = (int)std::floor(cy - ry) - 1; y <= (int)std::ceil(cy + ry); y++)
        for (int x = (int)std::floor(cx - rx) - 1; x <= (int)std::ceil(cx + rx); x++)
            if (in_ellipse(x, y, cx, cy, rx, ry) && ((x + y) & 1) == 0 && get(c, x, y) == MASK)
                put(c, x, y, col);
}

void bevel(canvas *c, int x, int y, int w, int h, uint8_t light, uint8_t dark) {
    for (int i = x; i < x + w; i++)
        put(c, i, y, light), put(c, i, y + h - 1, dark);
    for (int j = y; j < y + h; j++)
        put(c, x, j, light), put(c, x + w - 1, j, dark);
    put(c, x + w - 1, y, dark == MASK ? light : get(c, x + w - 1, y));
}

void outline(canvas *c, uint8_t col) {
    canvas src = *c;
    for (int y = 0; y < c->h; y++)
        for (int x = 0; x < c->w; x++) {
            if (get(&src, x, y) != MASK) continue;
            static const int dx[4] = {1, -1, 0, 0}, dy[4] = {0, 0, 1, -1};
            for (int k = 0; k < 4; k++) {
                uint8_t n = get(&src, x + dx[k], y + dy[k]);
                if (n != MASK) {
                    put(c, x, y, col == MASK ? ramp_darkest(n) : col);
                    break;
                }
            }
        }
}

void blit(canvas *dst, const canvas *src, int x, int y) {
    blit_part(dst, src, 0, 0, src->w, src->h, x, y);
}

void blit_part(canvas *dst, const canvas *src, int sx, int sy, int w, int h, int x, int y) {
    for (int j = 0; j < h; j++)
        for (int i = 0; i < w; i++) {
            uint8_t p = get(src, sx + i, sy + j);
            if (p != MASK) put(dst, x + i, y + j, p);
        }
}

canvas flip_h(const canvas *c) {
    canvas o = make_canvas(c->w, c->h);
    for (int y = 0; y < c->h; y++)
        for (int x = 0; x < c->w; x++)
            put(&o, c->w - 1 - x, y, get(c, x, y));
    return o;
}

canvas rotate_cw(const canvas *c) {
    canvas o = make_canvas(c->h, c->w);
    for (int y = 0; y < c->h; y++)
        for (int x = 0; x < c->w; x++)
            put(&o, c->h - 1 - y, x, get(c, x, y));
    return o;
}

canvas crop(const canvas *c, int x, int y, int w, int h) {
    canvas o = make_canvas(w, h);
    for (int j = 0; j < h; j++)
        for (int i = 0; i < w; i++)
            put(&o, i, j, get(c, x + i, y + j));
    return o;
}

canvas shrink(const canvas *c, int max_w, int max_h) {
    double k = std::max((double)c->w / max_w, (double)c->h / max_h);
    if (k < 1) k = 1;
    int w = (int)(c->w / k), h = (int)(c->h / k);
    canvas o = make_canvas(w, h);
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) {
            int x0 = (int)(x * k), x1 = std::max(x0 + 1, (int)((x + 1) * k));
            int y0 = (int)(y * k), y1 = std::max(y0 + 1, (int)((y + 1) * k));
            long r = 0, g = 0, b = 0, n = 0, masked = 0;
            for (int j = y0; j < y1; j++)
                for (int i = x0; i < x1; i++) {
                    uint8_t p = get(c, i, j);
                    if (p == MASK) {
                        masked++;
                        continue;
                    }
                    r += GAME_PALETTE[p].r, g += GAME_PALETTE[p].g, b += GAME_PALETTE[p].b, n++;
                }
            // Mostly transparent areas stay transparent.
            if (masked > n) continue;
            put(&o, x, y, nearest_colour(r / n, g / n, b / n));
        }
    return o;
}

canvas magnify(const canvas *c, int k) {
    canvas o = make_canvas(c->w * k, c->h * k);
    for (int y = 0; y < o.h; y++)
        for (int x = 0; x < o.w; x++)
            put(&o, x, y, get(c, x / k, y / k));
    return o;
}

double noise(int x, int y, int seed) {
    uint32_t h = (uint32_t)x * 374761393u + (uint32_t)y * 668265263u + (uint32_t)seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return (h & 0xffffff) / 16777216.0;
}

void pixel_init() {
    static bool done = false;
    if (done) return;
    install_allegro(SYSTEM_NONE, &errno, atexit);
    set_color_depth(24);
    done = true;
}

bool save_canvas(const canvas *c, const std::string &path) {
    pixel_init();
    BITMAP *b = create_bitmap_ex(24, c->w, c->h);
    if (!b) return false;
    for (int y = 0; y < c->h; y++)
        for (int x = 0; x < c->w; x++) {
            uint8_t p = get(c, x, y);
            int col = p == MASK
                          ? makecol24(255, 0, 255)
                          : makecol24(GAME_PALETTE[p].r, GAME_PALETTE[p].g, GAME_PALETTE[p].b);
            putpixel(b, x, y, col);
        }
    bool ok = save_bitmap(path.c_str(), b, nullptr) == 0;
    destroy_bitmap(b);
    return ok;
}

bool load_canvas(canvas *c, const std::string &path) {
    pixel_init();
    BITMAP *b = load_bitmap(path.c_str(), nullptr);
    if (!b) return false;
    *c = make_canvas(b->w, b->h);
    for (int y = 0; y < b->h; y++)
        for (int x = 0; x < b->w; x++) {
            int p = getpixel(b, x, y);
            int r = getr_depth(bitmap_color_depth(b), p), g = getg_depth(bitmap_color_depth(b), p),
                bl = getb_depth(bitmap_color_depth(b), p);
            put(c, x, y,
                (r == 255 && g == 0 && bl == 255) ? (uint8_t)MASK : nearest_colour(r, g, bl));
        }
    destroy_bitmap(b);
    return true;
}

void make_dirs_for(const std::string &dir) {
    for (size_t i = 1; i <= dir.size(); i++)
        if (i == dir.size() || dir[i] == '/') mkdir(dir.substr(0, i).c_str(), 0755);
}
