// Movement and contacts: how the player and monsters walk, stop, cross cells, meet and
// pick things up, one tick at a time.
#include "rules_world.h"

#include <gtest/gtest.h>

namespace {

const std::vector<std::string> corridor = {
    "#######",
    "#P....#",
    "##D####",
    "#######",
};

// Offsets after each tick of walking right from a cell's centre until the next centre.
std::vector<int> walk_right(world &w, int ticks) {
    std::vector<int> offsets;
    for (int k = 0; k < ticks; k++) {
        w.tick(held("R"));
        offsets.push_back(w.player()->off_x);
    }
    return offsets;
}

TEST(movement, fifteen_ticks_from_centre_to_centre_at_speed_2) {
    world w(corridor);
    std::vector<int> expected = {2, 4, 6, 8, 10, 12, 14, -14, -12, -10, -8, -6, -4, -2, 0};
    EXPECT_EQ(walk_right(w, 15), expected);
    EXPECT_EQ(w.player()->x, 2);
    EXPECT_EQ(w.g.map->mover_grid[1][2], w.player());
    EXPECT_EQ(w.g.map->mover_grid[1][1], nullptr);
}

TEST(movement, seven_ticks_at_speed_4_and_thirty_one_at_speed_1) {
    world fast(corridor);
    fast.g.speed = 4;
    std::vector<int> expected = {4, 8, 12, -12, -8, -4, 0};
    EXPECT_EQ(walk_right(fast, 7), expected);
    EXPECT_EQ(fast.player()->x, 2);

    world slow(corridor);
    slow.g.speed = 1;
    std::vector<int> offsets = walk_right(slow, 31);
    EXPECT_EQ(offsets[14], 15);
    EXPECT_EQ(offsets[15], -15);
    EXPECT_EQ(offsets[30], 0);
    EXPECT_EQ(slow.player()->x, 2);
}

TEST(movement, a_monster_takes_thirty_one_ticks_from_centre_to_centre) {
    world w({
        "#######",
        "#M...P#",
        "##D####",
        "#######",
    });
    obj *monster = w.of_type(OBJ_MONSTER).at(0);
    ASSERT_EQ(monster->param1, 1);
    for (int k = 1; k <= 15; k++)
        w.tick();
    EXPECT_EQ(monster->x, 1);
    EXPECT_EQ(monster->off_x, 15);
    w.tick();
    EXPECT_EQ(monster->x, 2);
    EXPECT_EQ(monster->off_x, -15);
    w.ticks(15);
    EXPECT_EQ(monster->x, 2);
    EXPECT_EQ(monster->off_x, 0);
    EXPECT_EQ(monster->off_y, 0);
}

TEST(movement, a_wall_ahead_stops_a_key_press_and_a_player_slides_back_to_the_centre) {
    world w({
        "#####",
        "#.P.#",
        "#D###",
        "#####",
    });
    obj *p = w.player();
    w.ticks(5, held("D")); // a wall below
    EXPECT_EQ(p->off_y, 0);
    EXPECT_EQ(p->y, 1);

    w.ticks(3, held("R"));
    ASSERT_EQ(p->off_x, 6);
    w.ticks(3); // a free cell ahead: it stays where it was let go
    EXPECT_EQ(p->off_x, 6);

    w.g.map->cells[1][3] = 0; // as if a wall stood there
    std::vector<int> slide;
    for (int k = 0; k < 4; k++) {
        w.tick();
        slide.push_back(p->off_x);
    }
    EXPECT_EQ(slide, (std::vector<int>{4, 2, 0, 0}));
    EXPECT_EQ(p->x, 2);
}

TEST(movement, a_bomb_stops_the_player_like_a_wall_and_its_own_cell_does_not) {
    world w({
        "######",
        "#.P..#",
        "#D####",
        "######",
    });
    obj *p = w.player();
    w.bomb_at(3, 1);
    w.ticks(4, held("R"));
    EXPECT_EQ(p->off_x, 0);
    // Standing on a bomb just laid, the player walks off it.
    w.tick(held("LB"));
    EXPECT_EQ(w.cell(2, 1), CELL_BOMB);
    w.ticks(15, held("L"));
    EXPECT_EQ(p->x, 1);
    EXPECT_EQ(p->off_x, 0);
}

TEST(movement, a_bomb_left_behind_pushes_the_player_on_to_the_next_centre) {
    world w(corridor);
    w.tick(held("B"));
    // Past the crossing the offset points back at the bomb's cell, an obstacle: each tick
    // takes the player 2 pixels further on, besides the key's 2.
    std::vector<int> expected = {2, 4, 6, 8, 10, 12, 14, -12, -8, -4, 0, 2};
    EXPECT_EQ(walk_right(w, 12), expected);
}

TEST(movement, crossing_into_a_cell_takes_its_diamond_or_bonus_in_the_same_tick) {
    world w({
        "######",
        "#P.D.#",
        "#D####",
        "######",
    });
    obj *p = w.player();
    w.ticks(15, held("R"));
    ASSERT_EQ(p->x, 2);
    w.ticks(7, held("R"));
    ASSERT_EQ(p->off_x, 14);
    EXPECT_EQ(w.g.diamonds_left, 2u);
    uint32_t objects = w.g.object_count;
    w.tick(held("R"));
    EXPECT_EQ(p->x, 3);
    EXPECT_EQ(p->off_x, -14);
    EXPECT_EQ(w.g.diamonds_left, 1u);
    EXPECT_EQ(w.cell(3, 1), CELL_EMPTY);
    EXPECT_EQ(w.find(OBJ_DIAMOND, 3, 1), nullptr);
    EXPECT_EQ(w.g.object_count, objects - 1);

    // An uncovered bonus is taken the same way; its kind and 15 seconds go to the player.
    obj *bonus = creer_obj(w.g.map, p, &w.g.object_count, 4, 1, 0, 0, OBJ_BONUS, BONUS_SUPER_BOMB,
                           0, 0, 5, 0, w.g.bonus_sprites, BONUS_SUPER_BOMB);
    w.g.map->cells[1][4] = CELL_BONUS;
    ASSERT_NE(bonus, nullptr);
    w.ticks(14, held("R"));
    ASSERT_EQ(p->x, 3);
    ASSERT_EQ(p->off_x, 14);
    w.tick(held("R"));
    EXPECT_EQ(p->x, 4);
    EXPECT_EQ(p->param1, BONUS_SUPER_BOMB);
    EXPECT_EQ(p->timer, 15);
    EXPECT_EQ(w.cell(4, 1), CELL_EMPTY);
    EXPECT_EQ(w.g.map->fixed_grid[1][4], nullptr);
}

TEST(movement, a_bonus_hidden_under_its_block_cannot_be_taken) {
    world w({
        "#####",
        "#P?D#",
        "#####",
    });
    obj *bonus = w.of_type(OBJ_BONUS).at(0);
    EXPECT_EQ(w.cell(2, 1), CELL_BLOCK);
    w.ticks(20, held("R"));
    EXPECT_EQ(w.player()->x, 1);
    EXPECT_EQ(w.player()->off_x, 0);
    EXPECT_EQ(w.player()->param1, 0);
    EXPECT_EQ(w.of_type(OBJ_BONUS).at(0), bonus);
}

TEST(movement, a_monster_with_no_way_to_go_stands_still_but_animates) {
    world w({
        "#####",
        "#P#D#",
        "##M##",
        "#####",
    });
    obj *monster = w.of_type(OBJ_MONSTER).at(0);
    EXPECT_EQ(monster->param1, 0);
    EXPECT_EQ(monster->param2, 0);
    int first = monster->frame;
    w.ticks(30);
    EXPECT_EQ(monster->frame, (first + 1) % 2);
    EXPECT_EQ(monster->anim_delay, 30);
    w.ticks(30);
    EXPECT_EQ(monster->frame, first);
    EXPECT_EQ(monster->x, 2);
    EXPECT_EQ(monster->off_x, 0);
    EXPECT_EQ(monster->off_y, 0);
}

TEST(movement, a_monster_walks_to_and_fro_over_diamonds_turning_one_pixel_into_a_wall) {
    world w({
        "#######",
        "#MD.#P#",
        "#######",
    });
    obj *monster = w.of_type(OBJ_MONSTER).at(0);
    ASSERT_EQ(monster->param1, 1);
    w.ticks(62);
    EXPECT_EQ(monster->x, 3);
    EXPECT_EQ(monster->off_x, 0);
    EXPECT_EQ(w.g.diamonds_left, 1u); // walked over it without taking it
    EXPECT_EQ(w.cell(2, 1), CELL_DIAMOND);
    w.tick();
    EXPECT_EQ(monster->off_x, 1);
    EXPECT_EQ(monster->param1, -1);
    w.tick();
    EXPECT_EQ(monster->off_x, 0);
    w.ticks(62);
    EXPECT_EQ(monster->x, 1);
    EXPECT_EQ(monster->off_x, 0);
    w.tick();
    EXPECT_EQ(monster->off_x, -1);
    EXPECT_EQ(monster->param1, 1);
    EXPECT_EQ(monster->off_y, 0); // never changes axis
}

TEST(movement, a_monster_turns_before_a_bomb_laid_in_the_cell_ahead) {
    world w({
        "#######",
        "#M...P#",
        "##D####",
        "#######",
    });
    obj *monster = w.of_type(OBJ_MONSTER).at(0);
    w.ticks(10);
    ASSERT_EQ(monster->off_x, 10);
    w.bomb_at(2, 1);
    w.tick();
    EXPECT_EQ(monster->off_x, 11);
    EXPECT_EQ(monster->param1, -1);
    // Still past its cell's centre towards the bomb, it turns again at every tick: it
    // trembles in front of the bomb, never entering its cell.
    for (int k = 0; k < 20; k++) {
        w.tick();
        EXPECT_EQ(monster->x, 1);
        EXPECT_EQ(monster->off_x, k % 2 == 0 ? 10 : 11);
    }
    // Once the way is free again it walks on, after one more turn at the left wall.
    suppr_obj(w.g.map, w.find(OBJ_BOMB, 2, 1), &w.g.object_count);
    w.ticks(40);
    EXPECT_EQ(monster->x, 2);
}

TEST(movement, a_monster_crossing_into_another_monsters_cell_removes_it) {
    world w({
        "#######",
        "#P#MM##",
        "##D####",
        "#######",
    });
    obj *still = w.find(OBJ_MONSTER, 3, 1);
    obj *walker = w.find(OBJ_MONSTER, 4, 1);
    // At set-up the second start still read 11, which is no floor: the first stands still.
    ASSERT_EQ(still->param1, 0);
    ASSERT_EQ(still->param2, 0);
    ASSERT_EQ(walker->param1, -1);
    walker->off_x = -15;
    uint32_t objects = w.g.object_count;
    w.tick();
    EXPECT_EQ(w.count(OBJ_MONSTER), 1);
    EXPECT_EQ(w.of_type(OBJ_MONSTER).at(0), walker);
    EXPECT_EQ(walker->x, 3);
    EXPECT_EQ(w.g.map->mover_grid[1][3], walker);
    EXPECT_EQ(w.g.map->mover_grid[1][4], nullptr);
    EXPECT_EQ(w.g.object_count, objects - 1);
}

TEST(movement, two_monsters_walking_into_each_other_leave_the_one_crossing_second) {
    world w({
        "########",
        "#M...M.#",
        "####P#D#",
        "########",
    });
    obj *left = w.find(OBJ_MONSTER, 1, 1);
    obj *right = w.find(OBJ_MONSTER, 5, 1);
    right->param1 = -1;
    // The pass meets objects made earlier in reverse order from the player: the right
    // monster crosses into x 3 first, then the left one crosses into its cell.
    w.ticks(46);
    EXPECT_EQ(w.count(OBJ_MONSTER), 2);
    w.tick();
    ASSERT_EQ(w.count(OBJ_MONSTER), 1);
    EXPECT_EQ(w.of_type(OBJ_MONSTER).at(0), left);
    EXPECT_EQ(left->x, 3);
    EXPECT_EQ(w.player()->param2, 1);
}

TEST(movement, monster_and_player_meeting_in_one_cell_kill_the_player_both_ways) {
    // A monster crossing into the cell of a player who stands still.
    world a({
        "######",
        "#D#PM#",
        "######",
    });
    obj *monster = a.of_type(OBJ_MONSTER).at(0);
    monster->param1 = -1;
    monster->off_x = -15;
    a.tick();
    EXPECT_EQ(a.player()->param2, -1);
    EXPECT_EQ(a.g.end_state, END_DEAD);

    // The player crossing into the cell of a monster standing still.
    world b({
        "######",
        "#D#PM#",
        "######",
    });
    obj *still = b.of_type(OBJ_MONSTER).at(0);
    still->param1 = 0;
    b.player()->off_x = 14;
    b.tick(held("R"));
    EXPECT_EQ(b.player()->x, 4);
    EXPECT_EQ(b.player()->param2, -1);
    EXPECT_EQ(b.g.end_state, END_DEAD);
}

TEST(movement, pictures_that_overlap_from_two_cells_are_no_contact) {
    world w({
        "#######",
        "#D#P.M#",
        "#######",
    });
    obj *monster = w.of_type(OBJ_MONSTER).at(0);
    ASSERT_EQ(monster->param1, -1);
    obj *p = w.player();
    w.ticks(7, held("R"));
    ASSERT_EQ(p->off_x, 14); // and it stays there, with floor ahead
    w.ticks(9);
    ASSERT_EQ(monster->x, 4);
    // From here on the two pictures overlap: the player's at 3 x 32 + 14, the monster's
    // at 4 x 32 - 15 and then further left.
    for (int k = 0; k < 30; k++) {
        w.tick();
        ASSERT_EQ(monster->x, 4);
        EXPECT_EQ(p->param2, 1);
    }
    EXPECT_EQ(monster->off_x, -15);
    EXPECT_EQ(w.g.end_state, END_NONE);
    w.tick(); // now it crosses into the player's cell
    EXPECT_EQ(monster->x, 3);
    EXPECT_EQ(p->param2, -1);
}

TEST(movement, a_player_walking_into_another_player_object_goes_back) {
    // Only a map with two player starts, which the loader refuses, can have this.
    ::map *m = raw_map({
        "######",
        "#P..P#",
        "#D####",
        "######",
    });
    world w(m, 1);
    obj *head = w.player();
    ASSERT_EQ(head->x, 4); // the start read last leads the ring
    obj *other = w.find(OBJ_PLAYER, 1, 1);
    ASSERT_NE(other, nullptr);
    w.ticks(15, held("L"));
    EXPECT_EQ(head->x, 3);
    w.ticks(15, held("L"));
    EXPECT_EQ(head->x, 2);
    for (int k = 0; k < 20; k++) {
        w.tick(held("L"));
        EXPECT_EQ(head->x, 2);
        EXPECT_GT(head->off_x, -16);
    }
    EXPECT_EQ(other->x, 1);
    EXPECT_EQ(head->param2, 1);
    EXPECT_EQ(other->param2, 1);
}

TEST(movement, a_map_without_border_keeps_everyone_inside) {
    ::map *m = raw_map({
        "P..",
        "..M",
        "D..",
    });
    world w(m, 1);
    obj *p = w.player();
    w.ticks(20, held("UL"));
    EXPECT_EQ(p->x, 0);
    EXPECT_EQ(p->y, 0);
    EXPECT_EQ(p->off_x, 0);
    EXPECT_EQ(p->off_y, 0);
    obj *monster = w.of_type(OBJ_MONSTER).at(0);
    w.ticks(200);
    EXPECT_GE(monster->x, 0);
    EXPECT_LT(monster->x, 3);
    EXPECT_GT(monster->off_x, -16);
    EXPECT_LT(monster->off_x, 16);
}

} // namespace
