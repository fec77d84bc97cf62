// One tick and the seconds step: keys, the corner rule, walking pictures, bombs, bonus
// effects, the end checks and the countdowns counted in seconds.
#include "rules_world.h"

#include <gtest/gtest.h>

namespace {

const std::vector<std::string> room = {
    "#######", "#.....#", "#..P..#", "#.....#", "#....D#", "#######",
};

TEST(tick, the_corner_rule_takes_back_the_vertical_step_past_a_corner) {
    world w(room);
    obj *p = w.player();
    w.g.map->cells[1][4] = CELL_WALL; // up and to the right of the player
    p->off_x = 2;
    p->off_y = -2;
    w.tick(held("UR"));
    EXPECT_EQ(p->off_x, 4);
    EXPECT_EQ(p->off_y, -2);
    // Exactly one step out of its column, the player keeps its upward step.
    p->off_x = 0;
    p->off_y = -2;
    w.tick(held("UR"));
    EXPECT_EQ(p->off_x, 2);
    EXPECT_EQ(p->off_y, -4);
    // Nothing in the diagonal cell: both steps stay.
    w.g.map->cells[1][4] = CELL_EMPTY;
    p->off_x = 2;
    p->off_y = -2;
    w.tick(held("UR"));
    EXPECT_EQ(p->off_x, 4);
    EXPECT_EQ(p->off_y, -4);
}

TEST(tick, the_walking_picture_steps_every_ten_ticks_while_a_key_is_held) {
    world w(room);
    obj *p = w.player();
    EXPECT_EQ(p->sprites, w.g.player_sprites[FACING_DOWN]);
    std::vector<int> frames;
    for (int k = 1; k <= 40; k++) {
        w.tick(held("L"));
        if (k % 10 == 9 || k % 10 == 0) frames.push_back(p->frame);
    }
    EXPECT_EQ(frames, (std::vector<int>{0, 1, 1, 2, 2, 3, 3, 0}));
    EXPECT_EQ(p->sprites, w.g.player_sprites[FACING_LEFT]);
    w.ticks(5, held("L"));
    w.ticks(30);
    EXPECT_EQ(p->frame, 0);
    EXPECT_EQ(p->anim_delay, 5);
    // Walking on into a wall still animates: 105 ticks of walking in all.
    w.ticks(60, held("D"));
    EXPECT_EQ(p->y, 4);
    EXPECT_EQ(p->off_y, 0);
    EXPECT_EQ(p->frame, 2);
}

TEST(tick, left_and_right_together_cancel_out_and_show_the_right_picture) {
    world w(room);
    obj *p = w.player();
    w.ticks(20, held("LR"));
    EXPECT_EQ(p->off_x, 0);
    EXPECT_EQ(p->x, 3);
    EXPECT_EQ(p->sprites, w.g.player_sprites[FACING_RIGHT]);
    EXPECT_EQ(p->frame, 0);
    EXPECT_EQ(p->anim_delay, 10);
    // Up and down together with left: the horizontal walk animates alone.
    w.ticks(10, held("UDL"));
    EXPECT_EQ(p->off_y, 0);
    EXPECT_EQ(p->frame, 1);
    EXPECT_EQ(p->sprites, w.g.player_sprites[FACING_LEFT]);
}

TEST(tick, a_held_bomb_key_lays_one_bomb_per_empty_cell_while_bombs_are_in_hand) {
    world w({
        "#######",
        "#P....#",
        "#D....#",
        "#######",
    });
    obj *p = w.player();
    w.ticks(10, held("B"));
    EXPECT_EQ(w.count(OBJ_BOMB), 1);
    EXPECT_EQ(p->param3, 1);
    EXPECT_EQ(w.cell(1, 1), CELL_BOMB);
    obj *bomb = w.find(OBJ_BOMB, 1, 1);
    EXPECT_EQ(bomb->param3, 2);
    EXPECT_EQ(bomb->timer, 3);
    EXPECT_EQ(bomb->sprites, w.g.bomb_sprites);
    EXPECT_EQ(bomb->next, p); // laid just before the player: last in the pass
    // Walking on with the key held: one more bomb in the next cell, then none in hand.
    for (int k = 0; k < 60 && p->x < 4; k++)
        w.tick(held("RB"));
    EXPECT_EQ(p->x, 4);
    EXPECT_EQ(w.count(OBJ_BOMB), 2);
    EXPECT_NE(w.find(OBJ_BOMB, 2, 1), nullptr);
    EXPECT_EQ(p->param3, 0);
}

TEST(tick, a_super_bomb_has_range_30_and_the_second_picture) {
    world w({
        "###########",
        "#P........#",
        "#.#########",
        "#........D#",
        "###########",
    });
    obj *p = w.player();
    p->param1 = BONUS_SUPER_BOMB;
    p->timer = 15;
    w.tick(held("B"));
    obj *bomb = w.find(OBJ_BOMB, 1, 1);
    ASSERT_NE(bomb, nullptr);
    EXPECT_EQ(bomb->param3, 30);
    EXPECT_EQ(bomb->sprites, w.g.super_bomb_sprites);
    EXPECT_EQ(p->param1, BONUS_SUPER_BOMB); // still running
    bomb->timer = 0;
    w.ticks(9);
    EXPECT_NE(w.find(OBJ_FLAME, 9, 1), nullptr);
    // Range was left at the wall: the last piece shows a middle, not an arm end.
    EXPECT_EQ(w.find(OBJ_FLAME, 9, 1)->sprites, w.g.flame_sprites[FLAME_PIC_MIDDLE_H]);
    EXPECT_NE(w.find(OBJ_FLAME, 1, 3), nullptr);
    EXPECT_EQ(w.count(OBJ_FLAME), 1 + 8 + 2);
}

TEST(tick, a_random_fuse_is_drawn_once_and_kept_for_every_bomb_of_the_effect) {
    world w(
        {
            "########",
            "#P.....#",
            "#D.....#",
            "########",
        },
        7);
    obj *p = w.player();
    p->param1 = BONUS_RANDOM_FUSE;
    p->timer = 15;
    w.tick();
    int fuse = w.g.fuse_time;
    EXPECT_GE(fuse, 1);
    EXPECT_LE(fuse, 10);
    EXPECT_EQ(p->param1, 0);
    w.ticks(10, held("B"));
    w.ticks(40, held("RB"));
    std::vector<obj *> bombs = w.of_type(OBJ_BOMB);
    ASSERT_EQ(bombs.size(), 2u);
    EXPECT_EQ(bombs[0]->timer, fuse);
    EXPECT_EQ(bombs[1]->timer, fuse);
    EXPECT_EQ(w.g.fuse_time, fuse);
}

TEST(tick, an_effect_ends_when_its_fifteen_seconds_are_over) {
    world w(room);
    obj *p = w.player();
    p->param1 = BONUS_SLOW;
    p->timer = 15;
    w.tick();
    EXPECT_EQ(w.g.speed, 1);
    p->param1 = BONUS_REVERSE; // a second bonus adds up and restarts the time
    p->timer = 15;
    w.tick();
    EXPECT_EQ(w.g.speed, 1);
    EXPECT_EQ(w.g.direction_sign, -1);
    w.tick(held("R")); // reversed: right walks left, but shows the right picture
    EXPECT_EQ(p->off_x, -1);
    EXPECT_EQ(p->sprites, w.g.player_sprites[FACING_RIGHT]);
    for (int k = 0; k < 14; k++) {
        w.second();
        w.tick();
    }
    EXPECT_EQ(w.g.speed, 1);
    w.second();
    EXPECT_EQ(p->timer, 0);
    w.tick();
    EXPECT_EQ(w.g.speed, 2);
    EXPECT_EQ(w.g.direction_sign, 1);
    EXPECT_EQ(w.g.fuse_time, 3);
    w.second();
    EXPECT_EQ(p->timer, -1);
}

TEST(tick, a_bomb_or_time_bonus_ends_every_running_effect_in_the_same_tick) {
    world w(room);
    obj *p = w.player();
    p->param1 = BONUS_FAST;
    p->timer = 15;
    w.tick();
    EXPECT_EQ(w.g.speed, 4);
    p->param1 = BONUS_BOMB;
    p->timer = 15;
    w.tick();
    EXPECT_EQ(w.g.speed, 2);
    EXPECT_EQ(p->param3, 3);
    EXPECT_EQ(p->param1, 0);
    EXPECT_EQ(p->timer, 0);

    p->param1 = BONUS_REVERSE;
    p->timer = 15;
    w.tick();
    int time_left = w.g.time_left;
    p->param1 = BONUS_TIME;
    p->timer = 15;
    w.tick();
    EXPECT_EQ(w.g.time_left, time_left + 15);
    EXPECT_EQ(w.g.direction_sign, 1);
}

TEST(tick, another_bonus_ends_the_super_bomb) {
    world w(room);
    obj *p = w.player();
    p->param1 = BONUS_SUPER_BOMB;
    p->timer = 15;
    w.tick();
    EXPECT_EQ(p->param1, BONUS_SUPER_BOMB);
    w.tick(held("B"));
    EXPECT_EQ(w.find(OBJ_BOMB, 3, 2)->param3, 30);
    p->param1 = BONUS_FAST; // as when taken during the pass
    p->timer = 15;
    w.tick();
    EXPECT_EQ(p->param1, 0);
    w.ticks(10, held("RB"));
    obj *later = w.find(OBJ_BOMB, 4, 2);
    ASSERT_NE(later, nullptr);
    EXPECT_EQ(later->param3, 2);
    EXPECT_EQ(later->sprites, w.g.bomb_sprites);
}

TEST(tick, the_last_diamond_wins_even_when_the_player_dies_in_that_tick) {
    world w({
        "#####",
        "#PD.#",
        "#####",
    });
    obj *p = w.player();
    creer_obj(w.g.map, p, &w.g.object_count, 2, 1, 0, 0, OBJ_MONSTER, 0, 0, 0, -1, 30,
              w.g.monster_sprites, 0);
    w.g.map->cells[1][2] = CELL_DIAMOND; // the monster stands on the diamond
    p->off_x = 14;
    game_keys right = held("R");
    EXPECT_TRUE(game_tick(&w.g, &right));
    EXPECT_EQ(p->param2, -1);
    EXPECT_EQ(w.g.diamonds_left, 0u);
    EXPECT_EQ(w.g.end_state, END_WON);
}

TEST(tick, time_running_out_in_the_frame_of_the_last_diamond_loses) {
    world w({
        "#####",
        "#PD.#",
        "#####",
    });
    w.g.time_left = 1;
    w.player()->off_x = 14;
    w.tick(held("R"));
    EXPECT_EQ(w.g.end_state, END_WON);
    w.second();
    EXPECT_EQ(w.g.time_left, 0);
    EXPECT_EQ(w.g.end_state, END_TIME_UP);
}

TEST(tick, each_tick_reports_whether_it_ended_the_game) {
    world w(room);
    game_keys none{};
    EXPECT_FALSE(game_tick(&w.g, &none));
    EXPECT_EQ(w.g.end_state, END_NONE);
    game_keys quit = held("Q");
    EXPECT_TRUE(game_tick(&w.g, &quit));
    EXPECT_EQ(w.g.end_state, END_QUIT);

    // Quitting overrides a death in the same tick; a map without diamonds is won at once.
    world dead(room);
    dead.player()->param2 = -1;
    dead.tick(held("Q"));
    EXPECT_EQ(dead.g.end_state, END_QUIT);
    world empty({
        "#####",
        "#P..#",
        "#####",
    });
    empty.tick();
    EXPECT_EQ(empty.g.end_state, END_WON);
}

TEST(seconds, the_seconds_step_counts_fps_time_and_every_timer_but_flames_and_blocks) {
    world w(room);
    obj *p = w.player();
    w.g.frames_this_second = 57;
    obj *bomb = w.bomb_at(5, 1, 3);
    obj *flame = creer_obj(w.g.map, p, &w.g.object_count, 1, 3, FLAME_CENTRE, 0, OBJ_FLAME, 0, 0, 0,
                           30, 5, w.g.flame_sprites[0], 0);
    obj *block = creer_obj(w.g.map, p, &w.g.object_count, 5, 3, 0, 0, OBJ_BLOCK, 0, 0, 0, 20, 0,
                           w.g.block_sprites, 1);
    p->timer = 15;
    game_seconds_step(&w.g, 42);
    EXPECT_EQ(w.g.fps, 57);
    EXPECT_EQ(w.g.frames_this_second, 0);
    EXPECT_EQ(w.g.last_second, 42);
    EXPECT_EQ(w.g.time_left, 89);
    EXPECT_EQ(bomb->timer, 2);
    EXPECT_EQ(p->timer, 14);
    EXPECT_EQ(flame->timer, 30);
    EXPECT_EQ(block->timer, 20);
    for (obj *o : w.objects()) {
        if (o->type == OBJ_WALL || o->type == OBJ_DIAMOND) {
            EXPECT_EQ(o->timer, -1);
        }
    }
    EXPECT_EQ(w.g.end_state, END_NONE);
}

TEST(seconds, the_game_is_lost_when_time_left_reaches_exactly_0) {
    world w(room, 1, 2);
    w.second();
    EXPECT_EQ(w.g.end_state, END_NONE);
    w.second();
    EXPECT_EQ(w.g.time_left, 0);
    EXPECT_EQ(w.g.end_state, END_TIME_UP);
}

TEST(seconds, a_bomb_goes_off_in_the_first_tick_after_its_fuse_ran_out) {
    world w(room);
    w.tick(held("B"));
    obj *p = w.player();
    ASSERT_EQ(p->param3, 1);
    w.ticks(15, held("L"));
    w.ticks(15, held("U"));
    w.second();
    w.second();
    w.ticks(50);
    EXPECT_EQ(w.count(OBJ_BOMB), 1);
    w.second();
    EXPECT_EQ(w.count(OBJ_BOMB), 1);
    w.tick();
    EXPECT_EQ(w.count(OBJ_BOMB), 0);
    EXPECT_EQ(p->param3, 2);
    EXPECT_EQ(p->param2, 1); // out of reach, diagonally
}

} // namespace
