// The map text format: parsing into .czm bytes, writing back, and the errors that name
// the line and column of bad input.
#include "maptext.h"

#include <gtest/gtest.h>

static std::vector<uint8_t> parse_ok(const std::string &text) {
    std::vector<uint8_t> bytes;
    std::string error;
    EXPECT_TRUE(parse_map_text(text.data(), text.size(), &bytes, &error)) << error;
    return bytes;
}

static std::string parse_error(const std::string &text) {
    std::vector<uint8_t> bytes;
    std::string error;
    EXPECT_FALSE(parse_map_text(text.data(), text.size(), &bytes, &error)) << text;
    return error;
}

TEST(MaptoolText, LegendCharactersBecomeCellCodes) {
    std::vector<uint8_t> b = parse_ok("#####\n#P+?#\n#MD.#\n#####\n");
    ASSERT_EQ(b.size(), 2u + 4 * 5);
    EXPECT_EQ(b[0], 4); // height first
    EXPECT_EQ(b[1], 5);
    const uint8_t row1[5] = {0, 7, 2, 4, 0}, row2[5] = {0, 11, 12, 0xff, 0};
    for (int c = 0; c < 5; c++) {
        EXPECT_EQ(b[2 + 5 + c], row1[c]);
        EXPECT_EQ(b[2 + 10 + c], row2[c]);
    }
}

TEST(MaptoolText, BracesWriteAnyByteAndCommentsAndCrlfAreIgnored) {
    std::vector<uint8_t> b =
        parse_ok("; a comment\r\n\r\n###\r\n#{05}#\r\n; between rows\r\n#{fe}#\r\n###\r\n\r\n");
    ASSERT_EQ(b.size(), 2u + 4 * 3);
    EXPECT_EQ(b[0], 4);
    EXPECT_EQ(b[1], 3);
    EXPECT_EQ(b[2 + 3 + 1], 0x05);
    EXPECT_EQ(b[2 + 6 + 1], 0xfe);
}

TEST(MaptoolText, TextAndBytesRoundTrip) {
    const std::string text = "######\n#P.+?#\n#{01}MD{08}#\n######\n";
    std::vector<uint8_t> bytes = parse_ok(text);
    std::string back, error;
    ASSERT_TRUE(format_map_text(bytes.data(), bytes.size(), &back, &error)) << error;
    EXPECT_EQ(back, text);
    // Every byte value survives bytes -> text -> bytes.
    std::vector<uint8_t> all = {16, 16};
    for (int v = 0; v < 256; v++)
        all.push_back((uint8_t)v);
    ASSERT_TRUE(format_map_text(all.data(), all.size(), &back, &error));
    EXPECT_EQ(parse_ok(back), all);
}

TEST(MaptoolText, BadInputIsRefusedWithLineAndColumn) {
    EXPECT_EQ(parse_error("###\n#x#\n###\n"),
              "line 2, column 2: unknown cell 'x' (use # + ? P M D . or {NN} for any other byte)");
    EXPECT_EQ(parse_error("###\n#P#\n##\n"),
              "line 3, column 1: row 2 has 2 cells, the first row has 3");
    EXPECT_EQ(parse_error("###\n#{0g}#\n###\n").rfind("line 2, column 2: '{'", 0), 0u);
    EXPECT_EQ(parse_error("###\n#{0\n").rfind("line 2, column 2:", 0), 0u);
    EXPECT_EQ(parse_error("###\n\n#P#\n###\n"), "line 2, column 1: blank line inside the map");
    EXPECT_EQ(parse_error("; nothing but a comment\n"), "line 1, column 1: no map rows");
    EXPECT_EQ(parse_error(""), "line 1, column 1: no map rows");
    EXPECT_NE(parse_error("#\t#\n").find("byte 0x09"), std::string::npos);
}

TEST(MaptoolText, SizesBeyondOneByteAreRefused) {
    EXPECT_NE(parse_error(std::string(256, '#') + "\n").find("at most 255 cells wide"),
              std::string::npos);
    std::string tall;
    for (int i = 0; i < 256; i++)
        tall += "#\n";
    EXPECT_EQ(parse_error(tall), "line 256, column 1: a map is at most 255 rows tall");
    std::string ok;
    for (int i = 0; i < 255; i++)
        ok += std::string(255, '.') + "\n";
    EXPECT_EQ(parse_ok(ok).size(), 2u + 255 * 255);
}

TEST(MaptoolText, WritingRefusesBytesThatAreNotAMap) {
    std::string text, error;
    const uint8_t one[1] = {3};
    EXPECT_FALSE(format_map_text(one, 1, &text, &error));
    EXPECT_NE(error.find("two size bytes"), std::string::npos);
    const uint8_t empty[2] = {0, 4};
    EXPECT_FALSE(format_map_text(empty, 2, &text, &error));
    const uint8_t short_map[5] = {2, 2, 0, 0, 0};
    EXPECT_FALSE(format_map_text(short_map, 5, &text, &error));
    EXPECT_NE(error.find("need 6 bytes, the file has 5"), std::string::npos);
    // Bytes after the last row are not part of the map.
    const uint8_t extra[7] = {1, 2, 0, 0, 9, 9, 9};
    ASSERT_TRUE(format_map_text(extra, 7, &text, &error));
    EXPECT_EQ(text, "##\n");
}
