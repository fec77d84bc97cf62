// Map files: reading, refusing what cannot be played, companion picture names.
#include "maps.h"
#include "test_util.h"

#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>

namespace {

// Rows of '#' wall, '.' floor, 'P' start, 'M' monster, 'D' diamond, '+' block, '?' bonus,
// or a digit for that raw code.
std::vector<uint8_t> map_bytes(const std::vector<std::string> &rows) {
    std::vector<uint8_t> bytes = {(uint8_t)rows.size(), (uint8_t)rows[0].size()};
    for (const std::string &row : rows)
        for (char c : row) {
            switch (c) {
            case '#': bytes.push_back(0); break;
            case '.': bytes.push_back(0xff); break;
            case 'P': bytes.push_back(7); break;
            case 'M': bytes.push_back(11); break;
            case 'D': bytes.push_back(12); break;
            case '+': bytes.push_back(2); break;
            case '?': bytes.push_back(4); break;
            default: bytes.push_back((uint8_t)(c - '0')); break;
            }
        }
    return bytes;
}

struct map_files : ::testing::Test {
    temp_dir dir;
    map *load(const std::vector<uint8_t> &bytes) {
        write_file(dir.file("m.czm"), bytes);
        return load_map(dir.file("m.czm").c_str());
    }
};

TEST_F(map_files, cells_are_read_row_by_row) {
    std::vector<uint8_t> bytes = map_bytes({"#####", "#P5D#", "#####"});
    bytes.push_back(0x42); // trailing bytes are ignored
    bytes.push_back(0x43);
    map *m = load(bytes);
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->height, 3);
    EXPECT_EQ(m->width, 5);
    EXPECT_EQ(m->cells[0][0], CELL_WALL);  // offset 2
    EXPECT_EQ(m->cells[1][0], CELL_WALL);  // offset 7: row 1, column 0
    EXPECT_EQ(m->cells[1][1], CELL_PLAYER);
    EXPECT_EQ(m->cells[1][2], 5);          // any other byte keeps its value
    EXPECT_EQ(m->cells[1][3], CELL_DIAMOND);
    for (int r = 0; r < 3; r++)
        for (int c = 0; c < 5; c++) {
            EXPECT_EQ(m->fixed_grid[r][c], nullptr);
            EXPECT_EQ(m->mover_grid[r][c], nullptr);
        }
    free_map(m);
}

TEST_F(map_files, playable_oddities_are_accepted) {
    // No diamond at all, raw codes 1 and 5, empty code 255 inside: all allowed.
    map *m = load(map_bytes({"######", "#P15.#", "######"}));
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->cells[1][2], 1);
    EXPECT_EQ(m->cells[1][4], CELL_EMPTY);
    EXPECT_FALSE(cell_passable(m->cells[1][2]));
    EXPECT_TRUE(cell_passable(m->cells[1][3]));
    free_map(m);
}

TEST_F(map_files, unplayable_files_are_refused_like_a_missing_one) {
    EXPECT_EQ(load_map(dir.file("absent.czm").c_str()), nullptr);
    EXPECT_EQ(load({}), nullptr);
    EXPECT_EQ(load({3}), nullptr);
    EXPECT_EQ(load({0, 5}), nullptr);
    EXPECT_EQ(load({5, 0}), nullptr);
    std::vector<uint8_t> short_file = map_bytes({"#####", "#P.D#", "#####"});
    short_file.pop_back();
    EXPECT_EQ(load(short_file), nullptr);
    EXPECT_EQ(load(map_bytes({"#####", "#P.D.", "#####"})), nullptr); // open border
    EXPECT_EQ(load(map_bytes({"#####", "#..D#", "#####"})), nullptr); // no start
    EXPECT_EQ(load(map_bytes({"#####", "#PPD#", "#####"})), nullptr); // two starts
    EXPECT_EQ(load(map_bytes({"#####", "#P8D#", "#####"})), nullptr); // a bomb code
}

TEST(map_problems, name_the_faulty_cell) {
    std::vector<uint8_t> open = map_bytes({"#####", "#P.D#", "##.##"});
    const char *why = map_bytes_problem(open.data(), open.size());
    ASSERT_NE(why, nullptr);
    EXPECT_NE(strstr(why, "row 2, column 2"), nullptr) << why;
    std::vector<uint8_t> good = map_bytes({"#####", "#P.D#", "#####"});
    EXPECT_EQ(map_bytes_problem(good.data(), good.size()), nullptr);
}

TEST(map_problems, the_largest_map_loads) {
    std::vector<uint8_t> bytes = {255, 255};
    for (int r = 0; r < 255; r++)
        for (int c = 0; c < 255; c++)
            bytes.push_back(r == 0 || c == 0 || r == 254 || c == 254 ? 0 : (r == 1 && c == 1 ? 7 : 0xff));
    map *m = load_map_from_memory(bytes.data(), bytes.size());
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->cells[254][254], CELL_WALL);
    EXPECT_EQ(map_cell(m, 255, 3), CELL_WALL); // outside reads as wall
    EXPECT_EQ(map_fixed(m, -1, 0), nullptr);
    free_map(m);
}

TEST(map_names, companion_pictures) {
    char *image = get_map_image_filename("maps/castle.czm");
    char *thumb = get_map_thumb_filename("maps/castle.czm");
    EXPECT_STREQ(image, "maps/castle.bmp");
    EXPECT_STREQ(thumb, "thbs/castle.bmp");
    free(image);
    free(thumb);
    char *dotted = get_map_thumb_filename("maps/a.b.czm");
    EXPECT_STREQ(dotted, "thbs/a.b.bmp");
    free(dotted);
}

} // namespace
