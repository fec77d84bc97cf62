// The start of a game: its start values and the objects made from the map's cells.
#include "rules_world.h"

#include <gtest/gtest.h>

namespace {

TEST(setup, a_game_starts_with_its_start_values) {
    config cfg{};
    cfg.time_limit = 120;
    game g;
    g.speed = 9;
    g.end_state = END_DEAD;
    init_game_state(&g, &cfg, nullptr, 3);
    EXPECT_EQ(g.speed, 2);
    EXPECT_EQ(g.fuse_time, 3);
    EXPECT_EQ(g.direction_sign, 1);
    EXPECT_EQ(g.time_left, 120);
    EXPECT_EQ(g.end_state, END_NONE);
    EXPECT_EQ(g.object_count, 0u);
    EXPECT_EQ(g.diamonds_left, 0u);
    EXPECT_EQ(g.fps, 0);
    EXPECT_EQ(g.player, nullptr);
    const int counts[][3] = {{OBJ_BLOCK, 3, 20},
                             {OBJ_BOMB, 4, 30},
                             {OBJ_MONSTER, 2, 30},
                             {OBJ_DIAMOND, 3, 40},
                             {OBJ_FLAME, 4, 5}};
    for (const auto &row : counts) {
        EXPECT_EQ(g.frame_counts[row[0]], row[1]) << "type " << row[0];
        EXPECT_EQ(g.frame_delays[row[0]], row[2]) << "type " << row[0];
    }
}

TEST(setup, block_pictures_share_out_forty_ticks) {
    config cfg{};
    game g;
    init_game_state(&g, &cfg, nullptr, 4);
    EXPECT_EQ(g.frame_counts[OBJ_BLOCK], 4);
    EXPECT_EQ(g.frame_delays[OBJ_BLOCK], 13);
    // One picture or none: no division by zero, the block goes in one step.
    init_game_state(&g, &cfg, nullptr, 1);
    EXPECT_EQ(g.frame_delays[OBJ_BLOCK], 40);
    init_game_state(&g, &cfg, nullptr, 0);
    EXPECT_EQ(g.frame_delays[OBJ_BLOCK], 40);
}

TEST(setup, every_cell_becomes_its_object_and_its_code_of_play) {
    world w({
        "######",
        "#P?BD#",
        "#M.D.#",
        "######",
    });
    EXPECT_EQ(w.count(OBJ_WALL), 16);
    EXPECT_EQ(w.count(OBJ_BLOCK), 1);
    EXPECT_EQ(w.count(OBJ_BONUS), 1);
    EXPECT_EQ(w.count(OBJ_MONSTER), 1);
    EXPECT_EQ(w.count(OBJ_DIAMOND), 2);
    EXPECT_EQ(w.count(OBJ_PLAYER), 1);
    EXPECT_EQ(w.g.object_count, 22u);
    EXPECT_EQ(w.g.diamonds_left, 2u);
    EXPECT_EQ(w.cell(1, 1), CELL_EMPTY);
    EXPECT_EQ(w.cell(2, 1), CELL_BLOCK);
    EXPECT_EQ(w.cell(1, 2), CELL_EMPTY);
    EXPECT_EQ(w.cell(4, 1), CELL_DIAMOND);

    obj *p = w.player();
    EXPECT_EQ(p->type, OBJ_PLAYER);
    EXPECT_EQ(p->param2, 1);
    EXPECT_EQ(p->param3, 2);
    EXPECT_EQ(p->timer, -1);
    EXPECT_EQ(p->anim_delay, 10);
    EXPECT_EQ(p->sprites, w.g.player_sprites[FACING_DOWN]);
    EXPECT_EQ(w.g.map->mover_grid[1][1], p);

    obj *bonus = w.of_type(OBJ_BONUS).at(0);
    EXPECT_EQ(bonus->frame, 0); // drawn as a block
    EXPECT_EQ(bonus->sprites, w.g.bonus_sprites);
    EXPECT_EQ(w.g.map->fixed_grid[1][2], bonus);
    for (obj *d : w.of_type(OBJ_DIAMOND)) {
        EXPECT_LT(d->frame, 3);
        EXPECT_EQ(d->anim_delay, 40);
    }
    obj *monster = w.of_type(OBJ_MONSTER).at(0);
    EXPECT_LT(monster->frame, 2);
    EXPECT_EQ(monster->anim_delay, 30);
    EXPECT_EQ(w.g.map->mover_grid[2][1], monster);
    EXPECT_EQ(w.g.map->fixed_grid[0][0]->type, OBJ_WALL);
}

TEST(setup, the_ring_runs_from_the_player_through_the_cells_made_before_it_backwards) {
    world w({
        "####",
        "#.P#",
        "#D.#",
        "####",
    });
    std::vector<obj *> ring = w.objects();
    ASSERT_EQ(ring.size(), 14u);
    // Made in reading order, each before the one made last: from the player along next
    // come the cells before it backwards, then the cells after it backwards.
    EXPECT_EQ(ring[1]->x, 0);
    EXPECT_EQ(ring[1]->y, 1);
    EXPECT_EQ(ring[2]->x, 3);
    EXPECT_EQ(ring[2]->y, 0);
    EXPECT_EQ(ring[5]->x, 0);
    EXPECT_EQ(ring[5]->y, 0);
    EXPECT_EQ(ring[6]->x, 3);
    EXPECT_EQ(ring[6]->y, 3);
    EXPECT_EQ(ring[13]->x, 3);
    EXPECT_EQ(ring[13]->y, 1);
    for (size_t k = 0; k < ring.size(); k++)
        EXPECT_EQ(ring[k]->next->prev, ring[k]);
}

TEST(setup, bonus_kinds_are_random_from_1_to_7_and_follow_the_seed) {
    std::vector<std::string> rows = {"##########", "#P???????#", "#????????#", "#???????D#",
                                     "##########"};
    std::vector<int> first, again, other;
    for (unsigned seed : {11u, 11u, 12u}) {
        world w(rows, seed);
        std::vector<int> &kinds = seed == 12u ? other : (first.empty() ? first : again);
        for (obj *b : w.of_type(OBJ_BONUS)) {
            EXPECT_GE(b->param1, 1);
            EXPECT_LE(b->param1, 7);
            kinds.push_back(b->param1);
        }
    }
    EXPECT_EQ(first.size(), 22u);
    EXPECT_EQ(first, again);
    EXPECT_NE(first, other);
}

// (param1, param2) of the monster that starts at (x, y).
std::pair<int, int> first_walk(const std::vector<std::string> &rows, int x, int y) {
    world w(rows);
    obj *m = w.find(OBJ_MONSTER, x, y);
    if (!m) return {99, 99};
    return {m->param1, m->param2};
}

TEST(setup, a_monster_starts_towards_its_first_free_neighbour) {
    using walk = std::pair<int, int>;
    EXPECT_EQ(first_walk({"######", "#.M.P#", "#D####", "######"}, 2, 1), walk(1, 0));
    EXPECT_EQ(first_walk({"######", "#.M#P#", "#D####", "######"}, 2, 1), walk(-1, 0));
    EXPECT_EQ(first_walk({"######", "##M#P#", "#D.###", "######"}, 2, 1), walk(0, 1));
    EXPECT_EQ(first_walk({"######", "##.#P#", "##M#D#", "######"}, 2, 2), walk(0, -1));
    // A hidden bonus is no way to go; a diamond is.
    EXPECT_EQ(first_walk({"######", "#?M?P#", "#D?###", "######"}, 2, 1), walk(0, 0));
    EXPECT_EQ(first_walk({"######", "#DM#P#", "######", "######"}, 2, 1), walk(-1, 0));
    // A monster start after it still reads 11; one before it already reads as floor.
    std::vector<std::string> pair = {"#######", "##MM#P#", "#D#####", "#######"};
    EXPECT_EQ(first_walk(pair, 2, 1), walk(0, 0));
    EXPECT_EQ(first_walk(pair, 3, 1), walk(-1, 0));
}

TEST(setup, a_map_whose_first_cell_makes_nothing_is_refused) {
    ::map *m = raw_map({
        ".####",
        "#P.D#",
        "#####",
    });
    config cfg{};
    game g;
    init_game_state(&g, &cfg, m, 3);
    EXPECT_EQ(create_map_objects(&g), 1);
    EXPECT_EQ(g.object_count, 0u);
    free_map(m);
}

TEST(setup, a_map_without_a_player_start_is_refused) {
    ::map *m = raw_map({
        "#####",
        "#.MD#",
        "#####",
    });
    config cfg{};
    game g;
    init_game_state(&g, &cfg, m, 3);
    EXPECT_EQ(create_map_objects(&g), 1);
    EXPECT_EQ(g.player, nullptr);
    // No head to free them from: take them down from the grids.
    for (int r = 0; r < m->height; r++) {
        for (int c = 0; c < m->width; c++) {
            suppr_obj(m, m->fixed_grid[r][c], &g.object_count);
            suppr_obj(m, m->mover_grid[r][c], &g.object_count);
        }
    }
    EXPECT_EQ(g.object_count, 0u);
    free_map(m);
}

TEST(setup, freeing_the_objects_frees_them_all_and_the_same_game_can_start_again) {
    world w({
        "#####",
        "#P?M#",
        "#.D.#",
        "#####",
    });
    free_game_objects(&w.g);
    EXPECT_EQ(w.g.object_count, 0u);
    EXPECT_EQ(w.g.player, nullptr);
    free_game_objects(&w.g); // nothing left: harmless
}

} // namespace
