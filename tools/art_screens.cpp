// Menu background, stone buttons, map chooser arrows and preview, end pictures.
#include "art.h"
#include "glyphs.h"

#include <cmath>

// Ordered dither between two colours: t = 0 gives a, 1 gives b.
static uint8_t dither(int x, int y, double t, uint8_t a, uint8_t b) {
    static const int bayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    return t * 16 > bayer[y & 3][x & 3] + 0.5 ? b : a;
}

struct stop {
    double at;
    uint8_t col;
};

static uint8_t gradient(int x, int y, double v, const std::vector<stop> &stops) {
    if (v <= stops.front().at) return stops.front().col;
    for (size_t i = 1; i < stops.size(); i++)
        if (v <= stops[i].at) {
            double t = (v - stops[i - 1].at) / (stops[i].at - stops[i - 1].at);
            return dither(x, y, t, stops[i - 1].col, stops[i].col);
        }
    return stops.back().col;
}

// Text as a mask canvas (1 where inked), crisp.
static canvas text_mask(const std::string &s, int size, int spacing = 0) {
    font_face *f = open_face(font_path(true), size);
    canvas m = make_canvas(1, 1);
    if (!f) return m;
    coverage cov = render_text(f, s, false, spacing);
    close_face(f);
    m = make_canvas(cov.w, cov.h);
    for (int y = 0; y < cov.h; y++)
        for (int x = 0; x < cov.w; x++)
            if (cov.at(x, y) >= 110) put(&m, x, y, ST0);
    // Trim empty rows so that centring is visual.
    int top = 0, bottom = m.h - 1, left = 0, right = m.w - 1;
    auto row_empty = [&](int y) {
        for (int x = 0; x < m.w; x++)
            if (get(&m, x, y) != MASK) return false;
        return true;
    };
    auto col_empty = [&](int x) {
        for (int y = 0; y < m.h; y++)
            if (get(&m, x, y) != MASK) return false;
        return true;
    };
    while (top < bottom && row_empty(top))
        top++;
    while (bottom > top && row_empty(bottom))
        bottom--;
    while (left < right && col_empty(left))
        left++;
    while (right > left && col_empty(right))
        right--;
    return crop(&m, left, top, right - left + 1, bottom - top + 1);
}

static bool inked(const canvas *m, int x, int y) {
    return get(m, x, y) != MASK;
}

int draw_label(canvas *c, const std::string &utf8, int size, int x, int y, uint8_t col) {
    canvas m = text_mask(utf8, size);
    for (int j = 0; j < m.h; j++)
        for (int i = 0; i < m.w; i++)
            if (inked(&m, i, j)) put(c, x + i, y + j, col);
    return m.w;
}

// Paints a mask onto c at (x, y) with a colour chosen per pixel.
template <typename F>
static void paint_mask(canvas *c, const canvas *m, int x, int y, F colour_at) {
    for (int j = 0; j < m->h; j++)
        for (int i = 0; i < m->w; i++)
            if (inked(m, i, j)) put(c, x + i, y + j, colour_at(i, j));
}

// Grows a mask by r pixels (square neighbourhood).
static canvas grow(const canvas *m, int r) {
    canvas o = make_canvas(m->w + 2 * r, m->h + 2 * r);
    for (int y = 0; y < m->h; y++)
        for (int x = 0; x < m->w; x++)
            if (inked(m, x, y))
                for (int dy = -r; dy <= r; dy++)
                    for (int dx = -r; dx <= r; dx++)
                        if (dx * dx + dy * dy <= r * r + r) put(&o, x + r + dx, y + r + dy, ST0);
    return o;
}

// Engraved (off) or glowing (on) label centred in a box.
static void label(canvas *c, const std::string &s, int size, int bx, int by, int bw, int bh,
                  bool on) {
    canvas m = text_mask(s, size);
    int x = bx + (bw - m.w) / 2, y = by + (bh - m.h) / 2;
    if (on) {
        canvas halo = grow(&m, 2);
        paint_mask(c, &halo, x - 2, y - 2, [](int, int) { return EM2; });
        canvas halo1 = grow(&m, 1);
        paint_mask(c, &halo1, x - 1, y - 1, [](int, int) { return EM3; });
        paint_mask(c, &m, x, y, [&](int, int j) { return j < m.h / 2 ? HOT1 : HOT0; });
    } else {
        paint_mask(c, &m, x + 1, y + 1, [](int, int) { return ST3; });
        paint_mask(c, &m, x, y, [](int, int) { return ST0; });
        paint_mask(c, &m, x, y, [&](int i, int j) { return inked(&m, i - 1, j - 1) ? ST0 : ST1; });
    }
}

// A stone plate with rounded corners, raised; warm and glowing when on.
static void plate(canvas *c, int w, int h, bool on, int seed) {
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) {
            double n = noise(x / 3, y / 2, seed);
            uint8_t base = on ? (n < 0.12 ? ST2 : ST3) : (n < 0.12 ? ST1 : n > 0.93 ? ST3 : ST2);
            put(c, x, y, base);
        }
    bevel(c, 0, 0, w, h, on ? EM4 : ST4, ST0);
    bevel(c, 1, 1, w - 2, h - 2, on ? EM3 : ST3, on ? EM1 : ST1);
    if (on) bevel(c, 2, 2, w - 4, h - 4, EM2, EM2);
    // Rounded corners.
    for (int k = 0; k < 2; k++) {
        put(c, k, 0, MASK), put(c, 0, k, MASK), put(c, w - 1 - k, 0, MASK), put(c, w - 1, k, MASK);
        put(c, k, h - 1, MASK), put(c, 0, h - 1 - k, MASK), put(c, w - 1 - k, h - 1, MASK),
            put(c, w - 1, h - 1 - k, MASK);
    }
    // Chipped stone: a couple of cracks.
    line(c, w - 30, 3, w - 24, 9, on ? EM3 : ST1);
    line(c, w - 24, 9, w - 26, 14, on ? EM3 : ST1);
    line(c, 8, h - 4, 14, h - 9, on ? EM3 : ST1);
}

canvas menu_button(const std::string &text, bool on) {
    canvas c = make_canvas(260, 52);
    plate(&c, c.w, c.h, on, 50 + (int)text.size());
    label(&c, text, 28, 0, 0, c.w, c.h, on);
    if (on) {
        // Embers at the ends of the lit plate.
        for (int side = 0; side < 2; side++) {
            int x = side ? c.w - 22 : 14;
            fill_poly(
                &c,
                {{(double)x, 26}, {(double)x + 5, 20}, {(double)x + 10, 26}, {(double)x + 5, 32}},
                EM4);
            put(&c, x + 5, 26, HOT1), put(&c, x + 4, 25, HOT0), put(&c, x + 6, 27, EM3);
        }
    }
    return c;
}

canvas arrow_button(bool left, bool on) {
    canvas c = make_canvas(150, 40);
    plate(&c, c.w, c.h, on, left ? 60 : 61);
    canvas a = make_canvas(150, 40);
    for (int k = 0; k < 2; k++) {
        double x0 = 50 + k * 26;
        fill_poly(&a, {{x0, 20}, {x0 + 22, 8}, {x0 + 22, 32}}, ST0);
    }
    if (!left) a = flip_h(&a);
    canvas rim = grow(&a, 1);
    for (int y = 0; y < rim.h; y++)
        for (int x = 0; x < rim.w; x++)
            if (inked(&rim, x, y) && !inked(&a, x - 1, y - 1))
                put(&c, x - 1, y - 1, on ? EM2 : ST0);
    for (int y = 0; y < 40; y++)
        for (int x = 0; x < 150; x++)
            if (inked(&a, x, y)) {
                bool top_left_edge = !inked(&a, x - 1, y) || !inked(&a, x, y - 1);
                bool low_right_edge = !inked(&a, x + 1, y) || !inked(&a, x, y + 1);
                if (on)
                    put(&c, x, y, top_left_edge ? HOT1 : y < 20 ? HOT0 : EM4);
                else
                    put(&c, x, y, top_left_edge ? ST4 : low_right_edge ? ST1 : ST3);
            }
    return c;
}

// Drifting embers over a background, fewer where buttons stand.
static void embers(canvas *c, int count, int seed, int avoid_x0, int avoid_x1) {
    for (int i = 0; i < count; i++) {
        int x = (int)(noise(i, 1, seed) * c->w), y = (int)(noise(i, 2, seed) * c->h);
        if (x > avoid_x0 && x < avoid_x1 && noise(i, 3, seed) < 0.8) continue;
        double r = noise(i, 4, seed);
        if (r < 0.1) {
            put(c, x, y, HOT0);
            put(c, x - 1, y, EM3), put(c, x + 1, y, EM3), put(c, x, y - 1, EM3),
                put(c, x, y + 1, EM2);
            put(c, x, y + 2, EM1);
        } else if (r < 0.4) {
            put(c, x, y, EM4), put(c, x, y + 1, EM2);
        } else {
            put(c, x, y, r < 0.7 ? EM2 : EM1);
        }
    }
}

// Jagged rock along the left or right edge: stacked stones lit from the top left.
static void rock_wall(canvas *c, bool right, int seed) {
    for (int y = 0; y < c->h; y++) {
        double edge = 40 + 22 * std::sin(y * 0.021 + seed) + 10 * std::sin(y * 0.07 + seed * 2) +
                      5 * noise(y / 6, 0, seed);
        int row = y / 9;
        for (int k = 0; k < (int)edge; k++) {
            int x = right ? c->w - 1 - k : k;
            int shift = (int)(noise(row, 1, seed) * 12);
            int u = (x + shift) % 14, v = y % 9;
            uint8_t col = ST1;
            if (u == 0 || v == 0)
                col = ST0;
            else if (u == 1 || v == 1)
                col = ST2;
            else if (noise(x, y, seed) < 0.06)
                col = ST0;
            if (k > edge - 2) col = right ? ST0 : ST2;
            put(c, x, y, col);
        }
    }
}

static void stone_title(canvas *c, const std::string &text, int size, int cy) {
    canvas m = text_mask(text, size, 2);
    int x = (c->w - m.w) / 2, y = cy;
    canvas outer = grow(&m, 4);
    paint_mask(c, &outer, x - 4 + 5, y - 4 + 6, [](int, int) { return ST0; }); // drop shadow
    paint_mask(c, &outer, x - 4, y - 4, [&](int i, int j) { return dither(i, j, 0.35, ST0, EM1); });
    canvas rim = grow(&m, 2);
    paint_mask(c, &rim, x - 2, y - 2, [](int, int) { return ST0; });
    paint_mask(c, &m, x, y, [&](int i, int j) {
        double t = (double)j / m.h;
        // Stone lit from above, glowing embers underneath.
        uint8_t col = gradient(
            i, j, t, {{0.0, ST4}, {0.3, ST3}, {0.62, ST2}, {0.8, EM2}, {0.92, EM3}, {1.0, EM4}});
        if (!inked(&m, i - 1, j - 1) || !inked(&m, i, j - 2))
            col = t < 0.5 ? HOT1 : EM4;
        else if (!inked(&m, i + 1, j + 1))
            col = t < 0.6 ? ST1 : EM1;
        return col;
    });
    // Cracks across the letters, glowing.
    for (int k = 0; k < 14; k++) {
        int cx = x + (int)(noise(k, 7, 70) * m.w), cyy = y + (int)(noise(k, 8, 70) * m.h * 0.6);
        int len = 6 + (int)(noise(k, 9, 70) * 10);
        int px = cx, py = cyy;
        for (int s = 0; s < len; s++) {
            if (inked(&m, px - x, py - y) && inked(&m, px - x + 1, py - y) &&
                inked(&m, px - x - 1, py - y))
                put(c, px, py, s % 3 ? EM3 : ST1);
            px += noise(k, s, 71) < 0.5 ? 1 : -1;
            py += 1;
        }
    }
}

// Frame k of a strip, magnified `scale` times, onto c at x, y.
static void blit_magnified(canvas *c, const canvas *strip, int k, int scale, int x, int y) {
    canvas frame = frame_of(strip, k);
    canvas big = magnify(&frame, scale);
    blit(c, &big, x, y);
}

// A flat-topped lens: its height at x, from `height` in the middle down to 0 at +-half_width.
static double lens(int x, int middle, double half_width, double height) {
    double u = std::fabs(x - middle) / half_width;
    return u >= 1 ? 0 : height * std::pow(1 - u * u * u, 0.3);
}

// A thin glowing crack from (x, y) sideways (dir -1 or 1) for `length` pixels.
static void glowing_crack(canvas *c, int x, int y, int dir, int length, int seed) {
    for (int s = 0; s < length; s++, x += dir) {
        if (noise(s / 4, 0, seed) < 0.3) y += noise(s, 1, seed) < 0.5 ? -1 : 1;
        put(c, x, y, s < length / 2 ? EM4 : EM3);
        put(c, x, y + 1, s < length / 3 ? EM2 : EM1);
    }
}

// A seam of molten rock across the middle of the cave, white-hot, over the black cleft it
// opens. The key binding screen writes its blue question on the seam and its yellow or red
// answer in the cleft; in the map chooser the preview hides both.
static void molten_seam(canvas *c) {
    const int sill = 323; // the seam's bottom edge and the cleft's top
    glowing_crack(c, 180, sill - 4, -1, 110, 93);
    glowing_crack(c, 620, sill - 5, 1, 100, 94);
    for (int x = 170; x < 630; x++) {
        // Jagged in steps of a few pixels, like broken rock.
        double seam = lens(x, 400, 222, 44) * (0.9 + 0.1 * noise(x / 4, 0, 91));
        double cleft = lens(x, 400, 215, 36) * (0.85 + 0.15 * noise(x / 3, 1, 91));
        if (seam <= 0) continue;
        int top = sill - (int)seam;
        for (int y = top - 6; y < sill; y++) {
            double depth = (double)(y - top) / seam; // 0 at the seam's top, 1 at the sill
            uint8_t col = y < top - 2    ? dither(x, y, (y - top + 6) / 4.0, get(c, x, y), EM2)
                          : y < top      ? (uint8_t)EM3
                          : depth < 0.25 ? dither(x, y, depth * 4, EM4, HOT0)
                          : depth > 0.8  ? dither(x, y, (depth - 0.8) * 5, HOT0, HOT1)
                                         : (uint8_t)HOT0;
            put(c, x, y, col);
        }
        for (int y = sill; y < sill + (int)cleft + 2; y++)
            put(c, x, y, y < sill + (int)cleft ? (uint8_t)NIGHT : (uint8_t)ST0);
    }
}

canvas menu_background(const canvas *player, const canvas *bombs, const canvas *diamonds) {
    canvas c = make_canvas(800, 600);
    for (int y = 0; y < 600; y++)
        for (int x = 0; x < 800; x++) {
            double glow =
                std::exp(-((x - 610) * (x - 610) / 60000.0 + (y - 430) * (y - 430) / 30000.0));
            double v = y / 600.0 * 0.6 + glow * 0.45;
            if (y > 540) v = std::min(v, 0.15 - (y - 540) / 600.0);
            put(&c, x, y,
                gradient(x, y, v, {{0.12, ST0}, {0.32, PU0}, {0.5, EM0}, {0.7, EM1}, {0.9, EM2}}));
        }
    embers(&c, 520, 77, 110, 430);
    // The pit along the bottom, where the chooser writes the map's name in red.
    for (int y = 540; y < 600; y++)
        for (int x = 0; x < 800; x++)
            put(&c, x, y, dither(x, y, (y - 540) / 8.0, get(&c, x, y), NIGHT));
    molten_seam(&c);
    rock_wall(&c, false, 3);
    rock_wall(&c, true, 5);
    // The heroes of the game, large: a lit ledge, a bomb, diamonds and the miner. They keep
    // out of the middle, where the map chooser shows its 448 x 312 preview (176..624 by
    // 144..456), so that nothing of them sticks out round a preview.
    for (int y = 490; y < 530; y++)
        for (int x = 440; x < 790; x++) {
            double u = (x - 615) / 175.0, v = (y - 508) / 18.0;
            if (u * u + v * v <= 1) put(&c, x, y, v < -0.55 ? ST3 : v < 0 ? ST2 : ST1);
        }
    blit_magnified(&c, player, 8, 5, 632, 280);
    blit_magnified(&c, bombs, 2, 2, 562, 458);
    blit_magnified(&c, diamonds, 0, 3, 690, 150);
    blit_magnified(&c, diamonds, 1, 2, 470, 460);
    stone_title(&c, "Cindermaze", 92, 30);
    canvas sub = text_mask("Le labyrinthe des braises", 24);
    paint_mask(&c, &sub, (800 - sub.w) / 2 + 2, 168, [](int, int) { return ST0; });
    paint_mask(&c, &sub, (800 - sub.w) / 2, 166, [](int, int) { return EM4; });
    return c;
}

static void framed_panel(canvas *c, int w, int h) {
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++)
            put(c, x, y, gradient(x, y, (double)y / h, {{0, ST1}, {0.6, ST0}, {1, PU0}}));
    for (int k = 0; k < 6; k++)
        bevel(c, k, k, w - 2 * k, h - 2 * k, k < 3 ? ST3 : ST1, k < 3 ? ST0 : ST2);
    bevel(c, 0, 0, w, h, ST4, ST0);
}

canvas surprise_preview() {
    canvas c = make_canvas(448, 312);
    framed_panel(&c, c.w, c.h);
    embers(&c, 160, 91, -1, -1);
    canvas q = text_mask("?", 170);
    int x = (c.w - q.w) / 2, y = 40;
    canvas halo = grow(&q, 3);
    paint_mask(&c, &halo, x - 3, y - 3, [](int i, int j) { return dither(i, j, 0.5, EM1, EM2); });
    paint_mask(&c, &q, x, y, [&](int, int j) {
        return j < q.h / 3 ? HOT0 : j < 2 * q.h / 3 ? EM4 : EM3;
    });
    canvas t = text_mask("Surprise !", 30);
    paint_mask(&c, &t, (c.w - t.w) / 2 + 2, 252, [](int, int) { return ST0; });
    paint_mask(&c, &t, (c.w - t.w) / 2, 250, [](int, int) { return ST4; });
    return c;
}

canvas win_picture(const canvas *diamonds) {
    canvas c = make_canvas(512, 384);
    const double cx = 256, cy = 200;
    for (int y = 0; y < c.h; y++)
        for (int x = 0; x < c.w; x++) {
            double dx = x - cx, dy = y - cy;
            double r = std::sqrt(dx * dx + dy * dy) / 300.0;
            double a = std::atan2(dy, dx);
            double ray = std::sin(a * 12) > 0.35 ? 0.12 : 0;
            double v = 1.0 - r + ray;
            put(&c, x, y,
                gradient(
                    x, y, v,
                    {{0.1, BL0}, {0.3, PU0}, {0.5, PU1}, {0.68, EM3}, {0.82, EM4}, {0.95, HOT0}}));
        }
    // Diamonds in a crown around the big one.
    for (int k = 0; k < 7; k++) {
        double a = 3.14159265 * (1.05 + k * 0.15);
        canvas d = frame_of(diamonds, k % 3);
        canvas dm = magnify(&d, 2);
        blit(&c, &dm, (int)(cx + 185 * std::cos(a)) - 32, (int)(cy + 40 + 150 * std::sin(a)) - 32);
    }
    canvas big = frame_of(diamonds, 0);
    canvas bm = magnify(&big, 5);
    blit(&c, &bm, (int)cx - 80, (int)cy - 70);
    canvas t = text_mask("VICTOIRE !", 56);
    int tx = (c.w - t.w) / 2, ty = 300;
    canvas rim = grow(&t, 3);
    paint_mask(&c, &rim, tx - 3, ty - 3, [](int, int) { return EM0; });
    canvas rim1 = grow(&t, 1);
    paint_mask(&c, &rim1, tx - 1, ty - 1, [](int, int) { return EM2; });
    paint_mask(&c, &t, tx, ty, [&](int, int j) { return j < t.h / 2 ? HOT1 : HOT0; });
    for (int k = 0; k < 5; k++)
        bevel(&c, k, k, c.w - 2 * k, c.h - 2 * k, k < 2 ? EM4 : EM2, k < 2 ? EM1 : EM0);
    return c;
}

// The lose picture is stretched over the whole game screen. Drawn at 160 x 120 in flat
// colours and broad shapes (no dithering, no one-pixel lines), each of its pixels becomes a
// block of 4, 5 or 6 to 7 screen pixels at 640 x 480, 800 x 600 and 1024 x 768: chunky
// pixel art that stays even and crisp at all three.
canvas lose_picture() {
    canvas c = make_canvas(160, 120);
    // Smoke in soft bands, darker towards the bottom.
    for (int y = 0; y < c.h; y++)
        for (int x = 0; x < c.w; x++) {
            double wave = std::sin(x * 0.09 + std::sin(y * 0.15) * 1.5) * 6;
            double v = (y + wave) / c.h;
            put(&c, x, y, v < 0.3 ? PU0 : v < 0.62 ? ST1 : v < 0.85 ? ST0 : PU0);
        }
    // Billows of smoke rising from the rubble behind the slab, thinning upwards.
    for (int k = 0; k < 26; k++) {
        double x = noise(k, 1, 81) * 170 - 5, up = noise(k, 2, 81);
        double y = 118 - up * up * 110, r = 13 - up * 8;
        fill_ellipse(&c, x, y, r, r * 0.8, ST1);
        fill_ellipse(&c, x - r * 0.25, y - r * 0.2, r * 0.6, r * 0.45, up < 0.5 ? ST2 : ST1);
    }
    fill_rect(&c, 0, 110, 160, 10, ST0);
    for (int x = 0; x < 160; x += 9)
        fill_ellipse(&c, x + 4 * noise(x, 3, 82), 110, 5, 3, x % 2 ? ST1 : ST0);
    // A cracked stone slab, its face in broad patches.
    const int SX = 18, SY = 30, SW = 124, SH = 58;
    fill_rect(&c, SX, SY, SW, SH, ST2);
    for (int y = SY + 2; y < SY + SH - 2; y++)
        for (int x = SX + 2; x < SX + SW - 2; x++)
            if (noise(x / 5, y / 4, 80) < 0.25) put(&c, x, y, ST1);
    fill_rect(&c, SX, SY, SW, 2, ST3), fill_rect(&c, SX, SY, 2, SH, ST3);
    fill_rect(&c, SX, SY + SH - 2, SW, 2, ST0), fill_rect(&c, SX + SW - 2, SY, 2, SH, ST0);
    // Two cracks, two pixels wide, lit on their upper lip.
    const std::vector<pt> cracks[2] = {{{18, 76}, {30, 74}, {38, 82}, {36, 88}},
                                       {{118, 30}, {122, 38}, {132, 41}, {139, 39}}};
    for (const auto &crack : cracks)
        for (size_t i = 1; i < crack.size(); i++) {
            const pt &a = crack[i - 1], &b = crack[i];
            line(&c, (int)a.x, (int)a.y - 1, (int)b.x, (int)b.y - 1, ST3);
            line(&c, (int)a.x, (int)a.y, (int)b.x, (int)b.y, ST0);
            line(&c, (int)a.x + 1, (int)a.y, (int)b.x + 1, (int)b.y, ST0);
        }
    // PERDU carved in ember red, with a dark edge and a lit lower lip.
    canvas t = text_mask("PERDU", 25, 1);
    int tx = (c.w - t.w) / 2, ty = SY + (SH - t.h) / 2;
    canvas edge = grow(&t, 1);
    paint_mask(&c, &edge, tx - 1, ty, [](int, int) { return ST3; });
    paint_mask(&c, &edge, tx - 1, ty - 1, [](int, int) { return ST0; });
    paint_mask(&c, &t, tx, ty, [&](int, int j) { return j < t.h / 2 ? EM2 : EM1; });
    // A few embers, each a single bright pixel with a red one below.
    for (int i = 0; i < 14; i++) {
        int x = (int)(noise(i, 1, 83) * c.w), y = (int)(noise(i, 2, 83) * c.h);
        if (y >= SY - 2 && y <= SY + SH + 1) continue;
        put(&c, x, y, i % 3 ? EM3 : EM4), put(&c, x, y + 1, EM1);
    }
    return c;
}
