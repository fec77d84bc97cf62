// The display methods: the pages each draws in, the fallbacks to double buffering with
// their one message, and the presented frame.
#include "affichage.h"
#include "config.h"
#include "xvfb.h"

#include <allegro.h>
#include <gtest/gtest.h>

namespace {

const char *const FALLBACK = " non support\351 ! Essayez en plein \351cran, si ce n'est pas "
                             "d\351j\340 le cas, ou choisissez un autre mode vid\351o.\nPassage "
                             "automatique en double buffering pour cette partie.";

// The bitmaps drawn in by `frames` frames of a game started with this method (-1: the
// record as it is) in a 320 x 240 window with room for `virtual_h` lines.
struct display_run {
    temp_dir dir;
    config cfg;
    BITMAP *current = nullptr, *page1 = nullptr, *page2 = nullptr, *page3 = nullptr;
    std::vector<BITMAP *> play(int method, int virtual_h, int frames) {
        EXPECT_TRUE(system_driver || allegro_on_private_display(dir.file("messages")));
        set_uformat(U_ASCII); // the texts are 8-bit, as at the game's start
        set_color_depth(desktop_color_depth());
        EXPECT_EQ(set_gfx_mode(GFX_AUTODETECT_WINDOWED, 320, 240, 0, virtual_h), 0);
        if (method >= 0) default_config(&cfg), cfg.display_method = (int8_t)method;
        init_affichage(&cfg, &current, &page1, &page2, &page3);
        std::vector<BITMAP *> drawn;
        for (int k = 0; k < frames; k++) {
            prepare_affichage(&cfg, &current, page1, page2, page3);
            drawn.push_back(current);
            EXPECT_EQ(getpixel(current, 10, 10), 0) << "each frame starts cleared";
            rectfill(current, 0, 0, 20, 20, makecol(10, 200, 30));
            affiche(&cfg, current);
        }
        EXPECT_EQ(getpixel(screen, 15, 15), frames ? makecol(10, 200, 30) : 0);
        return drawn;
    }
    void stop() { deinit_affichage(&cfg, &current, &page1, &page2, &page3); }
    std::vector<std::string> messages() { return recorded_messages(dir.file("messages")); }
};

TEST(display, page_flipping_alternates_two_pages_or_falls_back_without_room) {
    display_run d;
    std::vector<BITMAP *> drawn = d.play(DISPLAY_PAGE_FLIP, 480, 4);
    EXPECT_TRUE(is_video_bitmap(d.page1) && is_video_bitmap(d.page2));
    EXPECT_EQ(drawn, (std::vector<BITMAP *>{d.page2, d.page1, d.page2, d.page1}));
    d.stop();
    EXPECT_TRUE(d.messages().empty());
    drawn = d.play(DISPLAY_PAGE_FLIP, 0, 1);
    EXPECT_EQ(d.cfg.display_method, DISPLAY_DOUBLE_BUFFER);
    EXPECT_TRUE(is_memory_bitmap(drawn[0]));
    EXPECT_EQ(d.messages(), std::vector<std::string>{std::string("Page flipping") + FALLBACK});
    // The lone first page went back at once: the whole screen is free for a new one.
    BITMAP *again = create_video_bitmap(SCREEN_W, SCREEN_H);
    EXPECT_NE(again, nullptr);
    destroy_bitmap(again);
    d.stop();
}

// An unknown method draws in memory without a word; triple buffering unsupported falls back
// and the record is rewritten to double buffering: the next game says nothing. A driver
// that can triple buffer keeps the method and draws in its video pages, silently.
TEST(display, unknown_and_unsupported_methods_fall_back_to_double_buffering) {
    display_run d;
    bool triple = false;
    for (int method : {7, (int)DISPLAY_TRIPLE_BUFFER, -1}) {
        std::vector<BITMAP *> drawn = d.play(method, 720, 1);
        triple = triple || (gfx_capabilities & GFX_CAN_TRIPLE_BUFFER);
        int kept = triple && method != 7 ? DISPLAY_TRIPLE_BUFFER : DISPLAY_DOUBLE_BUFFER;
        EXPECT_EQ(d.cfg.display_method, kept) << "asked " << method;
        EXPECT_EQ(is_video_bitmap(drawn[0]), kept == DISPLAY_TRIPLE_BUFFER) << "asked " << method;
        d.stop();
    }
    std::string fallback = std::string("Triple buffering") + FALLBACK;
    EXPECT_EQ(d.messages(),
              triple ? std::vector<std::string>{} : std::vector<std::string>{fallback});
}

} // namespace
