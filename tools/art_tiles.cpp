// Map tile strips: floor, wall, then a breakable block cracking, splitting,
// crumbling and burning down to embers. Each theme has its own three materials.
#include "art.h"

#include <algorithm>
#include <cmath>

enum {
    FLOOR_ASH,
    FLOOR_FLAGS,
    FLOOR_ICE,
    FLOOR_IRON,
    FLOOR_SAND,
    FLOOR_EARTH,
    FLOOR_GRASS,
    FLOOR_STEEL,
    FLOOR_LAVA
};
enum {
    WALL_ROCK,
    WALL_BRICKS,
    WALL_ICE,
    WALL_IRON,
    WALL_SANDSTONE,
    WALL_CRYSTAL,
    WALL_HEDGE,
    WALL_GIRDER,
    WALL_OBSIDIAN
};
enum {
    BLOCK_BASALT,
    BLOCK_CRATE,
    BLOCK_ICE,
    BLOCK_BARREL,
    BLOCK_URN,
    BLOCK_CRYSTAL,
    BLOCK_BUSH,
    BLOCK_STEEL,
    BLOCK_MAGMA
};

struct theme_def {
    const char *name;
    int floor_style, wall_style, block_style;
};

static const theme_def THEMES[] = {
    {"cinder", FLOOR_ASH, WALL_ROCK, BLOCK_BASALT},
    {"ruins", FLOOR_FLAGS, WALL_BRICKS, BLOCK_CRATE},
    {"ice", FLOOR_ICE, WALL_ICE, BLOCK_ICE},
    {"forge", FLOOR_IRON, WALL_IRON, BLOCK_BARREL},
    {"temple", FLOOR_SAND, WALL_SANDSTONE, BLOCK_URN},
    {"crystal", FLOOR_EARTH, WALL_CRYSTAL, BLOCK_CRYSTAL},
    {"garden", FLOOR_GRASS, WALL_HEDGE, BLOCK_BUSH},
    {"ironworks", FLOOR_STEEL, WALL_GIRDER, BLOCK_STEEL},
    {"volcano", FLOOR_LAVA, WALL_OBSIDIAN, BLOCK_MAGMA},
};

const char *const THEME_NAMES[] = {"cinder",  "ruins",  "ice",       "forge",  "temple",
                                   "crystal", "garden", "ironworks", "volcano"};

int theme_count() {
    return (int)(sizeof THEMES / sizeof THEMES[0]);
}

int theme_index(const std::string &name) {
    for (int i = 0; i < theme_count(); i++)
        if (name == THEMES[i].name) return i;
    return -1;
}

// Speckles: a few pixels of each colour scattered with a seed.
static void speckle(canvas *c, uint8_t col, double density, int seed, int x0 = 0, int y0 = 0,
                    int w = 32, int h = 32) {
    for (int y = y0; y < y0 + h; y++)
        for (int x = x0; x < x0 + w; x++)
            if (noise(x, y, seed) < density) put(c, x, y, col);
}

// ---------------------------------------------------------------- floors

static canvas floor_tile(int style) {
    canvas c = make_canvas(32, 32);
    switch (style) {
    case FLOOR_ASH:
        fill_rect(&c, 0, 0, 32, 32, ST0);
        speckle(&c, ST1, 0.16, 1);
        speckle(&c, ST2, 0.03, 2);
        put(&c, 7, 22, EM1), put(&c, 24, 9, EM1), put(&c, 25, 9, EM0);
        break;
    case FLOOR_FLAGS:
        fill_rect(&c, 0, 0, 32, 32, ST1);
        speckle(&c, ST0, 0.08, 3);
        for (int i = 0; i < 32; i++)
            put(&c, i, 15, ST0), put(&c, i < 16 ? 8 : 24, i, ST0);
        for (int i = 0; i < 32; i++)
            put(&c, i, 31, ST0), put(&c, i < 16 ? 8 : 24, i, ST0);
        fill_rect(&c, 9, 0, 15, 1, ST2);
        fill_rect(&c, 0, 16, 8, 1, ST2), fill_rect(&c, 25, 16, 7, 1, ST2);
        speckle(&c, GR1, 0.25, 4, 0, 14, 32, 3);
        speckle(&c, GR1, 0.2, 5, 7, 0, 3, 32);
        break;
    case FLOOR_ICE:
        // Deep, dark ice, so that the diamonds and the ice blocks shine on it.
        fill_rect(&c, 0, 0, 32, 32, BL1);
        for (int i = 0; i < 32; i++) {
            put(&c, i, (i * 3 / 4 + 5) % 32, BL2);
            if (noise(i, 1, 6) < 0.5) put(&c, (i + 13) % 32, (40 - i) % 32, BL0);
        }
        speckle(&c, BL2, 0.03, 7);
        break;
    case FLOOR_IRON:
        fill_rect(&c, 0, 0, 32, 32, ST0);
        for (int i = 1; i < 31; i++)
            put(&c, i, 1, ST1), put(&c, 1, i, ST1);
        for (int i = 4; i < 28; i += 3)
            put(&c, i, i, ST1), put(&c, i + 1, i, EM0);
        put(&c, 3, 3, ST3), put(&c, 28, 3, ST3), put(&c, 3, 28, ST3), put(&c, 28, 28, ST3);
        put(&c, 4, 4, ST0), put(&c, 29, 4, ST0), put(&c, 4, 29, ST0), put(&c, 29, 29, ST0);
        break;
    case FLOOR_SAND:
        fill_rect(&c, 0, 0, 32, 32, BR3);
        for (int i = 0; i < 32; i++)
            put(&c, i, 0, BR2), put(&c, 0, i, BR2), put(&c, i, 16, BR2), put(&c, 16, i, BR2);
        speckle(&c, BR2, 0.05, 8);
        speckle(&c, SK2, 0.04, 9);
        break;
    case FLOOR_EARTH:
        fill_rect(&c, 0, 0, 32, 32, BR1);
        speckle(&c, BR0, 0.14, 10);
        speckle(&c, BR2, 0.05, 11);
        put(&c, 8, 9, ST2), put(&c, 9, 9, ST1), put(&c, 21, 24, ST2), put(&c, 22, 24, ST1);
        put(&c, 26, 6, PU1);
        break;
    case FLOOR_GRASS:
        // A moonlit lawn, lighter than the dark hedges.
        fill_rect(&c, 0, 0, 32, 32, GR2);
        for (int y = 0; y < 32; y++)
            for (int x = 0; x < 32; x++)
                if (noise(x, y, 12) < 0.12)
                    put(&c, x, y, GR1), put(&c, x, y - 1, noise(x, y, 13) < 0.5 ? GR1 : GR3);
        put(&c, 6, 24, BL3), put(&c, 25, 11, PU2);
        break;
    case FLOOR_STEEL:
        fill_rect(&c, 0, 0, 32, 32, ST0);
        for (int y = 0; y < 32; y += 4)
            for (int x = (y / 4) % 2 * 4; x < 32; x += 8)
                put(&c, x, y + 1, ST2), put(&c, x + 1, y + 1, ST2), put(&c, x + 1, y + 2, ST1);
        for (int i = 0; i < 32; i++)
            put(&c, i, 31, ST1), put(&c, 31, i, ST1);
        break;
    case FLOOR_LAVA:
        fill_rect(&c, 0, 0, 32, 32, ST0);
        speckle(&c, EM0, 0.25, 14);
        speckle(&c, ST1, 0.06, 15);
        line(&c, 0, 20, 9, 17, EM1), line(&c, 9, 17, 14, 22, EM1), line(&c, 14, 22, 31, 20, EM1);
        put(&c, 10, 18, EM2), put(&c, 20, 21, EM2);
        break;
    }
    return c;
}

// ---------------------------------------------------------------- walls

static void brick_rows(canvas *c, uint8_t mortar, uint8_t face, uint8_t light, uint8_t dark,
                       int rows) {
    int h = 32 / rows;
    fill_rect(c, 0, 0, 32, 32, mortar);
    for (int r = 0; r < rows; r++) {
        int off = (r % 2) * 8;
        for (int b = -1; b < 2; b++) {
            int x = off + b * 16, y = r * h;
            fill_rect(c, x + 1, y + 1, 15, h - 1, face);
            for (int i = 1; i < 15; i++)
                put(c, x + i, y + 1, light);
            for (int j = 1; j < h - 1; j++)
                put(c, x + 1, y + j, light);
            for (int i = 2; i < 16; i++)
                put(c, x + i, y + h - 1, dark);
            for (int j = 2; j < h; j++)
                put(c, x + 15, y + j, dark);
        }
    }
}

static canvas wall_tile(int style) {
    canvas c = make_canvas(32, 32);
    switch (style) {
    case WALL_ROCK:
        fill_rect(&c, 0, 0, 32, 32, ST2);
        speckle(&c, ST3, 0.10, 20);
        speckle(&c, ST1, 0.10, 21);
        line(&c, 3, 12, 12, 10, ST1), line(&c, 12, 10, 18, 16, ST1), line(&c, 18, 16, 29, 14, ST1);
        line(&c, 10, 22, 16, 27, ST1), line(&c, 16, 27, 24, 24, ST1);
        line(&c, 3, 11, 12, 9, ST3), line(&c, 19, 15, 29, 13, ST3);
        bevel(&c, 0, 0, 32, 32, ST4, ST0);
        bevel(&c, 1, 1, 30, 30, ST3, ST1);
        break;
    case WALL_BRICKS:
        brick_rows(&c, ST2, ST4, HOT1, ST3, 4);
        speckle(&c, GR2, 0.12, 22, 0, 0, 32, 6);
        speckle(&c, GR1, 0.12, 23, 0, 0, 32, 9);
        put(&c, 4, 14, GR2), put(&c, 21, 22, GR2), put(&c, 22, 23, GR1);
        bevel(&c, 0, 0, 32, 32, ST4, ST0);
        break;
    case WALL_ICE:
        // Frosted stone: grey blocks under snow caps, so that ice blocks and diamonds
        // stand out from them.
        brick_rows(&c, ST0, ST1, ST2, ST0, 2);
        for (int r = 0; r < 2; r++)
            for (int x = 0; x < 32; x++) {
                put(&c, x, r * 16 + 1, HOT1);
                if (noise(x, r, 40) < 0.6) put(&c, x, r * 16 + 2, BL4);
                if (noise(x, r, 41) < 0.15) put(&c, x, r * 16 + 3, BL4);
            }
        bevel(&c, 0, 0, 32, 32, ST4, ST0);
        break;
    case WALL_IRON:
        fill_rect(&c, 0, 0, 32, 32, ST2);
        bevel(&c, 0, 0, 32, 32, ST3, ST0);
        bevel(&c, 2, 2, 28, 28, ST1, ST3);
        fill_rect(&c, 3, 14, 26, 4, EM1);
        fill_rect(&c, 3, 15, 26, 1, EM2);
        for (int x : {5, 26})
            for (int y : {5, 26})
                put(&c, x, y, ST4), put(&c, x + 1, y + 1, ST0), put(&c, x + 1, y, ST3),
                    put(&c, x, y + 1, ST3);
        break;
    case WALL_SANDSTONE:
        brick_rows(&c, BR0, BR1, BR2, BR0, 2);
        for (int x = 4; x < 30; x += 6)
            put(&c, x, 7, BR0), put(&c, x + 1, 8, BR0);
        bevel(&c, 0, 0, 32, 32, BR2, BR0);
        break;
    case WALL_CRYSTAL: {
        fill_rect(&c, 0, 0, 32, 32, ST1);
        speckle(&c, ST2, 0.12, 24);
        speckle(&c, ST0, 0.08, 25);
        fill_poly(&c, {{8, 24}, {11, 10}, {14, 24}}, PU1);
        fill_poly(&c, {{11, 10}, {14, 24}, {12, 24}}, PU0);
        line(&c, 10, 13, 10, 22, PU2);
        fill_poly(&c, {{18, 26}, {23, 15}, {26, 26}}, BL2);
        line(&c, 21, 18, 20, 24, BL4);
        put(&c, 11, 11, HOT1), put(&c, 23, 16, HOT1);
        bevel(&c, 0, 0, 32, 32, ST3, ST0);
        break;
    }
    case WALL_HEDGE:
        // A clipped hedge, dark and dense, on a low stone curb.
        fill_rect(&c, 0, 0, 32, 32, GR0);
        for (int y = 0; y < 26; y++)
            for (int x = 0; x < 32; x++) {
                double n = noise(x / 2, y / 2, 26);
                if (n < 0.35) put(&c, x, y, GR1);
                if (n < 0.08 && y < 12) put(&c, x, y, GR2);
            }
        for (int x = 0; x < 32; x++)
            put(&c, x, 0, GR2), put(&c, x, 1, noise(x, 1, 27) < 0.5 ? GR2 : GR1);
        fill_rect(&c, 0, 26, 32, 6, ST2);
        fill_rect(&c, 0, 26, 32, 1, ST3);
        fill_rect(&c, 0, 31, 32, 1, ST0);
        for (int x = 7; x < 32; x += 16)
            put(&c, x, 27, ST1), put(&c, x, 28, ST1), put(&c, x, 29, ST1), put(&c, x, 30, ST1);
        bevel(&c, 0, 0, 32, 26, GR2, ST0);
        break;
    case WALL_GIRDER:
        fill_rect(&c, 0, 0, 32, 32, ST1);
        for (int y = 0; y < 32; y++)
            for (int x = 0; x < 32; x++)
                if ((x + y) % 12 < 6)
                    put(&c, x, y, EM4);
                else
                    put(&c, x, y, ST0);
        // Girders in dark green paint inside their hazard frame.
        fill_rect(&c, 3, 3, 26, 26, GR0);
        bevel(&c, 3, 3, 26, 26, GR1, ST0);
        line(&c, 5, 5, 26, 26, ST0), line(&c, 5, 26, 26, 5, ST0);
        line(&c, 6, 5, 26, 25, GR1), line(&c, 6, 26, 26, 6, GR1);
        bevel(&c, 0, 0, 32, 32, ST3, ST0);
        break;
    case WALL_OBSIDIAN:
        fill_rect(&c, 0, 0, 32, 32, PU0);
        fill_poly(&c, {{0, 0}, {20, 0}, {9, 14}, {0, 18}}, ST1);
        fill_poly(&c, {{20, 0}, {32, 0}, {32, 20}, {9, 14}}, ST2);
        fill_poly(&c, {{0, 18}, {9, 14}, {32, 20}, {32, 32}, {0, 32}}, PU0);
        line(&c, 1, 17, 9, 13, PU2), line(&c, 9, 13, 20, 1, PU2);
        line(&c, 10, 15, 31, 20, ST0);
        bevel(&c, 0, 0, 32, 32, PU2, ST0);
        break;
    }
    return c;
}

// ---------------------------------------------------------------- blocks

// Intact breakable block, standing on the floor with its shadow at the bottom right.
static canvas block_tile(int style) {
    canvas c = make_canvas(32, 32);
    switch (style) {
    case BLOCK_BASALT: {
        fill_poly(&c, {{3, 7}, {9, 2}, {24, 3}, {29, 9}, {28, 27}, {21, 29}, {6, 28}, {2, 21}},
                  BR1);
        fill_poly(&c, {{3, 7}, {9, 2}, {24, 3}, {16, 9}}, BR2);
        fill_poly(&c, {{28, 27}, {21, 29}, {6, 28}, {17, 22}, {29, 9}}, BR0);
        speckle(&c, BR0, 0.08, 30, 4, 6, 20, 18);
        line(&c, 9, 3, 23, 4, BR3);
        // Glowing cracks: it is already half burnt through.
        line(&c, 8, 12, 14, 17, EM2), line(&c, 14, 17, 13, 23, EM2), line(&c, 14, 17, 21, 14, EM3);
        put(&c, 14, 17, EM4);
        break;
    }
    case BLOCK_CRATE:
        fill_rect(&c, 3, 3, 26, 25, BR2);
        for (int y = 3; y < 28; y += 6)
            fill_rect(&c, 3, y + 5, 26, 1, BR1);
        rect(&c, 3, 3, 26, 25, BR0);
        rect(&c, 4, 4, 24, 23, BR1);
        line(&c, 5, 5, 26, 25, BR1), line(&c, 6, 5, 26, 24, BR3);
        fill_rect(&c, 4, 4, 24, 1, BR3), fill_rect(&c, 4, 4, 1, 23, BR3);
        for (int x : {5, 25})
            for (int y : {5, 24})
                put(&c, x, y, ST3), put(&c, x + 1, y + 1, ST0);
        break;
    case BLOCK_ICE:
        fill_rect(&c, 3, 3, 26, 25, BL2);
        fill_poly(&c, {{3, 3}, {29, 3}, {3, 27}}, BL3);
        line(&c, 6, 22, 22, 6, BL4), line(&c, 7, 25, 25, 7, BL4);
        rect(&c, 3, 3, 26, 25, BL0);
        fill_rect(&c, 4, 4, 24, 1, HOT1), fill_rect(&c, 4, 4, 1, 22, BL4);
        fill_rect(&c, 5, 26, 23, 1, BL1), fill_rect(&c, 27, 5, 1, 22, BL1);
        line(&c, 16, 12, 20, 18, BL1), line(&c, 20, 18, 18, 23, BL1);
        break;
    case BLOCK_BARREL: {
        static const uint8_t wood[] = {BR0, BR1, BR2, BR2, BR3};
        canvas b = make_canvas(32, 32);
        shade_ellipse(&b, 16, 16, 12, 14, wood, 5);
        for (int y = 0; y < 32; y++) {
            put(&b, 0, y, MASK);
            for (int x = 0; x < 32; x++)
                if (y < 3 || y > 28) put(&b, x, y, MASK);
        }
        fill_ellipse(&b, 16, 4.5, 10, 2.5, BR3);
        fill_ellipse(&b, 16, 4.5, 8, 1.5, BR1);
        for (int y : {8, 22}) {
            for (int x = 4; x < 29; x++)
                if (get(&b, x, y) != MASK) put(&b, x, y, ST3), put(&b, x, y + 1, ST1);
        }
        for (int x = 9; x < 26; x += 5)
            for (int y = 6; y < 28; y++)
                if (get(&b, x, y) != MASK && y != 8 && y != 9 && y != 22 && y != 23)
                    put(&b, x, y, BR1);
        // A hazard mark: it is full of blasting powder.
        fill_poly(&b, {{16, 12}, {20, 19}, {12, 19}}, EM4);
        put(&b, 16, 15, ST0), put(&b, 16, 16, ST0), put(&b, 16, 18, ST0);
        blit(&c, &b, 0, 0);
        break;
    }
    case BLOCK_URN: {
        static const uint8_t clay[] = {SK0, SK1, SK1, SK2};
        canvas b = make_canvas(32, 32);
        shade_ellipse(&b, 16, 18, 11, 10.5, clay, 4);
        fill_rect(&b, 11, 3, 10, 6, SK1);
        fill_rect(&b, 9, 3, 14, 2, SK2);
        fill_rect(&b, 11, 5, 10, 1, SK0);
        fill_rect(&b, 12, 6, 2, 3, SK2);
        for (int x = 6; x < 27; x++) {
            if (get(&b, x, 17) != MASK) put(&b, x, 17, BR1);
            if (get(&b, x, 19) != MASK && x % 3) put(&b, x, 19, BR0);
        }
        put(&b, 9, 13, HOT0), put(&b, 10, 12, SK2);
        blit(&c, &b, 0, 0);
        break;
    }
    case BLOCK_CRYSTAL: {
        fill_poly(&c, {{3, 28}, {5, 17}, {12, 13}, {22, 14}, {29, 19}, {29, 28}}, ST2);
        fill_poly(&c, {{3, 28}, {5, 17}, {12, 13}, {14, 28}}, ST3);
        fill_poly(&c, {{7, 20}, {9, 5}, {13, 20}}, PU2);
        fill_poly(&c, {{9, 5}, {13, 20}, {11, 20}}, PU1);
        fill_poly(&c, {{13, 20}, {18, 2}, {23, 20}}, PU1);
        fill_poly(&c, {{18, 2}, {23, 20}, {19, 20}}, PU0);
        fill_poly(&c, {{21, 21}, {26, 10}, {28, 21}}, PU2);
        line(&c, 15, 12, 17, 5, HOT1), put(&c, 8, 9, HOT1);
        break;
    }
    case BLOCK_BUSH: {
        static const uint8_t leaf[] = {GR0, GR1, GR2, GR3};
        shade_ellipse(&c, 11, 18, 9, 9, leaf, 4);
        shade_ellipse(&c, 21, 17, 9, 10, leaf, 4);
        shade_ellipse(&c, 16, 11, 9, 8, leaf, 4);
        for (int y = 0; y < 32; y++)
            for (int x = 0; x < 32; x++)
                if (get(&c, x, y) != MASK && noise(x, y, 31) < 0.12) put(&c, x, y, GR0);
        for (auto p : {std::pair<int, int>{10, 12}, {20, 9}, {23, 20}, {9, 21}, {16, 17}}) {
            fill_rect(&c, p.first, p.second, 2, 2, PU2);
            put(&c, p.first, p.second, HOT1);
        }
        break;
    }
    case BLOCK_STEEL:
        // A rusted steel crate: it gives way where the girders do not.
        fill_rect(&c, 3, 3, 26, 25, BR2);
        bevel(&c, 3, 3, 26, 25, BR3, BR0);
        fill_rect(&c, 7, 7, 18, 17, BR1);
        bevel(&c, 7, 7, 18, 17, BR0, BR3);
        for (int y = 9; y < 22; y += 3)
            fill_rect(&c, 9, y, 14, 1, BR0);
        for (int x : {5, 25})
            for (int y : {5, 24})
                put(&c, x, y, ST4), put(&c, x + 1, y, ST1), put(&c, x, y + 1, ST1),
                    put(&c, x + 1, y + 1, ST0);
        break;
    case BLOCK_MAGMA:
        fill_poly(&c, {{3, 9}, {10, 3}, {22, 3}, {29, 10}, {29, 27}, {20, 29}, {5, 28}, {3, 20}},
                  ST2);
        fill_poly(&c, {{3, 9}, {10, 3}, {22, 3}, {14, 11}}, ST3);
        speckle(&c, ST1, 0.12, 32, 4, 6, 24, 22);
        line(&c, 6, 14, 13, 16, EM3), line(&c, 13, 16, 18, 12, EM3), line(&c, 13, 16, 15, 24, EM2);
        line(&c, 18, 12, 25, 14, EM2), line(&c, 15, 24, 22, 26, EM1);
        put(&c, 13, 16, HOT0), put(&c, 18, 12, EM4);
        break;
    }
    outline(&c);
    shadow_ellipse(&c, 17.5, 29.5, 13, 2.4, ST0);
    for (int y = 4; y < 29; y++)
        if (get(&c, 30, y) == MASK && (y & 1)) put(&c, 30, y, ST0);
    return c;
}

// Crack lines from a point, drawn in the block's darkest colour with an ember glow inside.
static void crack(canvas *c, int x0, int y0, int x1, int y1, uint8_t glow) {
    int mx = (x0 + x1) / 2 + ((x0 * 7 + y1) % 5) - 2, my = (y0 + y1) / 2 + ((y0 * 3 + x1) % 5) - 2;
    for (auto s : {std::pair<pt, pt>{{(double)x0, (double)y0}, {(double)mx, (double)my}},
                   std::pair<pt, pt>{{(double)mx, (double)my}, {(double)x1, (double)y1}}}) {
        canvas l = make_canvas(32, 32);
        line(&l, (int)s.first.x, (int)s.first.y, (int)s.second.x, (int)s.second.y, glow);
        for (int y = 0; y < 32; y++)
            for (int x = 0; x < 32; x++)
                if (get(&l, x, y) != MASK && get(c, x, y) != MASK) {
                    put(c, x, y, glow);
                    if (get(c, x + 1, y) != MASK && get(c, x + 1, y) != glow) put(c, x + 1, y, ST0);
                }
    }
}

// Keeps the pixels of the block that lie in one quadrant around (cx, cy).
static canvas quadrant(const canvas *b, int q, int cx, int cy) {
    canvas o = make_canvas(32, 32);
    for (int y = 0; y < 32; y++)
        for (int x = 0; x < 32; x++) {
            bool right = x >= cx + (y - cy) / 4, low = y >= cy + (x - cx) / 5;
            if ((q & 1) == right && ((q >> 1) & 1) == low) put(&o, x, y, get(b, x, y));
        }
    return o;
}

static canvas without_shadow(const canvas *b) {
    canvas o = *b;
    for (int y = 27; y < 32; y++)
        for (int x = 0; x < 32; x++)
            if (get(&o, x, y) == ST0 && get(&o, x - 1, y) != ST0 && get(&o, x + 1, y) != ST0)
                put(&o, x, y, MASK);
    return o;
}

static void ember_pile(canvas *c, int cx, int cy, int rx, int ry, int seed, int glow) {
    static const uint8_t ash[] = {ST0, ST1, ST1, ST2};
    shade_ellipse(c, cx, cy, rx, ry, ash, 4);
    for (int y = cy - ry; y <= cy + ry; y++)
        for (int x = cx - rx; x <= cx + rx; x++)
            if (get(c, x, y) != MASK && get(c, x, y) != MASK) {
                double n = noise(x, y, seed);
                if (n < 0.06 * glow)
                    put(c, x, y, EM4);
                else if (n < 0.14 * glow)
                    put(c, x, y, EM2);
                else if (n < 0.2 * glow)
                    put(c, x, y, EM1);
            }
}

// Lights the pixels of a piece that lie along the break with the rest of the block.
static void glow_break(canvas *piece, const canvas *whole) {
    canvas before = *piece;
    for (int y = 0; y < 32; y++)
        for (int x = 0; x < 32; x++) {
            if (get(&before, x, y) == MASK) continue;
            static const int ddx[4] = {1, -1, 0, 0}, ddy[4] = {0, 0, 1, -1};
            for (int k = 0; k < 4; k++) {
                int nx = x + ddx[k], ny = y + ddy[k];
                if (get(&before, nx, ny) == MASK && get(whole, nx, ny) != MASK) {
                    put(piece, x, y, (x + y) % 3 ? EM3 : EM4);
                    break;
                }
            }
        }
}

// The piece cut to the box of its opaque pixels.
static canvas trimmed(const canvas *c) {
    int x0 = c->w, y0 = c->h, x1 = -1, y1 = -1;
    for (int y = 0; y < c->h; y++)
        for (int x = 0; x < c->w; x++)
            if (get(c, x, y) != MASK)
                x0 = std::min(x0, x), y0 = std::min(y0, y), x1 = std::max(x1, x),
                y1 = std::max(y1, y);
    if (x1 < 0) return make_canvas(1, 1);
    return crop(c, x0, y0, x1 - x0 + 1, y1 - y0 + 1);
}

canvas tile_strip(int theme) {
    const theme_def &t = THEMES[theme];
    canvas block = block_tile(t.block_style);
    // Step 1: cracked.
    canvas cracked = block;
    crack(&cracked, 6, 6, 16, 16, EM3);
    crack(&cracked, 16, 16, 27, 12, EM2);
    crack(&cracked, 16, 16, 13, 27, EM3);
    crack(&cracked, 16, 16, 25, 25, EM2);
    // Step 2: split into four pieces drifting apart, glowing along the break.
    canvas cracked_bare = without_shadow(&cracked);
    canvas split = make_canvas(32, 32);
    shadow_ellipse(&split, 17.5, 29.5, 13, 2.4, ST0);
    static const int dx[4] = {-2, 2, -2, 2}, dy[4] = {-2, -1, 1, 1};
    for (int q = 0; q < 4; q++) {
        canvas p = quadrant(&cracked_bare, q, 16, 16);
        glow_break(&p, &cracked_bare);
        blit(&split, &p, dx[q], dy[q]);
    }
    // Step 3: crumbling, smaller chunks settling on a heap of rubble.
    canvas crumble = make_canvas(32, 32);
    ember_pile(&crumble, 16, 26, 13, 4, 42, 1);
    static const int cx[4] = {4, 17, 7, 18}, cy[4] = {11, 12, 17, 18};
    for (int q = 0; q < 4; q++) {
        canvas p = quadrant(&cracked_bare, q, 16, 16);
        glow_break(&p, &cracked_bare);
        canvas chunk = trimmed(&p);
        canvas small = shrink(&chunk, chunk.w * 2 / 3, chunk.h * 2 / 3);
        outline(&small);
        blit(&crumble, &small, cx[q], cy[q]);
    }
    put(&crumble, 9, 6, EM3), put(&crumble, 22, 8, EM4), put(&crumble, 15, 4, EM2);
    // Step 4: a heap of embers.
    canvas embers = make_canvas(32, 32);
    ember_pile(&embers, 16, 24, 11, 5, 44, 3);
    put(&embers, 10, 15, EM3), put(&embers, 20, 12, EM4), put(&embers, 15, 9, EM2),
        put(&embers, 23, 17, EM3);
    return join_frames({floor_tile(t.floor_style), wall_tile(t.wall_style), block, cracked, split,
                        crumble, embers});
}
