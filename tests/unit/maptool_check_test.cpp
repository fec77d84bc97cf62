// The map check: what the game refuses, diamonds out of reach, starts the player
// cannot survive, and maps too big for a screen, each reported with its cell.
#include "mapcheck.h"
#include "maptext.h"

#include <gtest/gtest.h>

#include <cstring>

static std::vector<std::string> check_text(const std::string &text, int screen_w = 0,
                                           int screen_h = 0) {
    std::vector<uint8_t> bytes;
    std::string error;
    EXPECT_TRUE(parse_map_text(text.data(), text.size(), &bytes, &error)) << error;
    map_check_options opt;
    opt.screen_w = screen_w;
    opt.screen_h = screen_h;
    return check_map(bytes.data(), bytes.size(), opt);
}

static std::string joined(const std::vector<std::string> &v) {
    std::string s;
    for (const std::string &p : v)
        s += p + "\n";
    return s;
}

static const char *GOOD = "#########\n"
                          "#P..+..D#\n"
                          "#.#?#.#.#\n"
                          "#...+..M#\n"
                          "#########\n";

TEST(MaptoolCheck, AGoodMapPasses) {
    EXPECT_EQ(joined(check_text(GOOD)), "");
    std::vector<uint8_t> bytes;
    std::string error;
    parse_map_text(GOOD, strlen(GOOD), &bytes, &error);
    EXPECT_EQ(map_summary(bytes.data(), bytes.size()),
              "9 x 5 cells (288 x 160 pixels), 1 diamonds, 1 monsters, 2 blocks, 1 hidden bonuses");
}

TEST(MaptoolCheck, WhatTheGameRefusesIsReportedWithTheCell) {
    EXPECT_EQ(joined(check_text("#####\n#P.D.\n#####\n")),
              "cell (row 1, column 4): the border must be wall, it is floor\n");
    EXPECT_EQ(
        joined(check_text("#####\n#PPD#\n#####\n")),
        "cell (row 1, column 2): a second player start (the first is at cell (row 1, column 1))\n");
    EXPECT_EQ(joined(check_text("#####\n#P{08}D#\n#####\n")),
              "cell (row 1, column 2): code 8 is a bomb during play, not a map cell\n");
    EXPECT_EQ(joined(check_text("#####\n#..D#\n#####\n")), "the map has no player start (P)\n");
    EXPECT_EQ(joined(check_text("#####\n#P..#\n#####\n")),
              "the map has no diamond (D): the game would be won at once\n");
}

TEST(MaptoolCheck, ShortOrEmptyFilesAreRefused) {
    map_check_options opt;
    const uint8_t one[1] = {5};
    EXPECT_EQ(joined(check_map(one, 1, opt)), "the file is shorter than its two size bytes\n");
    const uint8_t zero[2] = {0, 5};
    EXPECT_EQ(joined(check_map(zero, 2, opt)), "the map has a height or a width of 0\n");
    const uint8_t cut[4] = {3, 3, 0, 0};
    EXPECT_EQ(joined(check_map(cut, 4, opt)),
              "the file is too short: 3 rows of 3 cells need 11 bytes, it has 4\n");
}

TEST(MaptoolCheck, ADiamondBehindWallsIsReported) {
    // Blocks are no barrier: bombs open them. Walls are.
    EXPECT_EQ(joined(check_text("#######\n#P.+?D#\n#.#####\n#..####\n#######\n")), "");
    EXPECT_EQ(
        joined(check_text("#######\n#P.#.D#\n#######\n")),
        "cell (row 1, column 5): this diamond cannot be reached from the player start, even by "
        "bombing through blocks\n");
    // A cell code without bit 2 that no bomb removes is a barrier too.
    EXPECT_NE(joined(check_text("#######\n#P.{01}.D#\n#######\n")).find("cell (row 1, column 5)"),
              std::string::npos);
}

TEST(MaptoolCheck, AStartWithNoEscapeFromTheFirstBombIsReported) {
    // Every cell the player can walk to is in the cross of a bomb laid at the start.
    EXPECT_EQ(joined(check_text("#######\n#P.+.D#\n#.#####\n#######\n")),
              "cell (row 1, column 1): the player start is boxed in: a bomb laid there catches the "
              "player "
              "wherever it walks\n");
    // Round a corner, the flames cannot follow.
    EXPECT_EQ(joined(check_text("#######\n#P.+.D#\n#.#####\n#..####\n#######\n")), "");
    // With every diamond in reach without bombs, no bomb is needed.
    EXPECT_EQ(joined(check_text("#####\n#PD+#\n#####\n")), "");
}

TEST(MaptoolCheck, AMonsterNextToTheStartIsReported) {
    EXPECT_EQ(joined(check_text("#########\n#P.M...D#\n#########\n")),
              "cell (row 1, column 3): a monster starts within 3 steps of the player start\n");
    EXPECT_EQ(joined(check_text("#########\n#P...M.D#\n#########\n")), "");
}

TEST(MaptoolCheck, TheFieldIsPlacedAsTheGamePlacesItClearOfTheCounters) {
    // (columns, rows, screen) -> fits: the field is centred, or sits on the bottom edge when
    // the counters' text does not fit above it; the 32-pixel icons must not reach it.
    struct row_case {
        int w, h, sw, sh;
        bool fits;
    } cases[] = {
        {20, 14, 640, 480, true},  // centred top 16 < font: moved down to 32, clear
        {20, 14, 640, 470, false}, // moved down to 22: the icons overlap
        {24, 17, 800, 600, false}, // centred top 28: the text fits, the icons do not
        {24, 16, 800, 600, true},  // centred top 44
        {31, 22, 800, 600, false}, // wider than the screen
        {25, 18, 800, 600, false}, // centred top 12, moved down to 24: the icons overlap
    };
    for (const row_case &c : cases) {
        std::string map = std::string(c.w, '#') + "\n#P" + std::string(c.w - 4, '.') + "D#\n";
        for (int r = 2; r < c.h - 1; r++)
            map += "#" + std::string(c.w - 2, '.') + "#\n";
        map += std::string(c.w, '#') + "\n";
        std::string out = joined(check_text(map, c.sw, c.sh));
        EXPECT_EQ(out.empty(), c.fits) << c.w << "x" << c.h << " on " << c.sw << "x" << c.sh;
        if (!c.fits) {
            EXPECT_NE(out.find("does not fit"), std::string::npos) << out;
        }
    }
}
