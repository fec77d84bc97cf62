// The map check that guards the shipped maps, each report naming its cell; and map text
// written back from any bytes.
#include "mapcheck.h"
#include "test_util.h"

#include "maptext.h"
#include <gtest/gtest.h>

namespace {

TEST(map_check, each_map_gives_its_report) {
    const char *const UNREACHABLE = ": this diamond cannot be reached from the player start, "
                                    "even by bombing through blocks\n";
    const struct {
        std::string text;
        int screen_w, screen_h;
        std::string report;
    } cases[] = {
        {"#########\n#P..+..D#\n#.#?#.#.#\n#...+..M#\n#########", 0, 0, ""},
        {"#####\n#P.D.\n#####", 0, 0,
         "cell (row 1, column 4): the border must be wall, it is floor\n"},
        {"#####\n#PPD#\n#####", 0, 0,
         "cell (row 1, column 2): a second player start (the first is at cell (row 1, column "
         "1))\n"},
        {"#####\n#P{08}D#\n#####", 0, 0,
         "cell (row 1, column 2): code 8 is a bomb during play, not a map cell\n"},
        {"#####\n#..D#\n#####", 0, 0, "the map has no player start (P)\n"},
        {"#####\n#P..#\n#####", 0, 0,
         "the map has no diamond (D): the game would be won at once\n"},
        // Blocks are no barrier, bombs open them; walls and codes no bomb removes are.
        {"#######\n#P.+?D#\n#.#####\n#..####\n#######", 0, 0, ""},
        {"#######\n#P.#.D#\n#######", 0, 0, std::string("cell (row 1, column 5)") + UNREACHABLE},
        {"#######\n#P.{01}.D#\n#######", 0, 0, std::string("cell (row 1, column 5)") + UNREACHABLE},
        // Every cell the player can walk to is in the cross of a bomb laid at the start.
        {"#######\n#P.+.D#\n#.#####\n#######", 0, 0,
         "cell (row 1, column 1): the player start is boxed in: a bomb laid there catches the "
         "player wherever it walks\n"},
        {"#####\n#PD+#\n#####", 0, 0, ""},
        {"#########\n#P.M...D#\n#########", 0, 0,
         "cell (row 1, column 3): a monster starts within 3 steps of the player start\n"},
        {"#########\n#P...M.D#\n#########", 0, 0, ""},
        {"##########################\n#P......................D#\n"
         "##########################",
         800, 600,
         "the map (26 x 3 cells, 832 x 96 pixels) does not fit a 800 x 600 screen with nothing "
         "of the head-up display (32 pixels tall) over it\n"},
    };
    for (const auto &c : cases) {
        std::vector<uint8_t> bytes = map_bytes({c.text});
        map_check_options opt;
        opt.screen_w = c.screen_w, opt.screen_h = c.screen_h;
        std::string report;
        for (const std::string &p : check_map(bytes.data(), bytes.size(), opt))
            report += p + "\n";
        EXPECT_EQ(report, c.report) << c.text;
    }
    // An open border is told for its first eight cells, then counted, before what follows.
    std::vector<uint8_t> open =
        map_bytes({std::string(12, '.'), "#P.........#", std::string(12, '#')});
    std::vector<std::string> told = check_map(open.data(), open.size(), map_check_options());
    ASSERT_EQ(told.size(), 10u);
    EXPECT_EQ(told[8], "... and 4 more open border cells");
    EXPECT_EQ(told[9], "the map has no diamond (D): the game would be won at once");
    const uint8_t cut[4] = {3, 3, 0, 0};
    EXPECT_EQ(check_map(cut, 4, map_check_options()).at(0),
              "the file is too short: 3 rows of 3 cells need 11 bytes, it has 4");
}

TEST(map_text, every_byte_survives_bytes_to_text_and_back) {
    std::vector<uint8_t> all = {16, 16}, back;
    for (int v = 0; v < 256; v++)
        all.push_back((uint8_t)v);
    std::string text, error;
    ASSERT_TRUE(format_map_text(all.data(), all.size(), &text, &error)) << error;
    ASSERT_TRUE(parse_map_text(text.data(), text.size(), &back, &error)) << error;
    EXPECT_EQ(back, all);
    EXPECT_EQ(map_bytes({"; a comment\r", "###", "#P#\r", "###"}),
              map_bytes({"###", "#P#", "###"}));
    EXPECT_THROW(map_bytes({"###", "#x#", "###"}), std::runtime_error);
}

} // namespace
