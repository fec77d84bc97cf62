// The map text format (parsing, writing back, errors with their line and column) and the
// map check that guards the shipped maps.
#include "mapcheck.h"
#include "maptext.h"

#include <gtest/gtest.h>

namespace {

// The bytes of the text, or its error prefixed with "error: ".
std::string parsed(const std::string &text) {
    std::vector<uint8_t> bytes;
    std::string error;
    if (!parse_map_text(text.data(), text.size(), &bytes, &error)) return "error: " + error;
    std::string out;
    for (uint8_t b : bytes)
        out += std::to_string(b) + " ";
    return out;
}

TEST(map_text, each_text_gives_its_bytes_or_its_error) {
    const char *const cases[][2] = {
        {"#####\n#P+?#\n#MD.#\n#####\n", "4 5 0 0 0 0 0 0 7 2 4 0 0 11 12 255 0 0 0 0 0 0 "},
        {"; a comment\r\n\r\n###\r\n#{05}#\r\n; between rows\r\n#{fe}#\r\n###\r\n\r\n",
         "4 3 0 0 0 0 5 0 0 254 0 0 0 0 "},
        {"###\n#x#\n###\n", "error: line 2, column 2: unknown cell 'x' (use # + ? P M D . or {NN} "
                            "for any other byte)"},
        {"###\n#P#\n##\n", "error: line 3, column 1: row 2 has 2 cells, the first row has 3"},
        {"###\n\n#P#\n###\n", "error: line 2, column 1: blank line inside the map"},
        {"; nothing but a comment\n", "error: line 1, column 1: no map rows"},
        {"", "error: line 1, column 1: no map rows"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(parsed(c[0]), c[1]) << c[0];
    for (const char *bad : {"###\n#{0g}#\n###\n", "###\n#{0\n"})
        EXPECT_EQ(parsed(bad).rfind("error: line 2, column 2:", 0), 0u) << bad;
    EXPECT_NE(parsed("#\t#\n").find("byte 0x09"), std::string::npos);
    EXPECT_NE(parsed(std::string(256, '#') + "\n").find("at most 255 cells wide"),
              std::string::npos);
    std::string tall, largest;
    for (int i = 0; i < 256; i++)
        tall += "#\n", largest += i < 255 ? std::string(255, '.') + "\n" : "";
    EXPECT_EQ(parsed(tall), "error: line 256, column 1: a map is at most 255 rows tall");
    EXPECT_EQ(parsed(largest).rfind("255 255 255 ", 0), 0u);
}

TEST(map_text, every_byte_survives_bytes_to_text_and_back) {
    std::vector<uint8_t> all = {16, 16}, back;
    for (int v = 0; v < 256; v++)
        all.push_back((uint8_t)v);
    all.push_back(9); // after the last row: not part of the map
    std::string text, error;
    ASSERT_TRUE(format_map_text(all.data(), all.size(), &text, &error)) << error;
    ASSERT_TRUE(parse_map_text(text.data(), text.size(), &back, &error)) << error;
    all.pop_back();
    EXPECT_EQ(back, all);
    const uint8_t short_map[5] = {2, 2, 0, 0, 0};
    EXPECT_FALSE(format_map_text(short_map, 5, &text, &error));
    EXPECT_NE(error.find("need 6 bytes, the file has 5"), std::string::npos);
}

TEST(map_check, each_map_gives_its_report) {
    std::string big = std::string(20, '#') + "\n#P" + std::string(16, '.') + "D#\n";
    for (int r = 2; r < 13; r++)
        big += "#" + std::string(18, '.') + "#\n";
    big += std::string(20, '#') + "\n";
    const struct {
        std::string text;
        int screen_w, screen_h;
        const char *report;
    } cases[] = {
        {"#########\n#P..+..D#\n#.#?#.#.#\n#...+..M#\n#########\n", 0, 0, ""},
        {"#####\n#P.D.\n#####\n", 0, 0,
         "cell (row 1, column 4): the border must be wall, it is floor\n"},
        {"#####\n#PPD#\n#####\n", 0, 0,
         "cell (row 1, column 2): a second player start (the first is at cell (row 1, column "
         "1))\n"},
        {"#####\n#P{08}D#\n#####\n", 0, 0,
         "cell (row 1, column 2): code 8 is a bomb during play, not a map cell\n"},
        {"#####\n#..D#\n#####\n", 0, 0, "the map has no player start (P)\n"},
        {"#####\n#P..#\n#####\n", 0, 0,
         "the map has no diamond (D): the game would be won at once\n"},
        // Blocks are no barrier, bombs open them; walls and codes no bomb removes are.
        {"#######\n#P.+?D#\n#.#####\n#..####\n#######\n", 0, 0, ""},
        {"#######\n#P.#.D#\n#######\n", 0, 0,
         "cell (row 1, column 5): this diamond cannot be reached from the player start, even by "
         "bombing through blocks\n"},
        {"#######\n#P.{01}.D#\n#######\n", 0, 0,
         "cell (row 1, column 5): this diamond cannot be reached from the player start, even by "
         "bombing through blocks\n"},
        // Every cell the player can walk to is in the cross of a bomb laid at the start.
        {"#######\n#P.+.D#\n#.#####\n#######\n", 0, 0,
         "cell (row 1, column 1): the player start is boxed in: a bomb laid there catches the "
         "player wherever it walks\n"},
        {"#####\n#PD+#\n#####\n", 0, 0, ""},
        {"#########\n#P.M...D#\n#########\n", 0, 0,
         "cell (row 1, column 3): a monster starts within 3 steps of the player start\n"},
        {"#########\n#P...M.D#\n#########\n", 0, 0, ""},
        // 20 x 14 cells: 640 x 448 leaves exactly 32 rows for the head-up display.
        {big, 640, 480, ""},
        {big, 640, 470,
         "the map (20 x 14 cells, 640 x 448 pixels) does not fit a 640 x 470 screen "
         "with 32 pixels of head-up display\n"},
    };
    for (const auto &c : cases) {
        std::vector<uint8_t> bytes;
        std::string error, report;
        ASSERT_TRUE(parse_map_text(c.text.data(), c.text.size(), &bytes, &error)) << error;
        map_check_options opt;
        opt.screen_w = c.screen_w, opt.screen_h = c.screen_h;
        for (const std::string &p : check_map(bytes.data(), bytes.size(), opt))
            report += p + "\n";
        EXPECT_EQ(report, c.report) << c.text;
    }
    const uint8_t cut[4] = {3, 3, 0, 0};
    EXPECT_EQ(check_map(cut, 4, map_check_options()).at(0),
              "the file is too short: 3 rows of 3 cells need 11 bytes, it has 4");
}

} // namespace
