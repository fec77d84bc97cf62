// Readability of the map themes: how far apart in colour each theme's floor and wall are
// from each other and from the pieces drawn on them.
#include "art.h"

#include <algorithm>
#include <cmath>

// CIE L*a*b* of an sRGB colour (D65 white).
static void to_lab(const rgb &c, double lab[3]) {
    auto linear = [](int v) {
        double s = v / 255.0;
        return s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    double r = linear(c.r), g = linear(c.g), b = linear(c.b);
    double xyz[3] = {(0.4124 * r + 0.3576 * g + 0.1805 * b) / 0.95047,
                     0.2126 * r + 0.7152 * g + 0.0722 * b,
                     (0.0193 * r + 0.1192 * g + 0.9505 * b) / 1.08883};
    double f[3];
    for (int k = 0; k < 3; k++)
        f[k] = xyz[k] > 0.008856 ? std::cbrt(xyz[k]) : 7.787 * xyz[k] + 16.0 / 116.0;
    lab[0] = 116 * f[1] - 16;
    lab[1] = 500 * (f[0] - f[1]);
    lab[2] = 200 * (f[1] - f[2]);
}

// Mean L*a*b* colour of the opaque pixels of a picture: what the eye sees of it at a glance.
static void mean_lab(const canvas *c, double lab[3]) {
    double sum[3] = {0, 0, 0};
    int n = 0;
    for (uint8_t p : c->px) {
        if (p == MASK) continue;
        double one[3];
        to_lab(GAME_PALETTE[p], one);
        for (int k = 0; k < 3; k++)
            sum[k] += one[k];
        n++;
    }
    for (int k = 0; k < 3; k++)
        lab[k] = n ? sum[k] / n : 0;
}

static double delta_e(const double a[3], const double b[3]) {
    return std::sqrt((a[0] - b[0]) * (a[0] - b[0]) + (a[1] - b[1]) * (a[1] - b[1]) +
                     (a[2] - b[2]) * (a[2] - b[2]));
}

double tile_distance(const canvas *a, const canvas *b) {
    double la[3], lb[3];
    mean_lab(a, la);
    mean_lab(b, lb);
    return delta_e(la, lb);
}

double piece_distance(const canvas *piece, const canvas *ground) {
    // The body: opaque pixels whose four neighbours are opaque too (no outline, no shadow dots).
    canvas body = make_canvas(piece->w, piece->h);
    for (int y = 0; y < piece->h; y++)
        for (int x = 0; x < piece->w; x++)
            if (get(piece, x, y) != MASK && get(piece, x - 1, y) != MASK &&
                get(piece, x + 1, y) != MASK && get(piece, x, y - 1) != MASK &&
                get(piece, x, y + 1) != MASK)
                put(&body, x, y, get(piece, x, y));
    return tile_distance(&body, ground);
}

std::vector<contrast> theme_contrasts(int theme) {
    canvas tiles = tile_strip(theme);
    canvas floor_t = frame_of(&tiles, 0), wall_t = frame_of(&tiles, 1), block = frame_of(&tiles, 2);
    canvas diamonds = diamond_strip(), monsters = monster_strip(), bonuses = bonus_strip(),
           players = player_strip();
    std::vector<std::pair<std::string, canvas>> pieces = {{"block", block},
                                                          {"diamond", frame_of(&diamonds, 0)},
                                                          {"monster", frame_of(&monsters, 0)},
                                                          {"player", frame_of(&players, 8)}};
    // Frame 0 of the bonus strip is the empty picture under a block; 1-7 are the kinds.
    for (int k = 1; k < bonuses.w / 32; k++)
        pieces.push_back({"bonus " + std::to_string(k), frame_of(&bonuses, k)});
    std::vector<contrast> out = {{"wall", "floor", tile_distance(&wall_t, &floor_t)}};
    for (const auto &p : pieces) {
        out.push_back({p.first, "floor", piece_distance(&p.second, &floor_t)});
        out.push_back({p.first, "wall", piece_distance(&p.second, &wall_t)});
    }
    return out;
}

contrast least_contrast(int theme) {
    std::vector<contrast> all = theme_contrasts(theme);
    contrast least = all[0];
    for (const contrast &c : all)
        if (c.distance < least.distance) least = c;
    return least;
}
