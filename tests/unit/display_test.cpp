// The display methods: the bitmaps each makes, the page cycles, the fallbacks to double
// buffering with their one message, and the presented frame.
#include "affichage.h"
#include "config.h"
#include "test_util.h"
#include "xvfb.h"

#include <allegro.h>
#include <gtest/gtest.h>

namespace {

const char *const FALLBACK = " non support\xe9 ! Essayez en plein \xe9"
                             "cran, si ce n'est pas "
                             "d\xe9j\xe0 le cas, ou choisissez un autre mode vid\xe9o.\nPassage "
                             "automatique en double buffering pour cette partie.";

struct display : ::testing::Test {
    temp_dir dir;
    config cfg;
    BITMAP *current = nullptr, *page1 = nullptr, *page2 = nullptr, *page3 = nullptr;
    // A 320 x 240 window with room for `virtual_h` lines of video memory.
    void open(int virtual_h) {
        if (!system_driver) {
            ASSERT_TRUE(allegro_on_private_display(dir.file("messages")));
        }
        set_uformat(U_ASCII);
        set_color_depth(desktop_color_depth());
        ASSERT_EQ(set_gfx_mode(GFX_AUTODETECT_WINDOWED, 320, 240, 0, virtual_h), 0);
    }
    // A game's start with the record as it is, or with this method.
    void start(int method = -1, int vsync = 0) {
        if (method >= 0) {
            default_config(&cfg);
            cfg.display_method = (int8_t)method;
            cfg.vsync = (int8_t)vsync;
        }
        init_affichage(&cfg, &current, &page1, &page2, &page3);
    }
    void stop() { deinit_affichage(&cfg, &current, &page1, &page2, &page3); }
    std::vector<std::string> messages() { return recorded_messages(dir.file("messages")); }
    // The bitmaps drawn in, frame after frame.
    std::vector<BITMAP *> frames(int n) {
        std::vector<BITMAP *> drawn;
        for (int k = 0; k < n; k++) {
            prepare_affichage(&cfg, &current, page1, page2, page3);
            drawn.push_back(current);
            EXPECT_EQ(getpixel(current, 10, 10), 0) << "each frame starts cleared";
            rectfill(current, 0, 0, 20, 20, makecol(10, 200, 30));
            affiche(&cfg, current);
        }
        return drawn;
    }
};

TEST_F(display, double_buffering_and_unknown_methods_present_a_memory_frame) {
    open(0);
    for (int method : {(int)DISPLAY_DOUBLE_BUFFER, 7}) {
        start(method, method == 7 ? 2 : 1);
        EXPECT_EQ(cfg.display_method, DISPLAY_DOUBLE_BUFFER);
        ASSERT_TRUE(current && is_memory_bitmap(current));
        EXPECT_EQ(frames(2), (std::vector<BITMAP *>{current, current}));
        EXPECT_EQ(getpixel(screen, 15, 15), makecol(10, 200, 30));
        EXPECT_EQ(getpixel(screen, 30, 30), 0);
        stop();
    }
    EXPECT_TRUE(messages().empty());
}

TEST_F(display, page_flipping_alternates_two_video_pages_or_falls_back_without_room) {
    open(480);
    start(DISPLAY_PAGE_FLIP);
    ASSERT_EQ(cfg.display_method, DISPLAY_PAGE_FLIP);
    ASSERT_TRUE(is_video_bitmap(page1) && is_video_bitmap(page2));
    EXPECT_EQ(frames(4), (std::vector<BITMAP *>{page2, page1, page2, page1}));
    stop();
    EXPECT_TRUE(messages().empty());
    open(0);
    start(DISPLAY_PAGE_FLIP);
    EXPECT_EQ(cfg.display_method, DISPLAY_DOUBLE_BUFFER);
    EXPECT_TRUE(current && is_memory_bitmap(current));
    EXPECT_EQ(messages(), std::vector<std::string>{std::string("Page flipping") + FALLBACK});
    // The lone first page went back at once: the whole screen is free for a new one.
    BITMAP *again = create_video_bitmap(SCREEN_W, SCREEN_H);
    EXPECT_NE(again, nullptr);
    destroy_bitmap(again);
    stop();
}

// The record is rewritten to double buffering: the next game says nothing.
TEST_F(display, triple_buffering_unsupported_falls_back_and_says_so_once) {
    open(720);
    if (gfx_capabilities & GFX_CAN_TRIPLE_BUFFER) GTEST_SKIP() << "this driver can triple buffer";
    for (int game = 0; game < 2; game++) {
        start(game == 0 ? DISPLAY_TRIPLE_BUFFER : -1);
        EXPECT_EQ(cfg.display_method, DISPLAY_DOUBLE_BUFFER);
        EXPECT_TRUE(current && is_memory_bitmap(current) && !page1);
        stop();
    }
    EXPECT_EQ(messages(), std::vector<std::string>{std::string("Triple buffering") + FALLBACK});
}

// The cycle itself needs no video memory: any three bitmaps show the order.
TEST(display_cycle, triple_buffering_cycles_three_pages_from_the_second) {
    allegro_for_tests(32);
    config cfg;
    default_config(&cfg);
    cfg.display_method = DISPLAY_TRIPLE_BUFFER;
    BITMAP *p1 = create_bitmap(64, 48), *p2 = create_bitmap(64, 48), *p3 = create_bitmap(64, 48);
    BITMAP *current = p1;
    std::vector<BITMAP *> drawn;
    for (int frame = 0; frame < 5; frame++) {
        for (BITMAP *b : {p1, p2, p3})
            clear_to_color(b, 7);
        prepare_affichage(&cfg, &current, p1, p2, p3);
        drawn.push_back(current);
        EXPECT_EQ(getpixel(current, 3, 3), 0) << "each frame starts cleared";
        release_bitmap(current);
    }
    EXPECT_EQ(drawn, (std::vector<BITMAP *>{p2, p3, p1, p2, p3}));
    destroy_bitmap(p1);
    destroy_bitmap(p2);
    destroy_bitmap(p3);
}

} // namespace
