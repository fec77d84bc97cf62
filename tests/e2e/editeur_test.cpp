// The map editor as a player uses it: a new map drawn with the mouse and the keys, played
// with F5, saved, then found in the game's chooser and won; a map the check marks and
// refuses to save; broken files that open nothing and change nothing.
#include "app_e2e.h"

#include <dirent.h>
#include <set>
#include <sys/stat.h>

namespace {

using namespace app_e2e;

const uint32_t FLOOR = 0x123456, THUMB = 0xd02020, RED = 0xff0000, GREEN = 0x78dc78;

// Every file of a directory with its size and modification time.
std::string listing(const std::string &dir) {
    std::set<std::string> lines;
    DIR *d = opendir(dir.c_str());
    while (dirent *e = d ? readdir(d) : nullptr) {
        struct stat st;
        if (stat((dir + "/" + e->d_name).c_str(), &st) == 0)
            lines.insert(std::string(e->d_name) + " " + std::to_string(st.st_size) + " " +
                         std::to_string(st.st_mtim.tv_nsec + st.st_mtim.tv_sec * 1000000000LL));
    }
    if (d) closedir(d);
    std::string out;
    for (const std::string &l : lines)
        out += l + "\n";
    return out;
}

struct editor_e2e : ::testing::Test {
    app_run app;
    int map_x = 0, map_y = 0; // where the editor shows the map's top-left cell (32 pixels)

    void SetUp() override {
        config cfg = silent_settings();
        ASSERT_TRUE(app.prepare(&cfg));
        // One shipped map, whose plain strip is the only theme.
        use_small_maps(&app, {"01-plain"}, {FLOOR}, {THUMB});
        write_text(app.run.dir.file("maps.list"), "01-plain plain 800x600\n");
    }
    bool launch(const std::vector<std::string> &args) {
        return e2e_launch_program(&app.run, app.run.dir.file("cindermaze-edit"), args) &&
               app.wait_mode(800, 600);
    }
    // Centres the map of w x h cells as the editor does in its 632 x 552 area.
    void map_size(int w, int h) {
        map_x = 8 + (632 - w * 32) / 2;
        map_y = 8 + (552 - h * 32) / 2;
    }
    void to_cell(int r, int c) { app.move(map_x + c * 32 + 16, map_y + r * 32 + 16); }
    uint32_t at_cell(const screenshot &s, int r, int c, int dx = 6, int dy = 6) {
        return app.pixel(s, map_x + c * 32 + dx, map_y + r * 32 + dy);
    }
    bool status_shows(uint32_t colour) {
        return app.wait_for([&](const screenshot &s) {
            return count_colour(&app, s, colour, 0, 560, 800, 600) > 100;
        });
    }
    bool file_appears(const std::string &name) {
        return app.wait_for([&](const screenshot &) {
            struct stat st;
            return stat(app.run.dir.file(name).c_str(), &st) == 0;
        });
    }
};

TEST_F(editor_e2e, a_map_drawn_with_mouse_and_keys_is_played_saved_and_won_from_the_chooser) {
    ASSERT_TRUE(launch({}));
    ASSERT_TRUE(
        app.wait_for([&](const screenshot &s) { return count_colour(&app, s, 0xffff00) > 50; }));
    // Name, then the smallest size: 5 x 5.
    e2e_xdotool(&app.run, "type mine");
    app.key("Down");
    for (int k = 0; k < 15; k++)
        app.key("Left");
    app.key("Down");
    for (int k = 0; k < 9; k++)
        app.key("Left");
    app.key("Return");
    map_size(5, 5);
    ASSERT_TRUE(status_shows(RED)); // no diamond yet
    app.key("5");
    to_cell(1, 2);
    app.click();
    app.key("4");
    app.key("Right");
    app.key("space");
    app.key("3");
    to_cell(2, 1);
    e2e_xdotool(&app.run, "mousedown 1");
    ASSERT_TRUE(app.wait_for([&](const screenshot &s) { return at_cell(s, 2, 1) != FLOOR; }));
    to_cell(2, 2);
    ASSERT_TRUE(app.wait_for([&](const screenshot &s) { return at_cell(s, 2, 2) != FLOOR; }));
    e2e_xdotool(&app.run, "mouseup 1");
    ASSERT_TRUE(status_shows(GREEN));

    // F5: the game's own loop on the drawing, left with the quit key, and back.
    const picture &timer = app.picture_of("graphics/timer.bmp");
    app.key("F5");
    ASSERT_TRUE(app.wait_for(
        [&](const screenshot &s) { return app.shows(s, "graphics/timer.bmp", 390 - timer.w, 0); }));
    app.key("Escape");
    ASSERT_TRUE(status_shows(GREEN));
    EXPECT_FALSE(app.shows(app.shot(), "graphics/timer.bmp", 390 - timer.w, 0));

    app.key("ctrl+s");
    ASSERT_TRUE(file_appears("maps/mine.czm"));
    // #####  #PD?#  #++.#  #...#  #####, two rows a line
    const std::vector<uint8_t> drawn = {5, 5,                                     //
                                        0, 0, 0, 0,    0, 0, 7,    12,   4,    0, //
                                        0, 2, 2, 0xff, 0, 0, 0xff, 0xff, 0xff, 0, //
                                        0, 0, 0, 0,    0};
    EXPECT_EQ(read_file(app.run.dir.file("maps/mine.czm")), drawn);
    EXPECT_EQ(read_file(app.run.dir.file("maps/mine.bmp")),
              read_file(app.run.dir.file("maps/01-plain.bmp")));
    const picture &thumb = app.picture_of("thbs/mine.bmp");
    EXPECT_EQ(thumb.w, 160);
    EXPECT_EQ(thumb.h, 160);
    app.key("Escape");
    ASSERT_TRUE(e2e_wait_exit(&app.run, 10));
    EXPECT_EQ(app.run.status, 0);
    EXPECT_TRUE(app.messages().empty());

    // The game lists it beside the shipped map; its thumbnail shows the strip's floor.
    ASSERT_TRUE(app.start());
    app.key("Down");
    ASSERT_TRUE(app.wait_highlighted(PLAY));
    app.key("Return");
    auto shows_mine = [&](double seconds) {
        return app.wait_for(
            [&](const screenshot &s) {
                return count_colour(&app, s, FLOOR, 320, 220, 480, 380) > 2000;
            },
            seconds);
    };
    if (!shows_mine(2)) app.key("Left");
    ASSERT_TRUE(shows_mine(5));
    app.key("Return");
    // Walking right takes the diamond: the game is won.
    const picture &won = app.picture_of("graphics/fin_gagne.bmp");
    e2e_key_down(&app.run, "Right");
    bool winning = app.wait_for(
        [&](const screenshot &s) {
            return app.shows(s, "graphics/fin_gagne.bmp", (800 - won.w) / 2, (600 - won.h) / 2);
        },
        10);
    e2e_key_up(&app.run, "Right");
    EXPECT_TRUE(winning);
    ASSERT_TRUE(app.wait_menu(15));
    EXPECT_TRUE(app.quits_from_menu());
}

TEST_F(editor_e2e, an_unreachable_diamond_is_marked_and_the_map_is_not_saved) {
    const std::vector<uint8_t> walled = {3, 7,    0,  0, 0, 0, 0, 0, 0, 0, 7, 0xff,
                                         0, 0xff, 12, 0, 0, 0, 0, 0, 0, 0, 0};
    write_file(app.run.dir.file("maps/walled.czm"), walled);
    write_map_picture(app.run.dir.file("maps/walled.bmp"), FLOOR);
    ASSERT_TRUE(launch({"walled"}));
    map_size(7, 3);
    ASSERT_TRUE(app.wait_for([&](const screenshot &s) {
        return at_cell(s, 1, 5, 0, 16) == RED && at_cell(s, 1, 4, 0, 16) != RED;
    }));
    app.key("ctrl+s");
    ASSERT_TRUE(app.wait_for([&](const screenshot &) { return !app.messages().empty(); }));
    EXPECT_EQ(app.messages(), std::vector<std::string>{"Carte refusée par le jeu : Un diamant "
                                                       "est hors d'atteinte, même en faisant "
                                                       "sauter les blocs."});
    app.key("Escape");
    ASSERT_TRUE(e2e_wait_exit(&app.run, 10));
    EXPECT_EQ(read_file(app.run.dir.file("maps/walled.czm")), walled);
    EXPECT_TRUE(read_file(app.run.dir.file("thbs/walled.bmp")).empty());
}

TEST_F(editor_e2e, a_truncated_map_or_a_missing_strip_opens_nothing_and_changes_nothing) {
    struct {
        const char *name;
        std::vector<uint8_t> bytes;
        bool strip;
        const char *message;
    } cases[] = {
        {"cut",
         {5, 5, 0, 0, 0},
         true,
         "La carte maps/cut.czm est tronquée ou abîmée : elle ne peut pas être ouverte."},
        {"bare", small_map_bytes(), false,
         "La carte maps/bare.czm n'a pas sa bande de décor maps/bare.bmp."},
    };
    for (const auto &c : cases) {
        std::string name = c.name;
        write_file(app.run.dir.file("maps/" + name + ".czm"), c.bytes);
        if (c.strip) write_map_picture(app.run.dir.file("maps/" + name + ".bmp"), FLOOR);
        std::string before = listing(app.run.dir.file("maps")) + listing(app.run.dir.file("thbs"));
        ASSERT_TRUE(e2e_launch_program(&app.run, app.run.dir.file("cindermaze-edit"), {name}));
        ASSERT_TRUE(e2e_wait_exit(&app.run, 10));
        EXPECT_EQ(app.run.status, 1);
        ASSERT_FALSE(app.messages().empty());
        EXPECT_EQ(app.messages().back(), c.message);
        EXPECT_EQ(listing(app.run.dir.file("maps")) + listing(app.run.dir.file("thbs")), before);
    }
}

} // namespace
