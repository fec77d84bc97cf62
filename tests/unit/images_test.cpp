// Sprite tables cut from strip images.
#include "images.h"
#include "test_util.h"
#include "xvfb.h"

#include <allegro.h>
#include <gtest/gtest.h>

namespace {

// A strip whose frame k is filled with colour (k + 1) * 10 in red.
std::string write_strip(const temp_dir &dir, const char *name, int width, int height) {
    BITMAP *strip = create_bitmap(width, height);
    for (int x = 0; x < width; x++)
        vline(strip, x, 0, height - 1, makecol((x / 32 + 1) * 10, 0, 0));
    std::string path = dir.file(name);
    save_bitmap(path.c_str(), strip, nullptr);
    destroy_bitmap(strip);
    return path;
}

TEST(sprite_tables, frames_are_cut_from_the_requested_run) {
    allegro_for_tests();
    temp_dir dir;
    std::string strip = write_strip(dir, "s.bmp", 32 * 16, 48);
    BITMAP *table[4];
    load_bitmap_table(table, 8, 4, strip.c_str());
    for (int k = 0; k < 4; k++) {
        ASSERT_NE(table[k], nullptr);
        EXPECT_EQ(table[k]->w, 32);
        EXPECT_EQ(table[k]->h, 48);
        EXPECT_EQ(getr(getpixel(table[k], 0, 0)), (8 + k + 1) * 10);
        EXPECT_EQ(getr(getpixel(table[k], 31, 47)), (8 + k + 1) * 10);
    }
    BITMAP *other[4];
    load_bitmap_table(other, 0, 4, strip.c_str());
    EXPECT_NE(other[0], table[0]);
    EXPECT_EQ(getr(getpixel(other[0], 5, 5)), 10);
    unload_bitmap_table(table, 4);
    unload_bitmap_table(other, 4);
}

TEST(sprite_tables, frames_beyond_the_edge_are_blank) {
    allegro_for_tests();
    temp_dir dir;
    std::string strip = write_strip(dir, "s.bmp", 64, 32);
    BITMAP *table[2];
    load_bitmap_table(table, 3, 2, strip.c_str());
    ASSERT_NE(table[0], nullptr);
    EXPECT_EQ(table[0]->h, 32);
    EXPECT_EQ((int)getpixel(table[0], 10, 10), bitmap_mask_color(table[0]));
    unload_bitmap_table(table, 2);
}

TEST(sprite_tables, the_bonus_table_carries_the_block_on_frame_zero_only) {
    allegro_for_tests();
    temp_dir dir;
    std::string strip = write_strip(dir, "bonus.bmp", 32 * 8, 32);
    BITMAP *block = create_bitmap(32, 32);
    clear_to_color(block, bitmap_mask_color(block));
    rectfill(block, 0, 0, 31, 15, makecol(0, 200, 0)); // the top half is the block
    BITMAP *overlay[1] = {block};
    BITMAP *bonus[8];
    load_bonus_bitmap_table(bonus, overlay, 8, strip.c_str());
    EXPECT_EQ(getg(getpixel(bonus[0], 4, 4)), 200); // block drawn over
    EXPECT_EQ(getr(getpixel(bonus[0], 4, 20)), 10); // strip shows through the mask
    EXPECT_EQ(getg(getpixel(bonus[1], 4, 4)), 0);   // other frames are plain copies
    EXPECT_EQ(getr(getpixel(bonus[1], 4, 4)), 20);
    unload_bitmap_table(bonus, 8);
    destroy_bitmap(block);
}

TEST(sprite_tables, a_short_strip_warns_and_leaves_the_rest_empty) {
    temp_dir dir;
    std::string log = dir.file("messages");
    ASSERT_TRUE(allegro_on_private_display(log));
    std::string exact = write_strip(dir, "exact.bmp", 128, 32);
    std::string odd = write_strip(dir, "odd.bmp", 100, 32);
    BITMAP *table[4];
    load_bitmap_table(table, 0, 4, exact.c_str());
    EXPECT_TRUE(recorded_messages(log).empty());
    unload_bitmap_table(table, 4);

    load_bitmap_table(table, 0, 4, odd.c_str());
    std::vector<std::string> messages = recorded_messages(log);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "load_bitmap_table : size error : " + odd + " 0 3");
    EXPECT_NE(table[2], nullptr);
    EXPECT_EQ(table[3], nullptr);
    unload_bitmap_table(table, 4); // the null entry is skipped

    load_bitmap_table(table, 1, 3, odd.c_str());
    messages = recorded_messages(log);
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[1], "load_bitmap_table : size error : " + odd + " 1 2");
    unload_bitmap_table(table, 3);
}

// A strip that cannot be read ends the program with the strip message.
TEST(sprite_tables, a_missing_strip_ends_the_program) {
    EXPECT_EXIT(
        {
            allegro_for_tests();
            BITMAP *table[2];
            load_bitmap_table(table, 0, 2, "/nonexistent/strip.bmp");
        },
        ::testing::ExitedWithCode(1), "");
}

} // namespace
