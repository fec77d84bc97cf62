// Sprite strips of the play field: player, monster, bombs, diamonds, bonuses, flames.
// Light comes from the top left; movers and items get a dark outline of their own ramp.
#include "art.h"

#include <cmath>
#include <cstring>

void fill_poly(canvas *c, const std::vector<pt> &poly, uint8_t col) {
    for (int y = 0; y < c->h; y++)
        for (int x = 0; x < c->w; x++) {
            double px = x + 0.5, py = y + 0.5;
            bool in = false;
            for (size_t i = 0, j = poly.size() - 1; i < poly.size(); j = i++) {
                if ((poly[i].y > py) != (poly[j].y > py) &&
                    px < (poly[j].x - poly[i].x) * (py - poly[i].y) / (poly[j].y - poly[i].y) +
                             poly[i].x)
                    in = !in;
            }
            if (in) put(c, x, y, col);
        }
}

void stamp(canvas *c, int x, int y, const std::vector<const char *> &rows, const char *keys,
           const uint8_t *cols) {
    for (size_t j = 0; j < rows.size(); j++)
        for (size_t i = 0; rows[j][i]; i++) {
            const char *k = strchr(keys, rows[j][i]);
            if (k && rows[j][i] != '.') put(c, x + (int)i, y + (int)j, cols[k - keys]);
        }
}

canvas frame_of(const canvas *strip, int k) {
    return crop(strip, k * 32, 0, 32, strip->h);
}

canvas join_frames(const std::vector<canvas> &frames) {
    int h = frames.empty() ? 32 : frames[0].h;
    canvas s = make_canvas(32 * (int)frames.size(), h);
    for (size_t i = 0; i < frames.size(); i++)
        blit(&s, &frames[i], 32 * (int)i, 0);
    return s;
}

// ---------------------------------------------------------------- bombs

static void draw_spark(canvas *c, int x, int y, int size, bool bright) {
    uint8_t core = bright ? HOT1 : HOT0, ray = bright ? HOT0 : EM4, tip = bright ? EM4 : EM3;
    for (int k = 1; k <= size; k++) {
        uint8_t col = k == 1 ? ray : tip;
        put(c, x + k, y, col), put(c, x - k, y, col), put(c, x, y + k, col), put(c, x, y - k, col);
    }
    if (size >= 2) {
        put(c, x + 1, y + 1, tip), put(c, x - 1, y - 1, tip), put(c, x + 1, y - 1, tip),
            put(c, x - 1, y + 1, tip);
    }
    put(c, x, y, core);
}

static canvas bomb_frame(int k, bool super) {
    canvas c = make_canvas(32, 32);
    static const double swell[4] = {0, 0.5, 1, 0.5};
    double r = 9.5 + swell[k];
    double cy = 18.5 - swell[k] * 0.5;
    static const uint8_t iron[] = {ST0, ST1, ST1, ST2, ST3};
    static const uint8_t violet[] = {PU0, PU1, PU1, PU2, PU2};
    shade_ellipse(&c, 16, cy, r, r, super ? violet : iron, 5);
    // Specular glint.
    put(&c, 11, (int)cy - 5, HOT1), put(&c, 12, (int)cy - 5, super ? BL4 : ST4),
        put(&c, 11, (int)cy - 4, super ? BL4 : ST4);
    // Cap and fuse.
    int top = (int)(cy - r);
    fill_rect(&c, 18, top - 1, 5, 3, super ? ST3 : ST2);
    put(&c, 18, top - 1, ST4);
    put(&c, 22, top + 1, ST1);
    static const int fuse[][2] = {{21, 1}, {22, 0}, {23, -1}, {24, -2}, {25, -2}, {26, -3}};
    for (auto &p : fuse)
        put(&c, p[0], top - 1 + p[1] - 1, BR2);
    if (super) {
        // A star on the belly.
        static const std::vector<const char *> star = {"..y..", ".yyy.", "yyyyy", ".y.y."};
        static const uint8_t cols[] = {EM4};
        stamp(&c, 14, (int)cy - 1, star, "y", cols);
        put(&c, 16, (int)cy, HOT0);
    }
    outline(&c);
    shadow_ellipse(&c, 16.5, 29, 9, 2.6, ST0);
    // Fuse spark flickers: big, small, bigger, small.
    static const int spark_size[4] = {2, 1, 3, 1};
    int sx = 27, sy = top - 5;
    draw_spark(&c, sx + (k == 3 ? 1 : 0), sy, spark_size[k] + (super ? 1 : 0), super || k == 2);
    return c;
}

canvas bombs_strip() {
    std::vector<canvas> f;
    for (int s = 0; s < 2; s++)
        for (int k = 0; k < 4; k++)
            f.push_back(bomb_frame(k, s == 1));
    return join_frames(f);
}

// ---------------------------------------------------------------- diamonds

static canvas diamond_frame(int k) {
    canvas c = make_canvas(32, 32);
    const double L = 5, R = 27, G = 13, T = 7, CX = 16, B = 28;
    fill_poly(&c, {{L, G}, {10, T}, {13, T}, {12, G}}, BL4);
    fill_poly(&c, {{12, G}, {13, T}, {19, T}, {20, G}}, BL3);
    fill_poly(&c, {{20, G}, {19, T}, {22, T}, {R, G}}, BL2);
    fill_poly(&c, {{L, G}, {12, G}, {CX, B}}, BL3);
    fill_poly(&c, {{12, G}, {20, G}, {CX, B}}, BL2);
    fill_poly(&c, {{20, G}, {R, G}, {CX, B}}, BL1);
    // Girdle and table edges catch the light.
    for (int x = 6; x < 20; x++)
        put(&c, x, (int)G, BL4);
    for (int x = 11; x < 19; x++)
        put(&c, x, (int)T, HOT1);
    put(&c, 8, 15, BL4), put(&c, 9, 16, BL4), put(&c, 10, 17, BL3);
    outline(&c, BL0);
    shadow_ellipse(&c, 16.5, 29.5, 7, 2, ST0);
    // The glint wanders across the stone.
    static const int gx[3] = {10, 21, 15}, gy[3] = {10, 11, 19};
    draw_spark(&c, gx[k], gy[k], k == 2 ? 1 : 2, true);
    if (k == 1) put(&c, 9, 17, HOT1);
    return c;
}

canvas diamond_strip() {
    std::vector<canvas> f;
    for (int k = 0; k < 3; k++)
        f.push_back(diamond_frame(k));
    return join_frames(f);
}

// ---------------------------------------------------------------- monster

static canvas monster_frame(int k) {
    canvas c = make_canvas(32, 32);
    // Breathing: the body squats and widens on frame 1.
    double rx = 12 + k * 0.8, ry = 11 - k * 1.0, cy = 17 + k * 1.0;
    static const uint8_t body[] = {PU0, PU1, PU1, PU2, PU2};
    // Horns first, so the head covers their roots.
    fill_poly(&c, {{7, cy - 6}, {6, cy - 13}, {11, cy - 8}}, EM3);
    fill_poly(&c, {{25, cy - 6}, {26, cy - 13}, {21, cy - 8}}, EM2);
    put(&c, 6, (int)(cy - 12), EM4);
    shade_ellipse(&c, 16, cy, rx, ry, body, 5);
    // Flat underside with three stubby feet.
    for (int x = 0; x < 32; x++)
        for (int y = 26; y < 32; y++)
            put(&c, x, y, MASK);
    for (int f = 0; f < 3; f++)
        fill_rect(&c, 7 + f * 8 - k, 25, 4, 2, PU0);
    fill_rect(&c, 6, 24, 20 + 2 * k, 1, PU1);
    // Glowing eyes under an angry brow; closed to a slit on frame 1.
    for (int e = 0; e < 2; e++) {
        int ex = e == 0 ? 10 : 19;
        int ey = (int)cy - 3;
        if (k == 0) {
            fill_rect(&c, ex, ey, 4, 4, EM4);
            fill_rect(&c, ex + 1, ey + 1, 2, 2, HOT1);
            put(&c, ex + (e == 0 ? 2 : 1), ey + 2, ST0);
        } else {
            fill_rect(&c, ex, ey + 2, 4, 1, EM3);
        }
        line(&c, ex - 1 + (e == 0 ? 0 : 5), ey - 2, ex + (e == 0 ? 4 : 0), ey - 1, PU0);
    }
    // Mouth with two fangs.
    int my = (int)cy + 4;
    fill_rect(&c, 12, my, 8, 2 - k, EM0);
    put(&c, 13, my, HOT1), put(&c, 18, my, HOT1);
    outline(&c);
    shadow_ellipse(&c, 16.5, 28.5, 12, 2.5, ST0);
    return c;
}

canvas monster_strip() {
    return join_frames({monster_frame(0), monster_frame(1)});
}

// ---------------------------------------------------------------- player

enum { P_UP, P_RIGHT, P_DOWN, P_LEFT };

// One walking frame, facing right or seen from the front or back; the left is mirrored.
static canvas player_frame(int dir, int k) {
    canvas c = make_canvas(32, 48);
    bool passing = (k & 1) != 0;
    int bob = passing ? -1 : 0;
    int sgn = k == 0 ? 1 : k == 2 ? -1 : 0;    // which leg leads
    int lifted = k == 1 ? 0 : k == 3 ? 1 : -1; // which foot swings past the other
    if (dir == P_UP || dir == P_DOWN) {
        // Legs and boots: the leading foot comes one pixel lower.
        for (int leg = 0; leg < 2; leg++) {
            int lx = leg == 0 ? 11 : 17;
            int lift = (leg == 0 ? sgn : -sgn);
            int foot = 43 + (lift > 0 ? 1 : lift < 0 ? -1 : 0) - (leg == lifted ? 1 : 0);
            fill_rect(&c, lx, 34 + bob, 4, foot - 34 - bob - 2, leg == 0 ? ST2 : ST1);
            fill_rect(&c, lx - 1, foot - 3, 5, 3, BR1);
            put(&c, lx - 1, foot - 3, BR2);
            fill_rect(&c, lx - 1, foot - 1, 5, 1, BR0);
        }
        // Arms swing opposite to the legs.
        for (int arm = 0; arm < 2; arm++) {
            int ax = arm == 0 ? 7 : 22;
            int sw = (arm == 0 ? -sgn : sgn);
            fill_rect(&c, ax, 25 + bob, 3, 8 + sw, arm == 0 ? BL3 : BL1);
            fill_rect(&c, ax, 33 + bob + sw, 3, 2, SK1);
        }
        // Tunic.
        static const uint8_t tunic[] = {BL1, BL2, BL2, BL3};
        shade_ellipse(&c, 16, 29.5 + bob, 7, 6.5, tunic, 4);
        fill_rect(&c, 9, 33 + bob, 14, 2, BR1);
        if (dir == P_DOWN) {
            fill_rect(&c, 15, 33 + bob, 2, 2, EM4);
            line(&c, 16, 24 + bob, 16, 31 + bob, BL1);
        } else {
            // Satchel of bombs on the back.
            fill_rect(&c, 12, 26 + bob, 8, 6, BR2);
            rect(&c, 12, 26 + bob, 8, 6, BR1);
            put(&c, 13, 27 + bob, BR3);
        }
        // Head.
        static const uint8_t skin[] = {SK0, SK1, SK1, SK2};
        static const uint8_t hair[] = {BR0, BR1, BR1, BR2};
        shade_ellipse(&c, 16, 16.5 + bob, 8, 7.5, dir == P_DOWN ? skin : hair, 4);
        if (dir == P_UP) {
            // Short hair above the neck, seen from behind.
            for (int y = 21 + bob; y < 26 + bob; y++)
                for (int x = 0; x < 32; x++) {
                    uint8_t p = get(&c, x, y);
                    if (p >= BR0 && p <= BR3) put(&c, x, y, x < 16 ? SK1 : SK0);
                }
            fill_rect(&c, 10, 20 + bob, 12, 1, BR0);
        }
        // Miner's helmet with its lamp.
        static const uint8_t helmet[] = {EM1, EM2, EM3, EM4};
        canvas h = make_canvas(32, 48);
        shade_ellipse(&h, 16, 14 + bob, 9, 8, helmet, 4);
        for (int y = 15 + bob; y < 48; y++)
            for (int x = 0; x < 32; x++)
                put(&h, x, y, MASK);
        blit(&c, &h, 0, 0);
        fill_rect(&c, 7, 14 + bob, 18, 2, EM1);
        fill_rect(&c, 7, 14 + bob, 18, 1, EM2);
        if (dir == P_DOWN) {
            fill_rect(&c, 14, 8 + bob, 4, 4, ST3);
            fill_rect(&c, 15, 9 + bob, 2, 2, HOT0);
            put(&c, 15, 9 + bob, HOT1);
            // Face.
            fill_rect(&c, 12, 18 + bob, 2, 3, ST0);
            fill_rect(&c, 18, 18 + bob, 2, 3, ST0);
            put(&c, 12, 18 + bob, HOT1), put(&c, 18, 18 + bob, HOT1);
            fill_rect(&c, 15, 22 + bob, 3, 1, SK0);
            put(&c, 10, 20 + bob, SK2 == SK2 ? EM3 : EM3);
            put(&c, 21, 20 + bob, EM3);
        } else {
            fill_rect(&c, 14, 10 + bob, 4, 2, EM1);
            line(&c, 12, 18 + bob, 20, 18 + bob, BR0);
        }
    } else {
        // Profile, facing right. Legs stride forward and back.
        for (int leg = 0; leg < 2; leg++) {
            int off = leg == 0 ? 3 * sgn : -3 * sgn;
            int lx = 14 + off + (leg == lifted ? 1 : 0);
            int up = leg == lifted ? 1 : 0;
            fill_rect(&c, lx, 34 + bob, 4, 7 - bob - up, leg == 0 ? ST2 : ST1);
            fill_rect(&c, lx, 41 - up, 6, 3, leg == 0 ? BR1 : BR0);
            put(&c, lx, 41 - up, BR2);
            fill_rect(&c, lx, 43 - up, 6, 1, BR0);
        }
        static const uint8_t tunic[] = {BL1, BL2, BL2, BL3};
        shade_ellipse(&c, 15.5, 29.5 + bob, 6, 6.5, tunic, 4);
        fill_rect(&c, 10, 33 + bob, 12, 2, BR1);
        // Satchel on the back.
        fill_rect(&c, 8, 26 + bob, 3, 7, BR2);
        put(&c, 8, 26 + bob, BR3);
        // Arm swings with the far leg.
        int sw = -2 * sgn;
        line(&c, 15, 26 + bob, 15 + sw, 32 + bob, BL3);
        line(&c, 16, 26 + bob, 16 + sw, 32 + bob, BL3);
        line(&c, 14, 26 + bob, 14 + sw, 31 + bob, BL2);
        fill_rect(&c, 15 + sw, 33 + bob, 2, 2, SK1);
        static const uint8_t skin[] = {SK0, SK1, SK1, SK2};
        shade_ellipse(&c, 16.5, 16.5 + bob, 7.5, 7.5, skin, 4);
        // Hair at the back of the head.
        fill_rect(&c, 9, 15 + bob, 4, 6, BR1);
        put(&c, 9, 15 + bob, BR2);
        static const uint8_t helmet[] = {EM1, EM2, EM3, EM4};
        canvas h = make_canvas(32, 48);
        shade_ellipse(&h, 15.5, 14 + bob, 8.5, 8, helmet, 4);
        for (int y = 15 + bob; y < 48; y++)
            for (int x = 0; x < 32; x++)
                put(&h, x, y, MASK);
        blit(&c, &h, 0, 0);
        fill_rect(&c, 8, 14 + bob, 19, 2, EM1);
        fill_rect(&c, 8, 14 + bob, 19, 1, EM2);
        fill_rect(&c, 22, 10 + bob, 2, 4, ST3);
        put(&c, 23, 11 + bob, HOT0), put(&c, 23, 12 + bob, HOT1), put(&c, 24, 11 + bob, HOT0);
        // Eye, nose, mouth.
        fill_rect(&c, 20, 18 + bob, 2, 3, ST0);
        put(&c, 20, 18 + bob, HOT1);
        put(&c, 24, 19 + bob, SK1), put(&c, 24, 20 + bob, SK0);
        fill_rect(&c, 21, 22 + bob, 2, 1, SK0);
        put(&c, 18, 21 + bob, EM3);
    }
    outline(&c);
    shadow_ellipse(&c, 16.5, 45.5, 9, 2.2, ST0);
    return c;
}

canvas player_strip() {
    std::vector<canvas> f;
    for (int dir = 0; dir < 4; dir++)
        for (int k = 0; k < 4; k++) {
            if (dir == P_LEFT) {
                canvas r = player_frame(P_RIGHT, k);
                f.push_back(flip_h(&r));
                // Keep the shadow dither and the outline at the same pixel parity after the mirror.
            } else {
                f.push_back(player_frame(dir, k));
            }
        }
    return join_frames(f);
}

// ---------------------------------------------------------------- bonuses

static void badge(canvas *c, uint8_t dark, uint8_t mid, uint8_t light) {
    uint8_t ramp[] = {dark, mid, mid, light};
    shade_ellipse(c, 16, 15.5, 13, 13, ramp, 4);
    uint8_t inner[] = {mid, mid, light};
    shade_ellipse(c, 16, 15.5, 10.5, 10.5, inner, 3);
    fill_ellipse(c, 16.5, 16.5, 9.5, 9.5, mid);
    fill_ellipse(c, 15.5, 15.5, 9.5, 9.5, mid);
    // A soft highlight arc at the top left.
    for (int a = 0; a < 10; a++) {
        double t = 3.6 + a * 0.09;
        put(c, (int)(16 + 11.5 * std::cos(t)), (int)(15.5 + 11.5 * std::sin(t)), light);
    }
}

static const uint8_t ICON_COLS[] = {ST0, HOT1, HOT0, EM4, EM3, EM2, EM1, BR0, BR1,
                                    BR2, BR3,  ST1,  ST2, ST3, ST4, SK0, SK1, SK2,
                                    PU1, PU2,  BL3,  BL4, BL2, GR1, GR2, GR3};
static const char *ICON_KEYS = "kwyorRdbBnNgGlLsSTpPiIjqQe";

static void small_bomb(canvas *c, double cx, double cy, double r, bool super) {
    static const uint8_t iron[] = {ST0, ST1, ST2, ST3};
    static const uint8_t violet[] = {PU0, PU1, PU1, PU2};
    canvas b = make_canvas(32, 32);
    shade_ellipse(&b, cx, cy, r, r, super ? violet : iron, 4);
    put(&b, (int)(cx - r * 0.45), (int)(cy - r * 0.5), HOT1);
    fill_rect(&b, (int)(cx + r * 0.3), (int)(cy - r) - 1, 3, 2, ST3);
    line(&b, (int)(cx + r * 0.3) + 2, (int)(cy - r) - 2, (int)(cx + r * 0.3) + 4, (int)(cy - r) - 4,
         BR2);
    outline(&b, ST0);
    blit(c, &b, 0, 0);
    draw_spark(c, (int)(cx + r * 0.3) + 5, (int)(cy - r) - 5, 1, true);
}

static canvas bonus_frame(int kind) {
    canvas c = make_canvas(32, 32);
    if (kind == 0) return c; // hidden: the block drawn over it says it all
    shadow_ellipse(&c, 17, 29.5, 11, 2.2, ST0);
    static const uint8_t badges[8][3] = {{0, 0, 0},        {GR1, GR2, GR3}, {BL1, BL2, BL3},
                                         {EM1, EM2, EM3},  {BR1, BR2, BR3}, {PU0, PU1, PU2},
                                         {GR2, GR3, HOT0}, {SK0, SK1, SK2}};
    canvas b = make_canvas(32, 32);
    badge(&b, badges[kind][0], badges[kind][1], badges[kind][2]);
    outline(&b, kind == 6 ? (uint8_t)ST0 : ramp_darkest(badges[kind][0]));
    blit(&c, &b, 0, 0);
    switch (kind) {
    case 1: { // one more bomb
        small_bomb(&c, 14, 18, 6, false);
        static const std::vector<const char *> plus = {".kkk.", "kkwkk", "kwwwk", "kkwkk", ".kkk."};
        stamp(&c, 19, 7, plus, ICON_KEYS, ICON_COLS);
        break;
    }
    case 2: { // winged boot
        static const std::vector<const char *> boot = {
            "........kkkkk.....", "..kkk...krRRk.....", ".kwwwk..krRRk.....", "kwlwwwk.krRRk.....",
            ".kwlwwwkkrRRk.....", "..kwlwwwkrRRk.....", "...kwlwwkrRRkk....", "....kwwkkrRRRRkk..",
            ".....kk.krRRRRRRk.", "........krRRRRRRRk", "........kdddddddRk", "........kLLLLLLLLk",
            ".........kkkkkkkk."};
        stamp(&c, 7, 9, boot, ICON_KEYS, ICON_COLS);
        break;
    }
    case 3: { // super bomb
        small_bomb(&c, 14, 18, 6.5, true);
        static const std::vector<const char *> star = {"...k...", "..kyk..", "kkkykkk", "kyyyyyk",
                                                       ".kyyyk.", ".kykyk.", ".kk.kk."};
        stamp(&c, 18, 5, star, ICON_KEYS, ICON_COLS);
        break;
    }
    case 4: { // clock, +15
        canvas k = make_canvas(32, 32);
        static const uint8_t face[] = {ST3, ST4, HOT1};
        shade_ellipse(&k, 16, 12.5, 6.5, 6.5, face, 3);
        outline(&k, ST0);
        blit(&c, &k, 0, 0);
        line(&c, 16, 12, 16, 8, ST0);
        line(&c, 16, 12, 19, 13, ST0);
        put(&c, 16, 7, EM2);
        static const std::vector<const char *> digits = {
            "kkk.kkk.kkkkk", "kwk.kwk.kwwwk", "kwkkkwk.kwkkk", "kwwwwwkkkwwwk",
            "kkkwkkk.kkkwk", "..kwk...kwwwk", "..kkk...kkkkk"};
        static const std::vector<const char *> fifteen = {
            ".kkk..kkk.kkkkk", "kkwkkkkwk.kwwwk", "kwwwkkwwk.kwkkk", "kkwkk.kwk.kwwwk",
            ".kkk..kwk.kkkwk", "......kwk.kwwwk", "......kkk.kkkkk"};
        (void)digits;
        stamp(&c, 9, 20, fifteen, ICON_KEYS, ICON_COLS);
        break;
    }
    case 5: { // crossed arrows
        canvas a = make_canvas(32, 32);
        for (int t = 0; t < 2; t++) {
            line(&a, 10 + t, 22, 20 + t, 12, HOT1);
            line(&a, 22 - t, 22, 12 - t, 12, HOT1);
        }
        fill_poly(&a, {{17, 9}, {24, 9}, {24, 16}}, HOT1);
        fill_poly(&a, {{15, 9}, {8, 9}, {8, 16}}, HOT1);
        outline(&a, ST0);
        blit(&c, &a, 0, 0);
        break;
    }
    case 6: { // snail
        static const std::vector<const char *> snail = {
            ".....kkkkk..........", "...kkNnnNkk.........", "..kNnkkkknNk........",
            ".kNnkNNnkknBk.......", ".knkNkkkNknBk...k.k.", ".knkNkNkNknBk...kTk.",
            ".kBnkkNNkkBBk...kTk.", "..kBnnnnnBBk...kTTk.", "..kkBBBBBBkkkkkTTk..",
            ".kTTTTTTTTTTTTTTTk..", "kSSSSSSSSSSSSSSSk...", ".kkkkkkkkkkkkkkk...."};
        stamp(&c, 6, 10, snail, ICON_KEYS, ICON_COLS);
        break;
    }
    case 7: { // die
        canvas d = make_canvas(32, 32);
        fill_rect(&d, 9, 9, 14, 14, HOT1);
        fill_rect(&d, 10, 22, 13, 1, ST3);
        fill_rect(&d, 22, 10, 1, 13, ST3);
        fill_rect(&d, 9, 9, 13, 1, HOT1);
        put(&d, 9, 9, MASK), put(&d, 22, 9, MASK), put(&d, 9, 22, MASK), put(&d, 22, 22, MASK);
        outline(&d, ST0);
        blit(&c, &d, 0, 0);
        static const int pips[5][2] = {{12, 12}, {18, 12}, {15, 15}, {12, 18}, {18, 18}};
        for (auto &p : pips)
            fill_rect(&c, p[0], p[1], 2, 2, p[0] == 15 ? EM2 : ST0);
        break;
    }
    }
    return c;
}

canvas bonus_strip() {
    std::vector<canvas> f;
    for (int k = 0; k < 8; k++)
        f.push_back(bonus_frame(k));
    return join_frames(f);
}

// ---------------------------------------------------------------- flames

// Heat of a flame band around a segment: 1 on the skeleton, 0 at the edge.
static double seg_heat(double px, double py, double ax, double ay, double bx, double by,
                       double hw) {
    double vx = bx - ax, vy = by - ay;
    double t = ((px - ax) * vx + (py - ay) * vy) / (vx * vx + vy * vy);
    t = std::max(0.0, std::min(1.0, t));
    double dx = px - (ax + t * vx), dy = py - (ay + t * vy);
    return 1.0 - std::sqrt(dx * dx + dy * dy) / hw;
}

static const double FLAME_HW[4] = {11.5, 12.5, 10.5, 8};
static const double FLAME_BLOB[4] = {14, 15, 13, 10};

// Flicker along an arm, periodic over one cell so that neighbouring pieces meet exactly.
static double wobble(double along, int frame) {
    const double tau = 6.283185307;
    return 0.9 * std::sin(tau * along / 32.0 * 2 + frame * 1.7) +
           0.5 * std::sin(tau * along / 32.0 * 3 - frame * 2.3);
}

static uint8_t heat_colour(double h) {
    if (h > 0.8) return HOT1;
    if (h > 0.62) return HOT0;
    if (h > 0.44) return EM4;
    if (h > 0.25) return EM3;
    if (h > 0.09) return EM2;
    return EM1;
}

// Kinds: 0 centre, 1 vertical middle, 2 horizontal middle, 3.. arm ends up, right, down, left.
static canvas flame_frame(int kind, int frame) {
    canvas c = make_canvas(32, 32);
    double hw = FLAME_HW[frame];
    for (int y = 0; y < 32; y++)
        for (int x = 0; x < 32; x++) {
            double px = x + 0.5, py = y + 0.5;
            double h = -1;
            // Horizontal band (as a function of x only at the cell edges).
            auto hband = [&](double x0, double x1) {
                double w = hw + wobble(px, frame);
                return seg_heat(px, py, x0, 16, x1, 16, w);
            };
            auto vband = [&](double y0, double y1) {
                double w = hw + wobble(py, frame + 5);
                return seg_heat(px, py, 16, y0, 16, y1, w);
            };
            switch (kind) {
            case 0: {
                h = std::max(hband(-40, 72), vband(-40, 72));
                double r = std::sqrt((px - 16) * (px - 16) + (py - 16) * (py - 16));
                double blob = 1.0 - r / (FLAME_BLOB[frame] +
                                         0.8 * std::sin(std::atan2(py - 16, px - 16) * 4 + frame));
                h = std::max(h, blob);
                break;
            }
            case 1:
                h = vband(-40, 72);
                break;
            case 2:
                h = hband(-40, 72);
                break;
            case 3:
                h = vband(hw * 0.9 + 1, 72);
                break; // up end: tip at the top
            case 4:
                h = hband(-40, 31 - hw * 0.9);
                break; // right end
            case 5:
                h = vband(-40, 31 - hw * 0.9);
                break; // down end
            case 6:
                h = hband(hw * 0.9 + 1, 72);
                break; // left end
            }
            if (h <= 0) continue;
            // Inner texture: licks of hotter and cooler flame.
            h += 0.08 * std::sin(6.283185307 * (px * 3 + py * 2) / 32.0 + frame * 2.1);
            put(&c, x, y, heat_colour(h));
        }
    // Later frames shed embers around the thinning flame.
    if (frame >= 2) {
        for (int i = 0; i < 6 + frame * 2; i++) {
            int x = 3 + (int)(noise(i, kind, frame) * 26),
                y = 3 + (int)(noise(kind, i, frame + 9) * 26);
            if (get(&c, x, y) == MASK && x > 1 && x < 30 && y > 1 && y < 30)
                put(&c, x, y, i % 3 ? EM3 : EM4);
        }
    }
    return c;
}

canvas explo_ctr_strip() {
    std::vector<canvas> f;
    for (int kind : {0, 1, 2})
        for (int k = 0; k < 4; k++)
            f.push_back(flame_frame(kind, k));
    return join_frames(f);
}

canvas explo_dir_strip() {
    std::vector<canvas> f;
    for (int kind : {3, 4, 5, 6})
        for (int k = 0; k < 4; k++)
            f.push_back(flame_frame(kind, k));
    return join_frames(f);
}

// ---------------------------------------------------------------- head-up display

canvas timer_icon() {
    canvas c = make_canvas(32, 32);
    // Stopwatch: crown button, red case, pale face, hands at ten past.
    fill_rect(&c, 14, 2, 4, 3, ST3);
    fill_rect(&c, 13, 1, 6, 2, EM2);
    put(&c, 14, 1, EM3);
    fill_rect(&c, 23, 5, 3, 3, ST2);
    static const uint8_t case_ramp[] = {EM0, EM1, EM2, EM3};
    shade_ellipse(&c, 16, 17, 12.5, 12.5, case_ramp, 4);
    static const uint8_t face[] = {ST3, ST4, HOT1, HOT1};
    shade_ellipse(&c, 16, 17, 9.5, 9.5, face, 4);
    for (int a = 0; a < 12; a++) {
        double t = a * 3.14159265 / 6;
        put(&c, (int)(16 + 7.8 * std::cos(t)), (int)(17 + 7.8 * std::sin(t)), a % 3 ? ST2 : ST0);
    }
    line(&c, 16, 17, 16, 11, ST0);
    line(&c, 16, 17, 20, 19, EM1);
    put(&c, 16, 17, EM2);
    outline(&c);
    return c;
}
