// Map files and objects: reading and refusing maps, the ring, the grids.
#include "test_util.h"
#include "maps.h"
#include "objets.h"

#include <cstring>

#include <gtest/gtest.h>

namespace {

map *room() {
    std::vector<uint8_t> bytes = map_bytes({"#####", "#P..#", "#...#", "#####"});
    return load_map_from_memory(bytes.data(), bytes.size());
}

TEST(map_files, cells_are_read_row_by_row_trailing_bytes_ignored_and_pictures_named) {
    temp_dir dir;
    std::vector<uint8_t> bytes = map_bytes({"#####", "#P{05}D#", "#+?M#", "#####"});
    bytes.push_back(0x42);
    write_file(dir.file("m.czm"), bytes);
    EXPECT_EQ(load_map(dir.file("absent.czm").c_str()), nullptr);
    map *m = load_map(dir.file("m.czm").c_str());
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->height * 10 + m->width, 45);
    const int8_t want[4][5] = {
        {0, 0, 0, 0, 0}, {0, 7, 5, 12, 0}, {0, 2, 4, 11, 0}, {0, 0, 0, 0, 0}};
    for (int r = 0; r < 4; r++)
        for (int c = 0; c < 5; c++) {
            EXPECT_EQ(m->cells[r][c], want[r][c]) << r << "," << c;
            EXPECT_TRUE(!m->fixed_grid[r][c] && !m->mover_grid[r][c]);
        }
    EXPECT_EQ(map_cell(m, 5, 1), CELL_WALL); // outside reads as wall
    EXPECT_EQ(map_fixed(m, -1, 0), nullptr);
    free_map(m);
    // The companion pictures keep every dot of the name but the last.
    char *i = get_map_image_filename("maps/a.b.czm"), *t = get_map_thumb_filename("maps/a.b.czm");
    EXPECT_STREQ(i, "maps/a.b.bmp");
    EXPECT_STREQ(t, "thbs/a.b.bmp");
    free(i), free(t);
    t = get_map_thumb_filename("C:/Cindermaze/maps/c.czm"); // a player's folder on Windows
    EXPECT_STREQ(t, "C:/Cindermaze/thbs/c.bmp");
    free(t);
}

TEST(map_files, what_cannot_be_played_is_refused_and_named) {
    const struct {
        std::vector<uint8_t> bytes;
        const char *problem; // part of the message, "" when accepted
    } cases[] = {{{}, "short"},
                 {{3}, "short"},
                 {{0, 5}, "of 0"},
                 {{5, 0}, "of 0"},
                 {{3, 5, 0, 0, 0, 0, 0, 0, 7, 12, 0}, "short"},
                 {map_bytes({"#####", "#P.D.", "#####"}), "row 1, column 4"},
                 {map_bytes({"#####", "#P.D#", "##.##"}), "row 2, column 2"},
                 {map_bytes({".####", "#P.D#", "#####"}), "row 0, column 0"},
                 {map_bytes({"#####", "#..D#", "#####"}), "start"},
                 {map_bytes({"#####", "#PPD#", "#####"}), "start"},
                 {map_bytes({"#####", "#P{08}D#", "#####"}), "row 1, column 2"},
                 {map_bytes({"######", "#P{01}{05}.#", "######"}), ""}}; // odd codes, no diamond
    for (const auto &c : cases) {
        map *m = load_map_from_memory(c.bytes.data(), c.bytes.size());
        const char *why = map_bytes_problem(c.bytes.data(), c.bytes.size());
        EXPECT_EQ(m != nullptr, !*c.problem) << c.problem;
        EXPECT_TRUE(!*c.problem || (why && strstr(why, c.problem))) << (why ? why : "none");
        free_map(m);
    }
}

obj *make(map *m, obj *where, uint32_t *count, int type, int x = 2, int y = 2) {
    return creer_obj(m, where, count, x, y, 0, 0, (int8_t)type, 0, 0, 0, -1, 0, nullptr, 0);
}

// Where each type registers and what its cell code becomes; on removal fixed things
// empty their cell, movers and flames leave the code as it is.
TEST(objects, each_type_registers_in_its_grid_and_sets_its_cell) {
    const struct {
        int type, code_before, code_with, code_after;
        bool fixed, mover;
    } cases[] = {
        {OBJ_WALL, CELL_BLOCK, CELL_BLOCK, CELL_EMPTY, true, false},
        {OBJ_BLOCK, CELL_BLOCK, CELL_BLOCK, CELL_EMPTY, true, false},
        {OBJ_BONUS, CELL_BLOCK, CELL_BLOCK, CELL_EMPTY, true, false},
        {OBJ_DIAMOND, CELL_BLOCK, CELL_BLOCK, CELL_EMPTY, true, false},
        {OBJ_BOMB, CELL_EMPTY, CELL_BOMB, CELL_EMPTY, true, false},
        {OBJ_MONSTER, CELL_MONSTER, CELL_EMPTY, CELL_DIAMOND, false, true},
        {OBJ_PLAYER, CELL_PLAYER, CELL_EMPTY, CELL_DIAMOND, false, true},
        {OBJ_FLAME, CELL_BLOCK, CELL_BLOCK, CELL_DIAMOND, false, false},
    };
    for (const auto &c : cases) {
        map *m = room();
        uint32_t count = 0;
        m->cells[2][2] = (int8_t)c.code_before;
        obj *o = make(m, nullptr, &count, c.type);
        EXPECT_EQ(m->fixed_grid[2][2] == o, c.fixed) << c.type;
        EXPECT_EQ(m->mover_grid[2][2] == o, c.mover) << c.type;
        EXPECT_EQ(m->cells[2][2], c.code_with) << c.type;
        m->cells[2][2] = CELL_DIAMOND;
        suppr_obj(m, o, &count);
        EXPECT_TRUE(!m->fixed_grid[2][2] && !m->mover_grid[2][2]) << c.type;
        EXPECT_EQ(m->cells[2][2], c.code_after) << c.type;
        free_map(m);
    }
    // A flame removed clears the mover slot of its cell, whoever stands there.
    map *m = room();
    uint32_t count = 0;
    obj *player = make(m, nullptr, &count, OBJ_PLAYER);
    suppr_obj(m, make(m, player, &count, OBJ_FLAME), &count);
    EXPECT_EQ(m->mover_grid[2][2], nullptr);
    suppr_obj(m, player, &count);
    free_map(m);
}

} // namespace
