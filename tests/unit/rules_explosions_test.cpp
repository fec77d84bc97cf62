// Explosions and deaths: the cross of flames, what it burns, uncovers, sets off and
// kills, and when its pieces go.
#include "rules_world.h"

#include <gtest/gtest.h>

namespace {

const std::vector<std::string> open_floor = {
    "#########", "#P......#", "#.......#", "#.......#", "#.......#",
    "#.......#", "#.......#", "#......D#", "#########",
};

const char *pic(const world &w, int x, int y) {
    obj *flame = w.find(OBJ_FLAME, x, y);
    return flame ? picture_name(flame->sprites) : "no flame";
}

TEST(explosions, a_range_2_bomb_makes_nine_pieces_with_their_pictures) {
    world w(open_floor);
    w.bomb_at(4, 4, 0);
    w.tick();
    // The bomb was the last object before the player: its centre already spread.
    EXPECT_EQ(w.count(OBJ_BOMB), 0);
    EXPECT_EQ(w.cell(4, 4), CELL_EMPTY);
    EXPECT_EQ(w.count(OBJ_FLAME), 5);
    EXPECT_EQ(w.find(OBJ_FLAME, 4, 4)->timer, 39);
    EXPECT_EQ(w.player()->param3, 3); // the bomb came back to the player's hand
    w.tick();
    EXPECT_EQ(w.count(OBJ_FLAME), 9);
    EXPECT_STREQ(pic(w, 4, 4), "flame_centre");
    EXPECT_STREQ(pic(w, 4, 3), "flame_middle_v");
    EXPECT_STREQ(pic(w, 4, 5), "flame_middle_v");
    EXPECT_STREQ(pic(w, 3, 4), "flame_middle_h");
    EXPECT_STREQ(pic(w, 5, 4), "flame_middle_h");
    EXPECT_STREQ(pic(w, 4, 2), "flame_end_up");
    EXPECT_STREQ(pic(w, 4, 6), "flame_end_down");
    EXPECT_STREQ(pic(w, 2, 4), "flame_end_left");
    EXPECT_STREQ(pic(w, 6, 4), "flame_end_right");
    obj *outer = w.find(OBJ_FLAME, 6, 4);
    EXPECT_EQ(outer->off_x, FLAME_RIGHT);
    EXPECT_EQ(outer->off_y, ARM_RIGHT);
    EXPECT_EQ(outer->param3, 0);
    w.ticks(5);
    EXPECT_EQ(w.count(OBJ_FLAME), 9); // nothing spreads twice
    EXPECT_EQ(w.player()->param2, 1);
}

TEST(explosions, all_pieces_go_in_the_same_tick_forty_ticks_after_the_explosion) {
    world w(open_floor);
    w.bomb_at(4, 4, 0);
    uint32_t before = w.g.object_count;
    w.ticks(39);
    EXPECT_EQ(w.count(OBJ_FLAME), 9);
    for (obj *flame : w.of_type(OBJ_FLAME))
        EXPECT_EQ(flame->timer, 1);
    w.tick();
    EXPECT_EQ(w.count(OBJ_FLAME), 0);
    EXPECT_EQ(w.g.object_count, before - 1);
}

TEST(explosions, flame_pictures_animate_in_step) {
    world w(open_floor);
    w.bomb_at(4, 4, 0);
    w.ticks(12);
    std::vector<obj *> flames = w.of_type(OBJ_FLAME);
    for (obj *flame : flames) {
        EXPECT_EQ(flame->frame, flames[0]->frame);
        EXPECT_EQ(flame->anim_delay, flames[0]->anim_delay);
    }
    EXPECT_EQ(flames[0]->frame, 2); // a new frame every 5 ticks
}

TEST(explosions, a_wall_stops_an_arm_and_the_centre_keeps_its_picture) {
    world w(open_floor);
    w.bomb_at(1, 4, 0);
    w.ticks(2);
    EXPECT_EQ(w.count(OBJ_FLAME), 7);
    EXPECT_STREQ(pic(w, 1, 4), "flame_centre");
    EXPECT_EQ(w.find(OBJ_FLAME, 0, 4), nullptr);
    EXPECT_STREQ(pic(w, 3, 4), "flame_end_right");
    // A wall at distance 2 cuts the arm after one piece, which still shows a middle.
    w.g.map->cells[2][6] = CELL_WALL;
    w.ticks(40);
    w.bomb_at(6, 4, 0);
    w.ticks(2);
    EXPECT_EQ(w.find(OBJ_FLAME, 6, 2), nullptr);
    EXPECT_STREQ(pic(w, 6, 3), "flame_middle_v");
}

TEST(explosions, blocks_at_distance_1_and_2_both_burn_and_go) {
    world w({
        "#########",
        "#P......#",
        "#.......#",
        "#...BB..#",
        "#.......#",
        "#......D#",
        "#########",
    });
    w.bomb_at(3, 3, 0);
    w.ticks(3);
    obj *near = w.find(OBJ_BLOCK, 4, 3);
    obj *far = w.find(OBJ_BLOCK, 5, 3);
    ASSERT_NE(near, nullptr);
    ASSERT_NE(far, nullptr);
    EXPECT_NE(near->timer, -1);
    EXPECT_NE(far->timer, -1);
    EXPECT_GE(near->frame, 1);
    // The arm went on through the first block to the second: no piece beyond the range.
    EXPECT_NE(w.find(OBJ_FLAME, 5, 3), nullptr);
    EXPECT_EQ(w.find(OBJ_FLAME, 6, 3), nullptr);
    w.ticks(45);
    EXPECT_EQ(w.count(OBJ_BLOCK), 0);
    EXPECT_EQ(w.cell(4, 3), CELL_EMPTY);
    EXPECT_EQ(w.cell(5, 3), CELL_EMPTY);
    EXPECT_EQ(w.g.map->fixed_grid[3][4], nullptr);
}

TEST(explosions, a_burning_block_shows_each_step_then_goes) {
    world w(
        {
            "#######",
            "#P.B..#",
            "#....D#",
            "#######",
        },
        1, 90, 4); // four block pictures: a new one every 13 ticks
    obj *block = w.of_type(OBJ_BLOCK).at(0);
    block->timer = 41; // as a flame leaves it
    std::vector<int> frames;
    int ticks = 0;
    while (w.count(OBJ_BLOCK) == 1 && ticks < 100) {
        frames.push_back(block->frame);
        w.pass();
        ticks++;
    }
    // Steps 1, 2, 3 at passes 1, 13, 25; past the last step at pass 37, before its 41.
    EXPECT_EQ(ticks, 37);
    EXPECT_EQ(frames[1], 1);
    EXPECT_EQ(frames[12], 1);
    EXPECT_EQ(frames[13], 2);
    EXPECT_EQ(frames[25], 3);
    EXPECT_EQ(frames.back(), 3);
    EXPECT_EQ(w.cell(3, 1), CELL_EMPTY);
}

TEST(explosions, a_hidden_bonus_is_uncovered_at_once_and_later_flames_leave_it) {
    world w({
        "#######",
        "#P....#",
        "#..?..#",
        "#.....#",
        "#....D#",
        "#######",
    });
    obj *bonus = w.of_type(OBJ_BONUS).at(0);
    int kind = bonus->param1;
    ASSERT_GE(kind, 1);
    ASSERT_LE(kind, 7);
    w.bomb_at(3, 3, 0);
    w.ticks(2);
    EXPECT_EQ(w.cell(3, 2), CELL_BONUS);
    EXPECT_EQ(bonus->frame, kind);
    EXPECT_EQ(bonus->timer, 5);
    bonus->timer = 3; // as after two seconds
    w.bomb_at(2, 2, 0);
    w.ticks(10);
    EXPECT_EQ(w.of_type(OBJ_BONUS).at(0), bonus);
    EXPECT_EQ(bonus->timer, 3);
    EXPECT_EQ(bonus->frame, kind);
    EXPECT_EQ(w.cell(3, 2), CELL_BONUS);
    // Not taken, it goes when its seconds run out.
    w.second();
    w.second();
    w.tick();
    EXPECT_EQ(w.count(OBJ_BONUS), 1);
    w.second();
    w.tick();
    EXPECT_EQ(w.count(OBJ_BONUS), 0);
    EXPECT_EQ(w.cell(3, 2), CELL_EMPTY);
}

TEST(explosions, a_chain_reaction_sets_off_each_bomb_with_its_own_range) {
    world w(open_floor);
    w.bomb_at(3, 4, 0);
    obj *second = w.bomb_at(5, 4, 9);
    w.ticks(3);
    // The arm reached the second bomb in the third tick; it lies before that flame in
    // the ring, so it goes off in the next pass.
    ASSERT_EQ(w.count(OBJ_BOMB), 1);
    EXPECT_EQ(second->timer, 0);
    w.tick();
    EXPECT_EQ(w.count(OBJ_BOMB), 0);
    w.tick();
    EXPECT_NE(w.find(OBJ_FLAME, 5, 2), nullptr);
    EXPECT_NE(w.find(OBJ_FLAME, 7, 4), nullptr);
    EXPECT_NE(w.find(OBJ_FLAME, 5, 6), nullptr);
    EXPECT_EQ(w.player()->param3, 4); // two bombs back
}

TEST(explosions, a_flame_sets_off_a_bomb_later_in_the_ring_in_the_same_pass) {
    world w(open_floor);
    w.bomb_at(4, 4, 0);
    w.ticks(2);
    // Flames leave the floor code alone, so a bomb can lie in a burning cell; it comes
    // after the flame in the ring and goes off in the very pass the flame reaches it.
    obj *late = w.bomb_at(5, 4, 9);
    ASSERT_NE(late, nullptr);
    w.tick();
    EXPECT_EQ(w.count(OBJ_BOMB), 0);
    int in_cell = 0;
    for (obj *flame : w.of_type(OBJ_FLAME))
        in_cell += flame->x == 5 && flame->y == 4;
    EXPECT_EQ(in_cell, 2); // the standing piece and the new centre
    EXPECT_EQ(w.player()->param3, 4);
}

TEST(explosions, the_player_in_the_bombs_cell_or_next_to_it_dies_in_that_tick) {
    world w(open_floor);
    w.tick(held("B"));
    ASSERT_EQ(w.count(OBJ_BOMB), 1);
    for (int k = 0; k < 3; k++)
        w.second();
    EXPECT_EQ(w.player()->param2, 1);
    w.tick();
    EXPECT_EQ(w.player()->param2, -1);
    EXPECT_EQ(w.g.end_state, END_DEAD);

    world next(open_floor);
    next.bomb_at(2, 1, 0);
    next.tick();
    EXPECT_EQ(next.player()->param2, -1);
    EXPECT_EQ(next.g.end_state, END_DEAD);
}

TEST(explosions, a_player_killed_twice_in_one_pass_stays_dead) {
    world w({
        "#######",
        "#..P..#",
        "#....D#",
        "#######",
    });
    w.bomb_at(2, 1, 0);
    w.bomb_at(4, 1, 0);
    w.tick();
    EXPECT_EQ(w.player()->param2, -1);
    EXPECT_EQ(w.g.end_state, END_DEAD);
    mort(w.g.map, w.player(), &w.g.object_count);
    EXPECT_EQ(w.player()->param2, -1);
}

TEST(explosions, a_player_walking_into_a_standing_flame_dies_in_that_tick) {
    world w({
        "#########",
        "#.......#",
        "#P......#",
        "#......D#",
        "#########",
    });
    w.bomb_at(4, 2, 0);
    w.ticks(2);
    ASSERT_NE(w.find(OBJ_FLAME, 2, 2), nullptr);
    obj *p = w.player();
    w.ticks(7, held("R"));
    EXPECT_EQ(p->param2, 1);
    w.tick(held("R"));
    EXPECT_EQ(p->x, 2);
    EXPECT_EQ(p->param2, -1);
    EXPECT_EQ(w.g.end_state, END_DEAD);
}

TEST(explosions, a_monster_walking_into_a_standing_flame_is_removed) {
    world w({
        "#########",
        "#P.....D#",
        "#.......#",
        "#M......#",
        "#########",
    });
    obj *monster = w.of_type(OBJ_MONSTER).at(0);
    ASSERT_EQ(monster->param1, 1);
    w.bomb_at(4, 3, 0);
    w.ticks(2);
    ASSERT_NE(w.find(OBJ_FLAME, 2, 3), nullptr);
    w.ticks(13);
    ASSERT_EQ(monster->off_x, 15);
    EXPECT_EQ(w.count(OBJ_MONSTER), 1);
    w.ticks(2);
    EXPECT_EQ(w.count(OBJ_MONSTER), 0);
    EXPECT_EQ(w.g.map->mover_grid[3][2], nullptr);
}

TEST(explosions, a_flame_on_a_block_or_bomb_code_with_nothing_behind_it_does_nothing) {
    world w(open_floor);
    w.g.map->cells[3][3] = CELL_BLOCK;
    w.g.map->cells[5][5] = CELL_BOMB;
    obj *a = creer_obj(w.g.map, w.player(), &w.g.object_count, 3, 3, FLAME_CENTRE, 0, OBJ_FLAME, 0,
                       0, 0, 10, 5, w.g.flame_sprites[0], 0);
    obj *b = creer_obj(w.g.map, w.player(), &w.g.object_count, 5, 5, FLAME_CENTRE, 0, OBJ_FLAME, 0,
                       0, 0, 10, 5, w.g.flame_sprites[0], 0);
    w.ticks(3);
    EXPECT_EQ(a->timer, 7);
    EXPECT_EQ(b->timer, 7);
    EXPECT_EQ(w.cell(3, 3), CELL_BLOCK);
    EXPECT_EQ(w.cell(5, 5), CELL_BOMB);
}

TEST(explosions, arms_stop_at_the_edge_of_a_map_without_border) {
    ::map *m = raw_map({
        "P.....",
        "......",
        ".....D",
    });
    world w(m, 1);
    w.bomb_at(5, 0, 0);
    w.ticks(3);
    EXPECT_EQ(w.count(OBJ_FLAME), 5); // centre, two left, two down: nothing off the map
    for (obj *flame : w.of_type(OBJ_FLAME)) {
        EXPECT_GE(flame->x, 0);
        EXPECT_LT(flame->x, 6);
        EXPECT_GE(flame->y, 0);
        EXPECT_LT(flame->y, 3);
    }
}

TEST(explosions, mort_removes_a_monster_and_only_marks_the_player) {
    world w({
        "#####",
        "#P.M#",
        "#..D#",
        "#####",
    });
    obj *monster = w.of_type(OBJ_MONSTER).at(0);
    uint32_t before = w.g.object_count;
    mort(w.g.map, monster, &w.g.object_count);
    EXPECT_EQ(w.count(OBJ_MONSTER), 0);
    EXPECT_EQ(w.g.map->mover_grid[1][3], nullptr);
    EXPECT_EQ(w.g.object_count, before - 1);
    mort(w.g.map, w.player(), &w.g.object_count);
    EXPECT_EQ(w.player()->param2, -1);
    EXPECT_EQ(w.g.object_count, before - 1);
    EXPECT_EQ(w.g.map->mover_grid[1][1], w.player());
}

} // namespace
