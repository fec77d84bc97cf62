// The menus' hit test: both far edges of a button belong to it.
#include "menu.h"
#include "test_util.h"

#include <allegro.h>
#include <gtest/gtest.h>

namespace {

bool over(int x, int y, const int rect[4]) {
    mouse_x = x;
    mouse_y = y;
    return mouseover(rect);
}

TEST(mouseover, both_far_edges_are_inside) {
    allegro_for_tests();
    const int rect[4] = {137, 277, 300, 50};
    EXPECT_TRUE(over(137, 277, rect));
    EXPECT_TRUE(over(437, 327, rect));
    EXPECT_TRUE(over(300, 300, rect));
}

TEST(mouseover, one_pixel_beyond_any_edge_is_outside) {
    allegro_for_tests();
    const int rect[4] = {137, 277, 300, 50};
    EXPECT_FALSE(over(136, 300, rect));
    EXPECT_FALSE(over(438, 300, rect));
    EXPECT_FALSE(over(300, 276, rect));
    EXPECT_FALSE(over(300, 328, rect));
}

TEST(mouseover, a_button_of_no_size_is_one_pixel) {
    allegro_for_tests();
    const int rect[4] = {9, 555, 0, 0};
    EXPECT_TRUE(over(9, 555, rect));
    EXPECT_FALSE(over(10, 555, rect));
    EXPECT_FALSE(over(9, 556, rect));
}

} // namespace
