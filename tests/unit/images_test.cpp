// Sprite tables cut from strip pictures: the run of frames asked for, blank frames past
// the edge, the block drawn over the first bonus frame, a short strip said once.
#include "images.h"
#include "xvfb.h"

#include <allegro.h>
#include <gtest/gtest.h>

namespace {

// A strip whose frame k is filled with red (k + 1) * 10.
std::string write_strip(const temp_dir &dir, const char *name, int width, int height) {
    BITMAP *strip = create_bitmap(width, height);
    for (int x = 0; x < width; x++)
        vline(strip, x, 0, height - 1, makecol((x / 32 + 1) * 10, 0, 0));
    save_bitmap(dir.file(name).c_str(), strip, nullptr);
    destroy_bitmap(strip);
    return dir.file(name);
}

TEST(sprite_tables, frames_are_cut_from_the_run_asked_for_blank_past_the_edge_bonus_under_block) {
    allegro_for_tests();
    temp_dir dir;
    BITMAP *table[4], *past[2];
    load_bitmap_table(table, 8, 4, write_strip(dir, "s.bmp", 32 * 16, 48).c_str());
    load_bitmap_table(past, 3, 2, write_strip(dir, "two.bmp", 64, 32).c_str());
    for (int k = 0; k < 4; k++) {
        ASSERT_TRUE(table[k] && table[k]->w == 32 && table[k]->h == 48);
        EXPECT_EQ(getr(getpixel(table[k], 0, 0)), (8 + k + 1) * 10);
        EXPECT_EQ(getr(getpixel(table[k], 31, 47)), (8 + k + 1) * 10);
    }
    ASSERT_TRUE(past[0] && past[0]->h == 32);
    EXPECT_EQ((int)getpixel(past[0], 10, 10), bitmap_mask_color(past[0]));
    unload_bitmap_table(table, 4);
    unload_bitmap_table(past, 2);
    // The bonus table carries the block on frame zero only.
    std::string strip = write_strip(dir, "bonus.bmp", 32 * 8, 32);
    BITMAP *block = create_bitmap(32, 32);
    clear_to_color(block, bitmap_mask_color(block));
    rectfill(block, 0, 0, 31, 15, makecol(0, 200, 0)); // the top half is the block
    BITMAP *overlay[1] = {block}, *bonus[8];
    load_bonus_bitmap_table(bonus, overlay, 8, strip.c_str());
    EXPECT_EQ(getg(getpixel(bonus[0], 0, 0)), 200);         // block drawn over, at the corner
    EXPECT_EQ(getr(getpixel(bonus[0], 4, 20)), 10);         // strip shows through the mask
    EXPECT_EQ(getpixel(bonus[1], 4, 4), makecol(20, 0, 0)); // other frames are plain copies
    unload_bitmap_table(bonus, 8);
    destroy_bitmap(block);
}

TEST(sprite_tables, a_short_strip_warns_and_leaves_the_rest_empty) {
    temp_dir dir;
    std::string log = dir.file("messages");
    ASSERT_TRUE(allegro_on_private_display(log));
    std::string odd = write_strip(dir, "odd.bmp", 100, 32);
    BITMAP *table[4];
    load_bitmap_table(table, 0, 3, write_strip(dir, "exact.bmp", 96, 32).c_str());
    EXPECT_TRUE(recorded_messages(log).empty());
    unload_bitmap_table(table, 3);
    load_bitmap_table(table, 0, 4, odd.c_str());
    EXPECT_TRUE(table[2] && !table[3]);
    unload_bitmap_table(table, 4); // the null entry is skipped
    load_bitmap_table(table, 1, 3, odd.c_str());
    unload_bitmap_table(table, 3);
    load_bitmap_table(table, 3, 2, odd.c_str()); // only a partial frame from the first on
    EXPECT_TRUE(!table[0] && !table[1]);
    EXPECT_EQ(recorded_messages(log),
              (std::vector<std::string>{"load_bitmap_table : size error : " + odd + " 0 3",
                                        "load_bitmap_table : size error : " + odd + " 1 2",
                                        "load_bitmap_table : size error : " + odd + " 3 0"}));
}

} // namespace
