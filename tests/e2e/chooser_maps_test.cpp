// The map chooser in the real program: stepping through the maps both ways with the keys
// and the arrow buttons, leaving with Escape, starting a game on the shown map, no maps.
#include "app_e2e.h"
#include "directory.h"

#include <cstdlib>

namespace {

using namespace app_e2e;

const std::vector<std::string> NAMES = {"alpha", "beta", "gamma"};
const std::vector<uint32_t> FLOORS = {0x103a5c, 0x3c5c10, 0x5c1040};
const std::vector<uint32_t> THUMBS = {0xd02020, 0x20d020, 0x2020d0};

struct chooser_e2e : ::testing::Test {
    app_run app;
    std::vector<int> order; // index in NAMES of each map, in the order the chooser lists them

    void SetUp() override {
        config cfg = silent_settings();
        ASSERT_TRUE(app.prepare(&cfg));
        use_small_maps(&app, NAMES, FLOORS, THUMBS);
        // The chooser lists the directory as the platform reads it; so does the test.
        char **files = nullptr;
        int count = list_dir_ext(app.run.dir.file("maps").c_str(), ".czm", &files);
        for (int i = 0; i < count; i++) {
            for (size_t n = 0; n < NAMES.size(); n++)
                if (std::string(files[i]).find("/" + NAMES[n] + ".czm") != std::string::npos)
                    order.push_back((int)n);
        }
        free_file_list(files, count);
        ASSERT_EQ(order.size(), 3u);
        ASSERT_TRUE(app.start());
    }
    void open_chooser() {
        app.key("Down");
        ASSERT_TRUE(app.wait_highlighted(PLAY));
        app.key("Return");
    }
    // The shown thumbnail, read off its top-left part (the pointer rests in the middle).
    bool shows_map(int listed) {
        uint32_t want = THUMBS[order[listed]];
        return app.wait_for([&](const screenshot &s) { return app.pixel(s, 320, 240) == want; });
    }
};

TEST_F(chooser_e2e, keys_and_buttons_step_with_wrap_around_and_escape_returns_to_the_menu) {
    open_chooser();
    ASSERT_TRUE(shows_map(0));
    // The left-hand controls go forward through the list, the right-hand ones back.
    app.key("Left");
    EXPECT_TRUE(shows_map(1));
    app.key("Left");
    EXPECT_TRUE(shows_map(2));
    app.key("Left");
    EXPECT_TRUE(shows_map(0));
    app.key("Right");
    EXPECT_TRUE(shows_map(2));
    const picture &suiv = app.picture_of("graphics/suiv_off.bmp");
    app.move(614 + suiv.w / 2, 555 + suiv.h / 2);
    EXPECT_TRUE(app.wait_for(
        [&](const screenshot &s) { return app.shows(s, "graphics/suiv_on.bmp", 614, 555); }));
    app.click();
    EXPECT_TRUE(shows_map(1));
    const picture &prec = app.picture_of("graphics/prec_off.bmp");
    app.move(9 + prec.w / 2, 555 + prec.h / 2);
    sleep_seconds(0.2);
    app.click();
    EXPECT_TRUE(shows_map(2));
    app.key("Escape");
    EXPECT_TRUE(app.wait_menu());
    EXPECT_TRUE(e2e_running(&app.run));
    EXPECT_TRUE(app.quits_from_menu());
}

// A whole run: menu, chooser, a game on the shown map left with the quit key, and the
// menu again in its 800 x 600 mode.
TEST_F(chooser_e2e, enter_plays_the_shown_map_and_the_game_returns_to_the_menu) {
    open_chooser();
    ASSERT_TRUE(shows_map(0));
    app.key("Left");
    ASSERT_TRUE(shows_map(1));
    app.key("Return");
    uint32_t floor = FLOORS[order[1]];
    EXPECT_TRUE(
        app.wait_for([&](const screenshot &s) { return count_colour(&app, s, floor) > 2000; }));
    for (size_t other = 0; other < FLOORS.size(); other++) {
        if (FLOORS[other] != floor) {
            EXPECT_EQ(count_colour(&app, app.shot(), FLOORS[other]), 0);
        }
    }
    // A full-screen game sets no window title.
    for (const std::string &title : e2e_window_titles(&app.run)) {
        EXPECT_NE(title, "[ Cindermaze ]");
    }
    app.key("Escape");
    ASSERT_TRUE(app.wait_mode(800, 600));
    EXPECT_TRUE(app.wait_menu());
    EXPECT_TRUE(app.quits_from_menu());
}

TEST_F(chooser_e2e, without_maps_play_comes_back_to_the_menu) {
    run_command("rm -f '" + app.run.dir.file("maps") + "'/*.czm");
    open_chooser();
    // A new showing of the menu has nothing highlighted.
    EXPECT_TRUE(app.wait_highlighted(-1));
    EXPECT_TRUE(app.quits_from_menu());
    EXPECT_TRUE(app.messages().empty());
}

struct chooser_resource {
    const char *name;
    const char *file;
    const char *text;
    // Written in place of the file when set; the file is removed otherwise.
    const char *bytes = nullptr;
    size_t length = 0;
};

// A datafile whose first object is four bytes of plain data, not a font.
const char NOT_A_FONT[] = "slh.ALL.\0\0\0\1DATA\0\0\0\4\0\0\0\4abcd";

class chooser_missing : public ::testing::TestWithParam<chooser_resource> {};

TEST_P(chooser_missing, ends_the_program_with_its_message) {
    const chooser_resource &m = GetParam();
    config cfg = silent_settings();
    app_run app;
    ASSERT_TRUE(app.prepare(&cfg));
    ASSERT_TRUE(app.start());
    if (m.bytes)
        write_text(app.run.dir.file(m.file), std::string(m.bytes, m.length));
    else
        ASSERT_EQ(remove(app.run.dir.file(m.file).c_str()), 0);
    app.key("Down");
    ASSERT_TRUE(app.wait_highlighted(PLAY));
    app.key("Return");
    ASSERT_TRUE(e2e_wait_exit(&app.run, 10));
    EXPECT_EQ(app.run.status, 1);
    std::vector<std::string> messages = app.messages();
    ASSERT_EQ(messages.size(), 1u);
    std::string expected = std::string("Erreur : ") + m.text + "\nAllegro_error : ";
    EXPECT_EQ(messages[0].rfind(expected, 0), 0u) << messages[0];
}

INSTANTIATE_TEST_SUITE_P(
    chooser_resources, chooser_missing,
    ::testing::Values(chooser_resource{"font_datafile", "bktype.dat",
                                       "Echec du chargement du datafile bktype.dat"},
                      chooser_resource{"font_datafile_without_a_font", "bktype.dat",
                                       "Echec du chargement de la font bktype.", NOT_A_FONT,
                                       sizeof NOT_A_FONT - 1},
                      chooser_resource{"arrow_button", "graphics/suiv_off.bmp",
                                       "Erreur de chargement des bitmaps du menu."},
                      chooser_resource{"default_preview", "graphics/surprise.bmp",
                                       "Ne peut charger la bitmap 'apperçu par défaut'."}),
    [](const ::testing::TestParamInfo<chooser_resource> &info) { return info.param.name; });

} // namespace
