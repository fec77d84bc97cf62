// The generated pictures: they load, have the sizes and frame counts the game cuts them
// into, use the mask colour for transparency and one small palette, and really animate.
#include "test_util.h"

#include <allegro.h>
#include <gtest/gtest.h>

#include <set>
#include <string>

static const std::string GRAPHICS = std::string(CINDERMAZE_RUN_DIR) + "/graphics/";

struct loaded {
    BITMAP *b;
    explicit loaded(const std::string &path) : b(nullptr) {
        allegro_for_tests(32);
        b = load_bitmap(path.c_str(), nullptr);
    }
    ~loaded() {
        if (b) destroy_bitmap(b);
    }
};

static bool is_mask(BITMAP *b, int x, int y) {
    return (uint32_t)getpixel(b, x, y) == (uint32_t)bitmap_mask_color(b);
}

// A frame of a strip as a list of pixel values.
static std::vector<int> frame_pixels(BITMAP *b, int frame) {
    std::vector<int> px;
    for (int y = 0; y < b->h; y++)
        for (int x = 0; x < 32; x++)
            px.push_back(getpixel(b, frame * 32 + x, y));
    return px;
}

static int opaque_pixels(BITMAP *b, int frame) {
    int n = 0;
    for (int y = 0; y < b->h; y++)
        for (int x = 0; x < 32; x++)
            n += !is_mask(b, frame * 32 + x, y);
    return n;
}

struct strip_case {
    const char *file;
    int frames, height;
};

TEST(AssetsPictures, SpriteStripsHaveTheFramesTheGameCuts) {
    const strip_case strips[] = {{"bonus.bmp", 8, 32},      {"player1.bmp", 16, 48},
                                 {"bombs1.bmp", 8, 32},     {"diamond.bmp", 3, 32},
                                 {"monster.bmp", 2, 32},    {"explo_ctr.bmp", 12, 32},
                                 {"explo_dir.bmp", 16, 32}, {"timer.bmp", 1, 32}};
    for (const strip_case &s : strips) {
        loaded pic(GRAPHICS + s.file);
        ASSERT_TRUE(pic.b) << s.file;
        EXPECT_EQ(pic.b->w, 32 * s.frames) << s.file;
        EXPECT_EQ(pic.b->h, s.height) << s.file;
        // Every frame but the hidden bonus shows something and is transparent somewhere.
        for (int k = 0; k < s.frames; k++) {
            int opaque = opaque_pixels(pic.b, k);
            if (std::string(s.file) == "bonus.bmp" && k == 0) continue;
            EXPECT_GT(opaque, 60) << s.file << " frame " << k;
            EXPECT_LT(opaque, 32 * s.height) << s.file << " frame " << k << " has no transparency";
        }
    }
}

TEST(AssetsPictures, AnimationFramesDifferFromOneAnother) {
    struct run {
        const char *file;
        int first, count;
    } runs[] = {{"bombs1.bmp", 0, 4},    {"bombs1.bmp", 4, 4},    {"diamond.bmp", 0, 3},
                {"monster.bmp", 0, 2},   {"explo_ctr.bmp", 0, 4}, {"explo_ctr.bmp", 4, 4},
                {"explo_ctr.bmp", 8, 4}, {"explo_dir.bmp", 0, 4}, {"explo_dir.bmp", 12, 4},
                {"player1.bmp", 0, 4},   {"player1.bmp", 8, 4}};
    for (const run &r : runs) {
        loaded pic(GRAPHICS + r.file);
        ASSERT_TRUE(pic.b) << r.file;
        for (int a = r.first; a < r.first + r.count; a++)
            for (int b = a + 1; b < r.first + r.count; b++)
                EXPECT_NE(frame_pixels(pic.b, a), frame_pixels(pic.b, b))
                    << r.file << " frames " << a << " and " << b << " are the same";
    }
    // Normal and super bombs look different, and so do the seven bonus kinds.
    loaded bombs(GRAPHICS + "bombs1.bmp");
    EXPECT_NE(frame_pixels(bombs.b, 0), frame_pixels(bombs.b, 4));
    loaded bonus(GRAPHICS + "bonus.bmp");
    for (int a = 1; a < 8; a++)
        for (int b = a + 1; b < 8; b++)
            EXPECT_NE(frame_pixels(bonus.b, a), frame_pixels(bonus.b, b));
}

TEST(AssetsPictures, PlayerFeetStandInTheBottomCellAndHeadAbove) {
    loaded pic(GRAPHICS + "player1.bmp");
    ASSERT_TRUE(pic.b);
    for (int k = 0; k < 16; k++) {
        int top = -1, bottom = -1;
        for (int y = 0; y < 48; y++)
            for (int x = 0; x < 32; x++)
                if (!is_mask(pic.b, k * 32 + x, y)) {
                    if (top < 0) top = y;
                    bottom = y;
                }
        EXPECT_LT(top, 16) << "frame " << k << ": the head should rise above the cell";
        EXPECT_GE(bottom, 40) << "frame " << k << ": the feet should reach the bottom of the cell";
    }
}

// Flame pieces meet without a seam: across each joint the flame's edges move by one
// pixel at most, as they do inside a piece.
static void extent(BITMAP *b, int frame, bool column, int at, int *first, int *last) {
    *first = *last = -1;
    for (int i = 0; i < 32; i++) {
        int x = column ? at : i, y = column ? i : at;
        if (!is_mask(b, frame * 32 + x, y)) {
            if (*first < 0) *first = i;
            *last = i;
        }
    }
}

static void expect_joint(BITMAP *a, int fa, BITMAP *b, int fb, bool horizontal, const char *what) {
    int a0, a1, b0, b1;
    // Horizontal joint: a's right column meets b's left column.
    extent(a, fa, horizontal, 31, &a0, &a1);
    extent(b, fb, horizontal, 0, &b0, &b1);
    ASSERT_GE(a0, 0) << what;
    ASSERT_GE(b0, 0) << what;
    EXPECT_LE(std::abs(a0 - b0), 1) << what;
    EXPECT_LE(std::abs(a1 - b1), 1) << what;
}

TEST(AssetsPictures, FlameArmsJoinTheCentreSeamlessly) {
    loaded ctr(GRAPHICS + "explo_ctr.bmp"), dir(GRAPHICS + "explo_dir.bmp");
    ASSERT_TRUE(ctr.b && dir.b);
    for (int f = 0; f < 4; f++) {
        expect_joint(ctr.b, f, ctr.b, 8 + f, true, "centre | horizontal middle");
        expect_joint(ctr.b, 8 + f, ctr.b, 8 + f, true, "horizontal middle | horizontal middle");
        expect_joint(ctr.b, 8 + f, dir.b, 4 + f, true, "horizontal middle | right end");
        expect_joint(dir.b, 12 + f, ctr.b, 8 + f, true, "left end | horizontal middle");
        expect_joint(ctr.b, f, ctr.b, 4 + f, false, "centre / vertical middle");
        expect_joint(ctr.b, 4 + f, ctr.b, 4 + f, false, "vertical middle / vertical middle");
        expect_joint(ctr.b, 4 + f, dir.b, 8 + f, false, "vertical middle / down end");
        expect_joint(dir.b, f, ctr.b, 4 + f, false, "up end / vertical middle");
    }
}

struct placed {
    const char *on, *off;
    int x, y;
};

TEST(AssetsPictures, MenuButtonsFitTheirPlacesWithoutOverlapping) {
    const placed buttons[] = {{"b0_on.bmp", "b0_off.bmp", 137, 277},
                              {"b1_on.bmp", "b1_off.bmp", 139, 340},
                              {"b2_on.bmp", "b2_off.bmp", 138, 400},
                              {"b3_on.bmp", "b3_off.bmp", 138, 508}};
    int previous_bottom = 0;
    for (const placed &p : buttons) {
        loaded on(GRAPHICS + p.on), off(GRAPHICS + p.off);
        ASSERT_TRUE(on.b && off.b) << p.on;
        EXPECT_EQ(on.b->w, off.b->w);
        EXPECT_EQ(on.b->h, off.b->h);
        EXPECT_LE(p.x + on.b->w, 800);
        EXPECT_LE(p.y + on.b->h, 600);
        EXPECT_GT(p.y, previous_bottom) << p.on << " overlaps the button above";
        previous_bottom = p.y + on.b->h;
        EXPECT_NE(frame_pixels(on.b, 0), frame_pixels(off.b, 0)) << p.on << " is not highlighted";
    }
}

TEST(AssetsPictures, ChooserArrowsLeaveTheTitleFree) {
    loaded prec_on(GRAPHICS + "prec_on.bmp"), prec_off(GRAPHICS + "prec_off.bmp");
    loaded suiv_on(GRAPHICS + "suiv_on.bmp"), suiv_off(GRAPHICS + "suiv_off.bmp");
    ASSERT_TRUE(prec_on.b && prec_off.b && suiv_on.b && suiv_off.b);
    // The title is centred on x = 400: keep at least 150 pixels on each side of it.
    EXPECT_LE(9 + std::max(prec_on.b->w, prec_off.b->w), 250);
    EXPECT_LE(614 + std::max(suiv_on.b->w, suiv_off.b->w), 800);
    EXPECT_LE(555 + std::max(prec_on.b->h, suiv_on.b->h), 600);
    EXPECT_NE(frame_pixels(prec_on.b, 0), frame_pixels(prec_off.b, 0));
    EXPECT_NE(frame_pixels(suiv_on.b, 0), frame_pixels(suiv_off.b, 0));
}

TEST(AssetsPictures, ScreensHaveTheirSizes) {
    loaded fond(GRAPHICS + "fond.bmp"), surprise(GRAPHICS + "surprise.bmp");
    loaded win(GRAPHICS + "fin_gagne.bmp"), lose(GRAPHICS + "fin_perd.bmp");
    ASSERT_TRUE(fond.b && surprise.b && win.b && lose.b);
    EXPECT_EQ(fond.b->w, 800);
    EXPECT_EQ(fond.b->h, 600);
    // The background is copied with the mask: a magenta pixel would be a hole.
    for (int y = 0; y < 600; y++)
        for (int x = 0; x < 800; x++)
            ASSERT_FALSE(is_mask(fond.b, x, y)) << "fond.bmp has a mask pixel at " << x << "," << y;
    // The win picture is drawn centred on the smallest game screen; the preview sits
    // between the title and the chooser's bottom strip.
    EXPECT_LE(win.b->w, 640);
    EXPECT_LE(win.b->h, 480);
    EXPECT_LE(surprise.b->w, 800);
    EXPECT_LE((600 - surprise.b->h) / 2 + surprise.b->h, 555);
    // The lose picture is stretched over the screen: keep it 4:3, and let each of its pixels
    // become blocks of one size, or of sizes n and n + 1 with n at least 6 (unseen), on
    // every game screen.
    EXPECT_EQ(lose.b->w * 3, lose.b->h * 4);
    for (int w : {640, 800, 1024})
        EXPECT_TRUE(w % lose.b->w == 0 || w / lose.b->w >= 6) << "stretched unevenly to " << w;
}

TEST(AssetsPictures, AllTheArtSharesOnePalette) {
    std::set<uint32_t> colours;
    const char *files[] = {"bonus.bmp",    "player1.bmp",   "bombs1.bmp",    "diamond.bmp",
                           "monster.bmp",  "explo_ctr.bmp", "explo_dir.bmp", "timer.bmp",
                           "fond.bmp",     "b0_on.bmp",     "b0_off.bmp",    "prec_on.bmp",
                           "surprise.bmp", "fin_gagne.bmp", "fin_perd.bmp"};
    for (const char *f : files) {
        loaded pic(GRAPHICS + f);
        ASSERT_TRUE(pic.b) << f;
        for (int y = 0; y < pic.b->h; y++)
            for (int x = 0; x < pic.b->w; x++)
                if (!is_mask(pic.b, x, y)) colours.insert((uint32_t)getpixel(pic.b, x, y));
    }
    EXPECT_GE(colours.size(), 24u);
    EXPECT_LE(colours.size(), 32u);
}
