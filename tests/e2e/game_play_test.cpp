// Whole games played in a window with xdotool, read back from the screen: the field and
// the head-up display, a bomb's cross, pause, and every way a game ends.
#include "game_e2e.h"

#include <allegro.h>
#include <gtest/gtest.h>

using namespace game_e2e;

namespace {

// 20 x 11 cells: at 800 x 600 the field starts at (80, 124).
const std::vector<std::string> ROOM = {
    "####################", //
    "#P.................#", //
    "#..................#", //
    "#..................#", //
    "#.......B..........#", //
    "#..................#", //
    "#..................#", //
    "#..................#", //
    "#................D.#", //
    "#..................#", //
    "####################", //
};
const int FIELD_X = 80, FIELD_Y = 124;

int cell_px(int c) {
    return FIELD_X + 32 * c;
}
int cell_py(int r) {
    return FIELD_Y + 32 * r;
}

// Pixels of a cell that are not the plain floor.
int marked_pixels(game_e2e_run *g, const screenshot &s, int c, int r) {
    int n = 0;
    for (int y = 0; y < 32; y++)
        for (int x = 0; x < 32; x++)
            n += g->pixel(s, cell_px(c) + x, cell_py(r) + y) != FLOOR_RGB;
    return n;
}

double seconds_between(std::chrono::steady_clock::time_point a,
                       std::chrono::steady_clock::time_point b) {
    return std::chrono::duration<double>(b - a).count();
}

// The picture file as the game draws it: every pixel but the mask colour.
bool shows_picture(game_e2e_run *g, const screenshot &s, BITMAP *picture, int x0, int y0) {
    for (int y = 0; y < picture->h; y += 7)
        for (int x = 0; x < picture->w; x += 7) {
            int c = getpixel(picture, x, y);
            if (c == bitmap_mask_color(picture)) continue;
            if (g->pixel(s, x0 + x, y0 + y) != rgb_at(picture, x, y)) return false;
        }
    return true;
}

bool shows_stretched(game_e2e_run *g, const screenshot &s, BITMAP *picture, int w, int h) {
    BITMAP *full = create_bitmap(w, h);
    stretch_blit(picture, full, 0, 0, picture->w, picture->h, 0, 0, w, h);
    bool same = true;
    for (int y = 0; y < h && same; y += 5)
        for (int x = 0; x < w && same; x += 5)
            same = g->pixel(s, x, y) == rgb_at(full, x, y);
    destroy_bitmap(full);
    return same;
}

TEST(game, the_field_is_centred_under_the_counters_and_quitting_leaves_at_once) {
    game_e2e_run g;
    ASSERT_TRUE(g.prepare(ROOM));
    hud_font_file hud(g.run.dir.path);
    ASSERT_NE(hud.font_, nullptr);
    ASSERT_TRUE(g.launch(test_settings()));
    ASSERT_TRUE(g.wait_window());
    ASSERT_TRUE(g.wait_field(FIELD_X, FIELD_Y));
    screenshot s = g.shot();
    // Field corners: walls inside, black outside.
    EXPECT_EQ(g.pixel(s, FIELD_X, FIELD_Y), WALL_RGB);
    EXPECT_EQ(g.pixel(s, FIELD_X - 1, FIELD_Y + 10), 0u);
    EXPECT_EQ(g.pixel(s, FIELD_X + 10, FIELD_Y - 1), 0u);
    EXPECT_EQ(g.pixel(s, FIELD_X + 639, FIELD_Y + 351), WALL_RGB);
    EXPECT_EQ(g.pixel(s, FIELD_X + 640, FIELD_Y + 340), 0u);
    EXPECT_EQ(g.pixel(s, FIELD_X + 630, FIELD_Y + 352), 0u);
    EXPECT_EQ(g.pixel(s, cell_px(3) + 16, cell_py(3) + 16), FLOOR_RGB);
    // The three counters: time left, bombs in hand, diamonds left.
    int time_left = read_counter(&g, s, hud.font_, 400);
    EXPECT_TRUE(time_left == 90 || time_left == 89) << time_left;
    EXPECT_EQ(read_counter(&g, s, hud.font_, 800 / 3), 2);
    EXPECT_EQ(read_counter(&g, s, hud.font_, 800 - text_length(hud.font_, "88")), 1);
    BITMAP *timer = load_bitmap(g.run.dir.file("graphics/timer.bmp").c_str(), nullptr);
    ASSERT_NE(timer, nullptr);
    EXPECT_TRUE(shows_picture(&g, s, timer, 400 - timer->w - 10, 0));
    destroy_bitmap(timer);
    EXPECT_TRUE(shows_text(&g, s, font, "FPS : ", 0x7d7d7d, 0, 0));
    EXPECT_TRUE(shows_text_on_black(&g, s, font, "objets : " + std::to_string(map_objects(ROOM)),
                                    0x7d7d7d, 0, text_height(font)));

    auto pressed = std::chrono::steady_clock::now();
    e2e_key_down(&g.run, "Escape");
    screenshot after = g.shot();
    bool still_running = e2e_running(&g.run);
    e2e_key_up(&g.run, "Escape");
    if (still_running) { // no end screen: the last frame of play stays up
        EXPECT_EQ(g.pixel(after, FIELD_X + 8, FIELD_Y + 8), WALL_RGB);
    }
    ASSERT_TRUE(e2e_wait_exit(&g.run, 10));
    double waited = seconds_between(pressed, std::chrono::steady_clock::now());
    EXPECT_GE(waited, 0.45);
    EXPECT_LE(waited, 2.5);
    EXPECT_EQ(g.run.status, 0);
    EXPECT_EQ(g.game_line(1).rfind("game 1 result 0 display_method 0", 0), 0u) << g.game_line(1);
    EXPECT_TRUE(g.messages().empty());
}

TEST(game, a_bomb_explodes_in_a_cross_that_is_seen_and_heard) {
    game_e2e_run g;
    const std::vector<std::string> room = {
        "####################", //
        "#..................#", //
        "#.P................#", //
        "#..................#", //
        "#..................#", //
        "#..................#", //
        "#..................#", //
        "#..................#", //
        "#................D.#", //
        "#..................#", //
        "####################", //
    };
    ASSERT_TRUE(g.prepare(room));
    std::string capture = g.run.dir.file("capture.raw");
    std::string alsa = alsa_capture_config(g.run.dir, capture);
    ASSERT_TRUE(g.launch(test_settings(), {}, {"ALSA_CONFIG_PATH=" + alsa}));
    ASSERT_TRUE(g.wait_window());
    ASSERT_TRUE(g.wait_field(FIELD_X, FIELD_Y));
    EXPECT_EQ(g.report_lines().at(0), "digi ALSA");
    // Lay the bomb at (2, 2), then step out of its cross: right, then down.
    press_key(&g.run, "space");
    e2e_key_down(&g.run, "Right");
    sleep_seconds(0.25);
    e2e_key_up(&g.run, "Right");
    e2e_key_down(&g.run, "Down");
    sleep_seconds(0.3);
    e2e_key_up(&g.run, "Down");
    // The cross reaches two cells each way, one to the left and up where walls stop it.
    screenshot s;
    bool cross = g.wait_for(
        [&](const screenshot &shot) {
            for (auto [c, r] : {std::pair{2, 2}, {3, 2}, {4, 2}, {1, 2}, {2, 1}, {2, 3}, {2, 4}})
                if (marked_pixels(&g, shot, c, r) < 100) return false;
            return true;
        },
        5, &s);
    ASSERT_TRUE(cross);
    EXPECT_EQ(marked_pixels(&g, s, 2, 5), 0);
    EXPECT_EQ(marked_pixels(&g, s, 1, 1), 0);
    EXPECT_EQ(marked_pixels(&g, s, 1, 4), 0);
    // The player got away: the game goes on until it is left.
    ASSERT_TRUE(e2e_running(&g.run));
    sleep_seconds(0.5);
    press_key(&g.run, "Escape");
    ASSERT_TRUE(e2e_wait_exit(&g.run, 3));
    EXPECT_EQ(g.game_line(1).rfind("game 1 result 0", 0), 0u) << g.game_line(1);
    EXPECT_GT(loud_share(capture), 0.01);
}

TEST(game, taking_the_last_diamond_shows_the_win_picture_for_four_seconds) {
    game_e2e_run g;
    std::vector<std::string> rows = ROOM;
    rows[1] = "#P.D...............#";
    rows[8] = "#..................#";
    ASSERT_TRUE(g.prepare(rows));
    BITMAP *win = load_bitmap(g.run.dir.file("graphics/fin_gagne.bmp").c_str(), nullptr);
    ASSERT_NE(win, nullptr);
    ASSERT_TRUE(g.launch(test_settings()));
    ASSERT_TRUE(g.wait_window());
    ASSERT_TRUE(g.wait_field(FIELD_X, FIELD_Y));
    e2e_key_down(&g.run, "Right");
    int x0 = (800 - win->w) / 2, y0 = (600 - win->h) / 2;
    screenshot s;
    bool won = g.wait_for(
        [&](const screenshot &shot) { return shows_picture(&g, shot, win, x0, y0); }, 5, &s);
    auto seen = std::chrono::steady_clock::now();
    e2e_key_up(&g.run, "Right");
    ASSERT_TRUE(won);
    if (x0 > 0) {
        EXPECT_EQ(g.pixel(s, x0 - 1, 300), 0u);
    }
    if (y0 > 0) {
        EXPECT_EQ(g.pixel(s, 400, y0 - 1), 0u);
    }
    ASSERT_TRUE(e2e_wait_exit(&g.run, 10));
    double waited = seconds_between(seen, std::chrono::steady_clock::now());
    EXPECT_GE(waited, 3.0);
    EXPECT_LE(waited, 5.5);
    EXPECT_EQ(g.game_line(1).rfind("game 1 result 0", 0), 0u) << g.game_line(1);
    destroy_bitmap(win);
}

TEST(game, walking_into_a_monster_shows_the_lose_picture_stretched) {
    game_e2e_run g;
    std::vector<std::string> rows = ROOM;
    rows[1] = "#P...M.............#";
    ASSERT_TRUE(g.prepare(rows));
    BITMAP *lose = load_bitmap(g.run.dir.file("graphics/fin_perd.bmp").c_str(), nullptr);
    ASSERT_NE(lose, nullptr);
    ASSERT_TRUE(g.launch(test_settings()));
    ASSERT_TRUE(g.wait_window());
    ASSERT_TRUE(g.wait_field(FIELD_X, FIELD_Y));
    e2e_key_down(&g.run, "Right");
    bool lost = g.wait_for(
        [&](const screenshot &shot) { return shows_stretched(&g, shot, lose, 800, 600); }, 8);
    auto seen = std::chrono::steady_clock::now();
    e2e_key_up(&g.run, "Right");
    ASSERT_TRUE(lost);
    ASSERT_TRUE(e2e_wait_exit(&g.run, 12));
    double waited = seconds_between(seen, std::chrono::steady_clock::now());
    EXPECT_GE(waited, 5.5);
    EXPECT_LE(waited, 8.5);
    EXPECT_EQ(g.game_line(1).rfind("game 1 result 0", 0), 0u) << g.game_line(1);
    destroy_bitmap(lose);
}

TEST(game, the_last_seconds_warn_and_time_running_out_loses) {
    game_e2e_run g;
    ASSERT_TRUE(g.prepare(ROOM));
    hud_font_file hud(g.run.dir.path);
    ASSERT_NE(hud.font_, nullptr);
    BITMAP *lose = load_bitmap(g.run.dir.file("graphics/fin_perd.bmp").c_str(), nullptr);
    ASSERT_NE(lose, nullptr);
    config cfg = test_settings();
    cfg.time_limit = 3;
    ASSERT_TRUE(g.launch(cfg));
    ASSERT_TRUE(g.wait_window());
    const char *warning = "PLUS DE TEMPS !!!";
    int warning_x = 400 - text_length(hud.font_, warning) / 2;
    screenshot s;
    ASSERT_TRUE(g.wait_for(
        [&](const screenshot &shot) {
            return shows_text(&g, shot, hud.font_, warning, 0xff0000, warning_x, 300);
        },
        10, &s));
    int shown = read_counter(&g, s, hud.font_, 400, 10);
    EXPECT_TRUE(shown >= 1 && shown <= 3) << shown;
    bool lost = g.wait_for(
        [&](const screenshot &shot) { return shows_stretched(&g, shot, lose, 800, 600); }, 6);
    ASSERT_TRUE(lost);
    double at = g.seconds_since_start();
    EXPECT_GE(at, 2.0);
    ASSERT_TRUE(e2e_wait_exit(&g.run, 12));
    EXPECT_GE(g.seconds_since_start() - at, 5.5);
    EXPECT_EQ(g.game_line(1).rfind("game 1 result 0", 0), 0u) << g.game_line(1);
    destroy_bitmap(lose);
}

TEST(game, a_map_too_wide_for_the_screen_says_so_and_returns_after_six_seconds_and_a_half) {
    game_e2e_run g;
    std::vector<std::string> rows(11, "#........................#");
    rows[0] = rows[10] = std::string(26, '#');
    rows[1] = "#P......................D#";
    ASSERT_TRUE(g.prepare(rows));
    hud_font_file hud(g.run.dir.path);
    ASSERT_NE(hud.font_, nullptr);
    ASSERT_TRUE(g.launch(test_settings()));
    ASSERT_TRUE(g.wait_window());
    const char *lines[4] = {"La carte est trop grande", "pour cette resolution,",
                            "choisissez une resolution", "superieure ou une autre carte."};
    int h = text_height(hud.font_);
    screenshot s;
    ASSERT_TRUE(g.wait_for(
        [&](const screenshot &shot) {
            for (int i = 0; i < 4; i++)
                if (!shows_text_on_black(&g, shot, hud.font_, lines[i], 0xffff00,
                                         400 - text_length(hud.font_, lines[i]) / 2, i * h))
                    return false;
            return true;
        },
        10, &s));
    // Nothing of the field is drawn.
    EXPECT_EQ(g.pixel(s, 400, 300), 0u);
    EXPECT_EQ(g.pixel(s, 10, 300), 0u);
    ASSERT_TRUE(e2e_wait_exit(&g.run, 12));
    EXPECT_GE(g.seconds_since_start(), 6.5);
    EXPECT_EQ(g.run.status, 0);
    EXPECT_EQ(g.game_line(1).rfind("game 1 result 0", 0), 0u) << g.game_line(1);
}

TEST(game, pause_stops_the_clock_until_the_key_is_pressed_again) {
    game_e2e_run g;
    ASSERT_TRUE(g.prepare(ROOM));
    hud_font_file hud(g.run.dir.path);
    ASSERT_NE(hud.font_, nullptr);
    ASSERT_TRUE(g.launch(test_settings()));
    ASSERT_TRUE(g.wait_window());
    ASSERT_TRUE(g.wait_field(FIELD_X, FIELD_Y));
    press_key(&g.run, "p");
    sleep_seconds(0.3);
    const char *pause = "P    A    U    S    E";
    int pause_x = 400 - text_length(hud.font_, pause) / 2;
    screenshot a = g.shot();
    EXPECT_TRUE(shows_text(&g, a, hud.font_, pause, 0xff0000, pause_x, 300));
    int before = read_counter(&g, a, hud.font_, 400, 90);
    ASSERT_GT(before, 80);
    sleep_seconds(3);
    screenshot b = g.shot();
    EXPECT_EQ(read_counter(&g, b, hud.font_, 400, 90), before);
    press_key(&g.run, "p");
    sleep_seconds(1.2);
    screenshot c = g.shot();
    EXPECT_FALSE(shows_text(&g, c, hud.font_, pause, 0xff0000, pause_x, 300));
    int after = read_counter(&g, c, hud.font_, 400, 90);
    // The pause costs at most one second; a clock left running would have lost four.
    EXPECT_LT(after, before);
    EXPECT_GE(after, before - 3);
    press_key(&g.run, "Escape");
    ASSERT_TRUE(e2e_wait_exit(&g.run, 5));
}

} // namespace
