// The display strategies: which bitmaps each method makes, the page cycles, the
// fallbacks to double buffering with their messages, and the presented frame.
#include "affichage.h"
#include "config.h"
#include "test_util.h"
#include "xvfb.h"

#include <allegro.h>
#include <cerrno>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

const char *const TRIPLE_MESSAGE =
    "Triple buffering non supporté ! Essayez en plein écran, si ce n'est pas déjà le cas, ou "
    "choisissez un autre mode vidéo.\nPassage automatique en double buffering pour cette partie.";
const char *const FLIP_MESSAGE =
    "Page flipping non supporté ! Essayez en plein écran, si ce n'est pas déjà le cas, ou "
    "choisissez un autre mode vidéo.\nPassage automatique en double buffering pour cette partie.";

config settings(int method, int vsync = 0) {
    config cfg;
    default_config(&cfg);
    cfg.display_method = (int8_t)method;
    cfg.vsync = (int8_t)vsync;
    return cfg;
}

// A window on a private X server, with allegro_message going to the recording
// xmessage; false when this process already runs Allegro without a display.
struct window {
    temp_dir dir;
    std::string log;
    bool open(int w, int h, int virtual_h) {
        if (system_driver && system_driver->id == SYSTEM_NONE) return false;
        if (!use_private_display()) return false;
        log = dir.file("messages");
        setenv("XMESSAGE_LOG", log.c_str(), 1);
        std::string path = std::string(CINDERMAZE_STUB_DIR) + ":" + getenv("PATH");
        setenv("PATH", path.c_str(), 1);
        if (!system_driver && install_allegro(SYSTEM_AUTODETECT, &errno, atexit) != 0) return false;
        set_uformat(U_ASCII); // the game's texts are 8-bit, as at its start
        set_color_depth(desktop_color_depth() ? desktop_color_depth() : 32);
        return set_gfx_mode(GFX_AUTODETECT_WINDOWED, w, h, 0, virtual_h) == 0;
    }
    std::vector<std::string> messages() const {
        std::vector<uint8_t> bytes = read_file(log);
        std::string text(bytes.begin(), bytes.end());
        std::vector<std::string> found;
        size_t start = 0, end;
        while ((end = text.find("\n\036\n", start)) != std::string::npos) {
            // Allegro ends every message it hands to xmessage with a new line.
            std::string message = text.substr(start, end - start);
            if (!message.empty() && message.back() == '\n') message.pop_back();
            found.push_back(message);
            start = end + 3;
        }
        return found;
    }
};

struct pages {
    BITMAP *current = nullptr, *page1 = nullptr, *page2 = nullptr, *page3 = nullptr;
};

TEST(display_strategy, an_unknown_method_is_double_buffering_rewritten_to_zero) {
    window win;
    if (!win.open(320, 240, 0)) GTEST_SKIP() << "no private display";
    config cfg = settings(7);
    pages p;
    init_affichage(&cfg, &p.current, &p.page1, &p.page2, &p.page3);
    EXPECT_EQ(cfg.display_method, DISPLAY_DOUBLE_BUFFER);
    ASSERT_NE(p.current, nullptr);
    EXPECT_TRUE(is_memory_bitmap(p.current));
    EXPECT_EQ(p.current->w, SCREEN_W);
    EXPECT_EQ(p.current->h, SCREEN_H);
    EXPECT_EQ(getpixel(p.current, 100, 100), 0);
    EXPECT_TRUE(win.messages().empty());
    deinit_affichage(&cfg, &p.current, &p.page1, &p.page2, &p.page3);
}

TEST(display_strategy, double_buffering_presents_the_memory_frame_on_screen) {
    window win;
    if (!win.open(320, 240, 0)) GTEST_SKIP() << "no private display";
    for (int vsync : {0, 1, 2}) {
        config cfg = settings(DISPLAY_DOUBLE_BUFFER, vsync);
        pages p;
        init_affichage(&cfg, &p.current, &p.page1, &p.page2, &p.page3);
        BITMAP *memory = p.current;
        rectfill(p.current, 0, 0, 50, 50, makecol(200, 10, 10));
        prepare_affichage(&cfg, &p.current, p.page1, p.page2, p.page3);
        EXPECT_EQ(p.current, memory);
        EXPECT_EQ(getpixel(p.current, 10, 10), 0) << "each frame starts cleared";
        rectfill(p.current, 100, 100, 120, 120, makecol(10, 200, 30));
        affiche(&cfg, p.current);
        EXPECT_EQ(getpixel(screen, 110, 110), makecol(10, 200, 30)) << "vsync " << vsync;
        EXPECT_EQ(getpixel(screen, 10, 10), 0);
        deinit_affichage(&cfg, &p.current, &p.page1, &p.page2, &p.page3);
    }
}

TEST(display_strategy, page_flipping_alternates_two_video_pages) {
    window win;
    if (!win.open(320, 240, 480)) GTEST_SKIP() << "no private display";
    config cfg = settings(DISPLAY_PAGE_FLIP);
    pages p;
    init_affichage(&cfg, &p.current, &p.page1, &p.page2, &p.page3);
    ASSERT_EQ(cfg.display_method, DISPLAY_PAGE_FLIP);
    ASSERT_NE(p.page1, nullptr);
    ASSERT_NE(p.page2, nullptr);
    EXPECT_TRUE(is_video_bitmap(p.page1));
    EXPECT_TRUE(is_video_bitmap(p.page2));
    EXPECT_EQ(p.current, p.page1);
    rectfill(p.page2, 0, 0, 20, 20, makecol(255, 255, 255));
    std::vector<BITMAP *> drawn;
    for (int frame = 0; frame < 4; frame++) {
        prepare_affichage(&cfg, &p.current, p.page1, p.page2, p.page3);
        drawn.push_back(p.current);
        EXPECT_EQ(getpixel(p.current, 10, 10), 0) << "frame " << frame;
        rectfill(p.current, 0, 0, 20, 20, makecol(255, 255, 255));
        affiche(&cfg, p.current);
    }
    EXPECT_EQ(drawn, (std::vector<BITMAP *>{p.page2, p.page1, p.page2, p.page1}));
    EXPECT_TRUE(win.messages().empty());
    deinit_affichage(&cfg, &p.current, &p.page1, &p.page2, &p.page3);
}

TEST(display_strategy, page_flipping_without_video_memory_falls_back_with_a_message) {
    window win;
    if (!win.open(320, 240, 0)) GTEST_SKIP() << "no private display";
    config cfg = settings(DISPLAY_PAGE_FLIP);
    pages p;
    init_affichage(&cfg, &p.current, &p.page1, &p.page2, &p.page3);
    EXPECT_EQ(cfg.display_method, DISPLAY_DOUBLE_BUFFER);
    ASSERT_NE(p.current, nullptr);
    EXPECT_TRUE(is_memory_bitmap(p.current));
    EXPECT_EQ(win.messages(), std::vector<std::string>{FLIP_MESSAGE});
    // The lone first page went back at once: the whole screen is free for a new one.
    BITMAP *again = create_video_bitmap(SCREEN_W, SCREEN_H);
    EXPECT_NE(again, nullptr);
    if (again) destroy_bitmap(again);
    deinit_affichage(&cfg, &p.current, &p.page1, &p.page2, &p.page3);
}

TEST(display_strategy, triple_buffering_unsupported_warns_once_per_run) {
    window win;
    if (!win.open(320, 240, 720)) GTEST_SKIP() << "no private display";
    if (gfx_capabilities & GFX_CAN_TRIPLE_BUFFER) GTEST_SKIP() << "this driver can triple buffer";
    config cfg = settings(DISPLAY_TRIPLE_BUFFER);
    for (int game = 0; game < 2; game++) {
        pages p;
        init_affichage(&cfg, &p.current, &p.page1, &p.page2, &p.page3);
        EXPECT_EQ(cfg.display_method, DISPLAY_DOUBLE_BUFFER);
        ASSERT_NE(p.current, nullptr);
        EXPECT_TRUE(is_memory_bitmap(p.current));
        EXPECT_EQ(p.page1, nullptr);
        deinit_affichage(&cfg, &p.current, &p.page1, &p.page2, &p.page3);
    }
    EXPECT_EQ(win.messages(), std::vector<std::string>{TRIPLE_MESSAGE});
}

// The cycles themselves need no video memory: any three bitmaps show the order.
TEST(display_strategy, triple_buffering_cycles_three_pages_from_the_second) {
    allegro_for_tests(32);
    config cfg = settings(DISPLAY_TRIPLE_BUFFER);
    pages p;
    p.page1 = create_bitmap(64, 48);
    p.page2 = create_bitmap(64, 48);
    p.page3 = create_bitmap(64, 48);
    p.current = p.page1;
    std::vector<BITMAP *> drawn;
    for (int frame = 0; frame < 5; frame++) {
        clear_to_color(p.page1, 7);
        clear_to_color(p.page2, 7);
        clear_to_color(p.page3, 7);
        prepare_affichage(&cfg, &p.current, p.page1, p.page2, p.page3);
        drawn.push_back(p.current);
        EXPECT_EQ(getpixel(p.current, 3, 3), 0);
        release_bitmap(p.current);
    }
    EXPECT_EQ(drawn, (std::vector<BITMAP *>{p.page2, p.page3, p.page1, p.page2, p.page3}));
    destroy_bitmap(p.page1);
    destroy_bitmap(p.page2);
    destroy_bitmap(p.page3);
}

} // namespace
