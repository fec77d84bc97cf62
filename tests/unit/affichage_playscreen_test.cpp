// The play field drawing: ring order, offsets of movers, the player split around the
// flames, and what is never drawn.
#include "hud.h"
#include "objets.h"
#include "test_util.h"

#include <allegro.h>
#include <cstring>
#include <gtest/gtest.h>
#include <vector>

namespace {

const int OX = 16, OY = 40; // where the field starts in the destination

// Pictures that own their bitmaps: solid frames, or a player frame with a head colour
// above its feet colour.
struct pictures {
    std::vector<BITMAP *> bitmaps;
    ~pictures() {
        for (BITMAP *b : bitmaps)
            destroy_bitmap(b);
    }
    BITMAP *solid(int colour, int height = 32) {
        BITMAP *b = create_bitmap(32, height);
        clear_to_color(b, colour);
        bitmaps.push_back(b);
        return b;
    }
    BITMAP *player(int head, int feet, int height) {
        BITMAP *b = solid(feet, height);
        rectfill(b, 0, 0, 31, height - 33, head);
        return b;
    }
};

// A ring of records made by hand, in the order given; the first is the head.
struct ring_of {
    std::vector<obj> objects;
    explicit ring_of(size_t n) : objects(n) {}
    obj *link() {
        size_t n = objects.size();
        for (size_t i = 0; i < n; i++) {
            objects[i].next = &objects[(i + 1) % n];
            objects[i].prev = &objects[(i + n - 1) % n];
        }
        return &objects[0];
    }
};

void set(obj *o, int8_t type, int x, int y, BITMAP **sprites, int8_t off_x = 0, int8_t off_y = 0) {
    *o = obj{};
    o->type = type;
    o->x = x;
    o->y = y;
    o->off_x = off_x;
    o->off_y = off_y;
    o->sprites = sprites;
    o->frame = 0;
    o->timer = -1;
}

int at(BITMAP *dest, int x, int y) {
    return getpixel(dest, x, y);
}
int cell_x(int c) {
    return OX + 32 * c;
}
int cell_y(int r) {
    return OY + 32 * r;
}

struct field : ::testing::Test {
    BITMAP *dest = nullptr;
    int black = 0, red = 0, green = 0, blue = 0, white = 0, yellow = 0, grey = 0;
    void SetUp() override {
        allegro_for_tests(32);
        dest = create_bitmap(320, 240);
        clear_bitmap(dest);
        black = makecol(0, 0, 0);
        red = makecol(255, 0, 0);
        green = makecol(0, 255, 0);
        blue = makecol(0, 0, 255);
        white = makecol(255, 255, 255);
        yellow = makecol(255, 255, 0);
        grey = makecol(128, 128, 128);
    }
    void TearDown() override { destroy_bitmap(dest); }
};

TEST_F(field, a_tall_player_stands_in_front_of_the_flame_above_and_behind_its_own) {
    pictures pics;
    BITMAP *player[1] = {pics.player(white, blue, 48)};
    BITMAP *flame[1] = {pics.solid(red)};
    ring_of ring(3);
    set(&ring.objects[0], OBJ_PLAYER, 2, 2, player);
    set(&ring.objects[1], OBJ_FLAME, 2, 1, flame, FLAME_UP, ARM_UP);
    set(&ring.objects[2], OBJ_FLAME, 2, 2, flame, FLAME_CENTRE, ARM_ALL);
    draw_playscreen(ring.link(), dest, OX, OY);
    // Own cell: the flame covers the feet.
    EXPECT_EQ(at(dest, cell_x(2) + 5, cell_y(2) + 5), red);
    EXPECT_EQ(at(dest, cell_x(2) + 31, cell_y(2) + 31), red);
    // The bottom 16 rows of the cell above: the head, drawn after the flames.
    EXPECT_EQ(at(dest, cell_x(2) + 5, cell_y(2) - 1), white);
    EXPECT_EQ(at(dest, cell_x(2) + 5, cell_y(2) - 16), white);
    // The top 16 rows of the cell above: the flame.
    EXPECT_EQ(at(dest, cell_x(2) + 5, cell_y(2) - 17), red);
    EXPECT_EQ(at(dest, cell_x(2) + 5, cell_y(1)), red);
}

TEST_F(field, a_tall_player_without_flames_shows_feet_in_its_cell_and_head_above) {
    pictures pics;
    BITMAP *player[1] = {pics.player(white, blue, 48)};
    ring_of ring(1);
    set(&ring.objects[0], OBJ_PLAYER, 1, 1, player, 3, -2);
    draw_playscreen(ring.link(), dest, OX, OY);
    int px = cell_x(1) + 3, py = cell_y(1) - 2;
    EXPECT_EQ(at(dest, px, py), blue);
    EXPECT_EQ(at(dest, px + 31, py + 31), blue);
    EXPECT_EQ(at(dest, px + 31, py + 32), black);
    EXPECT_EQ(at(dest, px, py - 1), white);
    EXPECT_EQ(at(dest, px, py - 16), white);
    EXPECT_EQ(at(dest, px, py - 17), black);
    EXPECT_EQ(at(dest, px - 1, py), black);
}

TEST_F(field, a_player_one_cell_high_draws_nothing_above_its_cell) {
    pictures pics;
    BITMAP *player[1] = {pics.solid(blue)};
    ring_of ring(1);
    set(&ring.objects[0], OBJ_PLAYER, 1, 1, player);
    draw_playscreen(ring.link(), dest, OX, OY);
    EXPECT_EQ(at(dest, cell_x(1), cell_y(1)), blue);
    EXPECT_EQ(at(dest, cell_x(1) + 31, cell_y(1) + 31), blue);
    EXPECT_EQ(at(dest, cell_x(1), cell_y(1) - 1), black);
}

TEST_F(field, movers_are_offset_and_fixed_things_and_flames_sit_on_their_corner) {
    pictures pics;
    BITMAP *player[1] = {pics.solid(blue)};
    BITMAP *monster[1] = {pics.solid(green)};
    BITMAP *bomb[1] = {pics.solid(yellow)};
    BITMAP *flame[1] = {pics.solid(red)};
    ring_of ring(4);
    set(&ring.objects[0], OBJ_PLAYER, 0, 0, player);
    set(&ring.objects[1], OBJ_MONSTER, 3, 1, monster, -15, 0);
    set(&ring.objects[2], OBJ_BOMB, 5, 1, bomb, 9, 9); // a fixed thing's offsets mean nothing
    set(&ring.objects[3], OBJ_FLAME, 7, 1, flame, FLAME_LEFT, 15);
    draw_playscreen(ring.link(), dest, OX, OY);
    EXPECT_EQ(at(dest, cell_x(3) - 15, cell_y(1)), green);
    EXPECT_EQ(at(dest, cell_x(3) - 16, cell_y(1)), black);
    EXPECT_EQ(at(dest, cell_x(3) + 16, cell_y(1)), green);
    EXPECT_EQ(at(dest, cell_x(3) + 17, cell_y(1)), black);
    EXPECT_EQ(at(dest, cell_x(5), cell_y(1)), yellow);
    EXPECT_EQ(at(dest, cell_x(5) + 31, cell_y(1) + 31), yellow);
    EXPECT_EQ(at(dest, cell_x(5) + 32, cell_y(1) + 32), black);
    EXPECT_EQ(at(dest, cell_x(7), cell_y(1)), red);
    EXPECT_EQ(at(dest, cell_x(7) + 32, cell_y(1) + 16), black);
}

TEST_F(field, walls_are_left_to_the_background_and_the_mask_colour_shows_through) {
    pictures pics;
    BITMAP *player[1] = {pics.solid(blue)};
    BITMAP *wall[1] = {pics.solid(grey)};
    BITMAP *diamond[1] = {pics.solid(bitmap_mask_color(dest))};
    rectfill(diamond[0], 8, 8, 23, 23, green);
    ring_of ring(3);
    set(&ring.objects[0], OBJ_PLAYER, 0, 0, player);
    set(&ring.objects[1], OBJ_WALL, 2, 2, wall);
    set(&ring.objects[2], OBJ_DIAMOND, 4, 2, diamond);
    rectfill(dest, cell_x(4), cell_y(2), cell_x(4) + 31, cell_y(2) + 31, grey);
    draw_playscreen(ring.link(), dest, OX, OY);
    EXPECT_EQ(at(dest, cell_x(2) + 10, cell_y(2) + 10), black);
    EXPECT_EQ(at(dest, cell_x(4) + 10, cell_y(2) + 10), green);
    EXPECT_EQ(at(dest, cell_x(4) + 2, cell_y(2) + 2), grey);
}

TEST_F(field, things_overlap_in_ring_order_under_the_player) {
    pictures pics;
    BITMAP *player[1] = {pics.solid(blue)};
    BITMAP *monster[1] = {pics.solid(green)};
    BITMAP *block[2] = {pics.solid(yellow), pics.solid(red)};
    ring_of ring(4);
    // The player, then a monster half into the next cell, then the block it walks into,
    // which covers it; then the second frame of a block being destroyed under the player.
    set(&ring.objects[0], OBJ_PLAYER, 6, 1, player, 4, 0);
    set(&ring.objects[1], OBJ_MONSTER, 1, 1, monster, 16, 0);
    set(&ring.objects[2], OBJ_BLOCK, 2, 1, block);
    set(&ring.objects[3], OBJ_BLOCK, 6, 1, block);
    ring.objects[3].frame = 1;
    draw_playscreen(ring.link(), dest, OX, OY);
    EXPECT_EQ(at(dest, cell_x(1) + 20, cell_y(1)), green);
    EXPECT_EQ(at(dest, cell_x(2) + 5, cell_y(1)), yellow);
    EXPECT_EQ(at(dest, cell_x(6) + 2, cell_y(1)), red);
    EXPECT_EQ(at(dest, cell_x(6) + 5, cell_y(1)), blue);
}

TEST_F(field, missing_frames_are_skipped_and_only_the_last_player_is_drawn) {
    pictures pics;
    BITMAP *first_player[1] = {pics.solid(green)};
    BITMAP *second_player[1] = {pics.solid(blue)};
    BITMAP *short_strip[4] = {pics.solid(yellow), nullptr, nullptr, nullptr};
    ring_of ring(5);
    set(&ring.objects[0], OBJ_PLAYER, 1, 1, first_player);
    set(&ring.objects[1], OBJ_BOMB, 2, 1, short_strip);
    ring.objects[1].frame = 2; // beyond what a short strip gave
    set(&ring.objects[2], OBJ_DIAMOND, 3, 1, nullptr);
    set(&ring.objects[3], OBJ_FLAME, 4, 1, short_strip);
    ring.objects[3].frame = 3;
    set(&ring.objects[4], OBJ_PLAYER, 5, 1, second_player);
    draw_playscreen(ring.link(), dest, OX, OY);
    EXPECT_EQ(at(dest, cell_x(1) + 5, cell_y(1) + 5), black);
    EXPECT_EQ(at(dest, cell_x(2) + 5, cell_y(1) + 5), black);
    EXPECT_EQ(at(dest, cell_x(4) + 5, cell_y(1) + 5), black);
    EXPECT_EQ(at(dest, cell_x(5) + 5, cell_y(1) + 5), blue);
}

TEST_F(field, the_ring_is_left_as_it_was) {
    pictures pics;
    BITMAP *player[1] = {pics.player(white, blue, 48)};
    BITMAP *flame[1] = {pics.solid(red)};
    ring_of ring(2);
    set(&ring.objects[0], OBJ_PLAYER, 1, 1, player, 5, 6);
    set(&ring.objects[1], OBJ_FLAME, 1, 0, flame, FLAME_UP, ARM_UP);
    obj *head = ring.link();
    std::vector<obj> before = ring.objects;
    draw_playscreen(head, dest, OX, OY);
    for (size_t i = 0; i < before.size(); i++)
        EXPECT_EQ(memcmp(&before[i], &ring.objects[i], sizeof(obj)), 0) << i;
}

} // namespace
