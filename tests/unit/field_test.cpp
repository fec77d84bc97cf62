// The play field as draw_playscreen paints it: ring order, movers' offsets, fixed things
// on their corner, walls left to the background, a tall player split around the flames.
#include "hud.h"
#include "objets.h"
#include "test_util.h"

#include <allegro.h>
#include <gtest/gtest.h>

namespace {

const int OX = 16, OY = 40; // where the field starts in the destination

struct field : ::testing::Test {
    BITMAP *dest = nullptr;
    std::vector<BITMAP *> owned;
    std::vector<obj> ring = std::vector<obj>(64);
    size_t used = 0;
    int red, green, blue, white, yellow, grey;
    void SetUp() override {
        allegro_for_tests(32);
        dest = create_bitmap(480, 400);
        clear_bitmap(dest);
        red = makecol(255, 0, 0), green = makecol(0, 255, 0), blue = makecol(0, 0, 255);
        white = makecol(255, 255, 255), yellow = makecol(255, 255, 0),
        grey = makecol(128, 128, 128);
    }
    void TearDown() override {
        for (BITMAP *b : owned)
            destroy_bitmap(b);
        destroy_bitmap(dest);
    }
    // A frame of one colour; a 48-pixel tall one has a white head (its left column yellow)
    // above its 32 rows.
    BITMAP *pic(int colour, int height = 32) {
        owned.push_back(create_bitmap(32, height));
        clear_to_color(owned.back(), colour);
        if (height > 32) {
            rectfill(owned.back(), 0, 0, 31, height - 33, white);
            vline(owned.back(), 0, 0, height - 33, yellow);
        }
        return owned.back();
    }
    void add(int type, int x, int y, BITMAP **sprites, int off_x = 0, int off_y = 0,
             int frame = 0) {
        obj &o = ring[used++];
        o = obj{};
        o.type = (int8_t)type, o.x = x, o.y = y, o.off_x = (int8_t)off_x, o.off_y = (int8_t)off_y;
        o.sprites = sprites, o.frame = (uint8_t)frame, o.timer = -1;
    }
    void draw() {
        for (size_t i = 0; i < used; i++)
            ring[i].next = &ring[(i + 1) % used], ring[i].prev = &ring[(i + used - 1) % used];
        draw_playscreen(&ring[0], dest, OX, OY);
    }
    int at(int c, int r, int dx, int dy) {
        return getpixel(dest, OX + 32 * c + dx, OY + 32 * r + dy);
    }
};

TEST_F(field, every_thing_lands_where_and_as_the_player_sees_it) {
    BITMAP *player[1] = {pic(blue, 48)}, *flame[1] = {pic(red)}, *monster[1] = {pic(green)};
    BITMAP *block[2] = {pic(yellow), pic(red)}, *wall[1] = {pic(grey)}, *bomb[1] = {pic(yellow)};
    BITMAP *diamond[1] = {pic(bitmap_mask_color(dest))}, *other[1] = {pic(green)};
    BITMAP *short_strip[4] = {pic(yellow), nullptr, nullptr, nullptr};
    rectfill(diamond[0], 8, 8, 23, 23, green);
    rectfill(dest, OX + 32 * 12, OY + 32, OX + 32 * 13 - 1, OY + 63, grey);
    add(OBJ_PLAYER, 9, 9, other);                       // an earlier player: not drawn
    add(OBJ_FLAME, 2, 1, flame, FLAME_UP, ARM_UP);      // above the player
    add(OBJ_FLAME, 2, 2, flame, FLAME_CENTRE, ARM_ALL); // on the player's feet
    add(OBJ_MONSTER, 5, 1, monster, 16, 0);             // half into the next cell
    add(OBJ_BLOCK, 6, 1, block);                        // drawn over the monster
    add(OBJ_BLOCK, 8, 2, block, 0, 0, 1);               // a burning block, its second step
    add(OBJ_BOMB, 10, 1, bomb, 9, 9);                   // a fixed thing's offsets mean nothing
    add(OBJ_WALL, 11, 1, wall);                         // left to the background
    add(OBJ_DIAMOND, 12, 1, diamond);                   // the mask shows the background
    add(OBJ_BOMB, 13, 1, short_strip, 0, 0, 2);         // beyond a short strip: skipped
    add(OBJ_DIAMOND, 13, 2, nullptr);                   // no pictures at all: skipped
    add(OBJ_PLAYER, 2, 2, player);                      // the last player is the one drawn
    draw();
    const struct {
        int c, r, dx, dy, colour;
    } want[] = {
        {2, 2, 5, 5, red},   {2, 2, 31, 31, red},    {2, 2, 5, -1, white},  {2, 2, 5, -16, white},
        {2, 2, 5, -17, red}, {2, 1, 5, 0, red},      {5, 1, 16, 0, green},  {6, 1, 5, 0, yellow},
        {5, 1, 15, 0, 0},    {8, 2, 2, 5, red},      {10, 1, 0, 0, yellow}, {10, 1, 32, 32, 0},
        {11, 1, 10, 10, 0},  {12, 1, 10, 10, green}, {12, 1, 2, 2, grey},   {13, 1, 5, 5, 0},
        {13, 2, 5, 5, 0},    {9, 9, 5, 5, 0},
    };
    for (const auto &w : want)
        EXPECT_EQ(at(w.c, w.r, w.dx, w.dy), w.colour)
            << w.c << "," << w.r << " +" << w.dx << "," << w.dy;
}

// A player off its cell's centre: the feet where the offsets put them, the head above.
TEST_F(field, a_player_off_centre_stands_where_its_offsets_put_it) {
    BITMAP *player[1] = {pic(blue, 48)};
    add(OBJ_PLAYER, 1, 1, player, 3, -2);
    draw();
    const struct {
        int dx, dy, colour;
    } want[] = {{3, -2, blue},   {34, 29, blue}, {34, 30, 0}, {3, -3, yellow},
                {4, -18, white}, {3, -19, 0},    {2, -2, 0}};
    for (const auto &w : want)
        EXPECT_EQ(at(1, 1, w.dx, w.dy), w.colour) << w.dx << "," << w.dy;
}

// A frame shorter than a cell stands on the cell's bottom edge.
TEST_F(field, a_short_player_frame_stands_on_the_bottom_of_its_cell) {
    BITMAP *player[1] = {pic(blue, 16)};
    add(OBJ_PLAYER, 1, 1, player);
    draw();
    for (auto [dy, colour] : {std::pair{15, 0}, {16, blue}, {31, blue}, {32, 0}})
        EXPECT_EQ(at(1, 1, 5, dy), colour) << dy;
}

} // namespace
