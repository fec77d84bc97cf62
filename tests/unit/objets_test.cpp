// Objects: the ring and the registration in the map's grids.
#include "maps.h"
#include "objets.h"

#include <gtest/gtest.h>

namespace {

map *open_floor(uint8_t height, uint8_t width) {
    std::vector<uint8_t> bytes = {height, width};
    for (int r = 0; r < height; r++)
        for (int c = 0; c < width; c++)
            bytes.push_back(r == 0 || c == 0 || r == height - 1 || c == width - 1
                                ? 0
                                : (r == 1 && c == 1 ? 7 : 0xff));
    return load_map_from_memory(bytes.data(), bytes.size());
}

obj *make(map *m, obj *where, uint32_t *count, int type, int x = 2, int y = 2) {
    return creer_obj(m, where, count, x, y, 0, 0, (int8_t)type, 0, 0, 0, -1, 0, nullptr, 0);
}

TEST(ring, a_first_object_is_a_ring_of_one) {
    map *m = open_floor(5, 5);
    uint32_t count = 0;
    obj *a = make(m, nullptr, &count, OBJ_WALL, 0, 0);
    EXPECT_EQ(a->next, a);
    EXPECT_EQ(a->prev, a);
    EXPECT_EQ(count, 1u);
    suppr_obj(m, a, &count);
    EXPECT_EQ(count, 0u);
    free_map(m);
}

TEST(ring, inserting_before_where_gives_a_c_b) {
    map *m = open_floor(5, 5);
    uint32_t count = 0;
    obj *a = make(m, nullptr, &count, OBJ_WALL, 0, 0);
    obj *b = make(m, a, &count, OBJ_WALL, 1, 0);
    obj *c = make(m, b, &count, OBJ_WALL, 2, 0);
    EXPECT_EQ(a->next, c);
    EXPECT_EQ(c->next, b);
    EXPECT_EQ(b->next, a);
    EXPECT_EQ(a->prev, b);
    EXPECT_EQ(b->prev, c);
    EXPECT_EQ(c->prev, a);
    suppr_obj(m, c, &count);
    EXPECT_EQ(a->next, b);
    EXPECT_EQ(b->prev, a);
    suppr_obj(m, nullptr, &count);
    EXPECT_EQ(count, 2u);
    suppr_obj(m, b, &count);
    suppr_obj(m, a, &count);
    free_map(m);
}

TEST(grids, fixed_things_register_without_touching_the_cell_code) {
    map *m = open_floor(5, 5);
    uint32_t count = 0;
    m->cells[2][2] = CELL_BLOCK;
    for (int type : {OBJ_WALL, OBJ_BLOCK, OBJ_BONUS, OBJ_DIAMOND}) {
        obj *o = make(m, nullptr, &count, type);
        EXPECT_EQ(m->fixed_grid[2][2], o);
        EXPECT_EQ(m->cells[2][2], CELL_BLOCK);
        suppr_obj(m, o, &count);
        EXPECT_EQ(m->fixed_grid[2][2], nullptr);
        EXPECT_EQ(m->cells[2][2], CELL_EMPTY);
        m->cells[2][2] = CELL_BLOCK;
    }
    free_map(m);
}

TEST(grids, a_bomb_marks_its_cell) {
    map *m = open_floor(5, 5);
    uint32_t count = 0;
    obj *bomb = make(m, nullptr, &count, OBJ_BOMB);
    EXPECT_EQ(m->cells[2][2], CELL_BOMB);
    EXPECT_EQ(m->fixed_grid[2][2], bomb);
    suppr_obj(m, bomb, &count);
    EXPECT_EQ(m->cells[2][2], CELL_EMPTY);
    EXPECT_EQ(m->fixed_grid[2][2], nullptr);
    free_map(m);
}

TEST(grids, movers_empty_their_start_and_leave_the_code_when_removed) {
    map *m = open_floor(5, 5);
    uint32_t count = 0;
    m->cells[2][2] = CELL_MONSTER;
    obj *monster = make(m, nullptr, &count, OBJ_MONSTER);
    EXPECT_EQ(m->cells[2][2], CELL_EMPTY);
    EXPECT_EQ(m->mover_grid[2][2], monster);
    m->cells[2][2] = CELL_DIAMOND;
    suppr_obj(m, monster, &count);
    EXPECT_EQ(m->mover_grid[2][2], nullptr);
    EXPECT_EQ(m->cells[2][2], CELL_DIAMOND);
    free_map(m);
}

TEST(grids, flames_register_nowhere_and_clear_the_mover_slot_when_removed) {
    map *m = open_floor(5, 5);
    uint32_t count = 0;
    obj *player = make(m, nullptr, &count, OBJ_PLAYER);
    obj *flame = make(m, player, &count, OBJ_FLAME);
    EXPECT_EQ(m->mover_grid[2][2], player);
    EXPECT_EQ(m->fixed_grid[2][2], nullptr);
    suppr_obj(m, flame, &count);
    EXPECT_EQ(m->mover_grid[2][2], nullptr);
    EXPECT_EQ(count, 1u);
    suppr_obj(m, player, &count);
    free_map(m);
}

TEST(grids, objects_outside_the_map_register_nowhere) {
    map *m = open_floor(5, 5);
    uint32_t count = 0;
    obj *o = make(m, nullptr, &count, OBJ_BOMB, 9, 9);
    ASSERT_NE(o, nullptr);
    EXPECT_EQ(count, 1u);
    suppr_obj(m, o, &count);
    EXPECT_EQ(count, 0u);
    free_map(m);
}

} // namespace
