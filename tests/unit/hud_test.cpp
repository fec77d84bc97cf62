// The picture of a game: where the field and the counters go, what a frame of play
// shows, the pause text and the end screens.
#include "hud.h"
#include "objets.h"
#include "rules.h"
#include "test_util.h"

#include <allegro.h>
#include <gtest/gtest.h>
#include <string>

namespace {

// A font whose glyphs are all `height` pixels tall, made the way Allegro reads font
// bitmaps: glyph boxes on a border colour.
FONT *font_of_height(int height) {
    const int glyphs = 96, w = 8;
    BITMAP *sheet = create_bitmap(1 + glyphs * (w + 1), height + 2);
    clear_to_color(sheet, makecol(255, 255, 0));
    for (int i = 0; i < glyphs; i++)
        rectfill(sheet, 1 + i * (w + 1), 1, i * (w + 1) + w, height, makecol(0, 0, 0));
    FONT *f = grab_font_from_bitmap(sheet);
    destroy_bitmap(sheet);
    return f;
}

// Pixels of `shot` in the rectangle equal those of `expected`.
::testing::AssertionResult same_region(BITMAP *shot, BITMAP *expected, int x, int y, int w, int h) {
    for (int j = y; j < y + h; j++)
        for (int i = x; i < x + w; i++)
            if (getpixel(shot, i, j) != getpixel(expected, i, j))
                return ::testing::AssertionFailure() << "first difference at " << i << "," << j;
    return ::testing::AssertionSuccess();
}

int count_colour(BITMAP *b, int colour, int x, int y, int w, int h) {
    int n = 0;
    for (int j = y; j < y + h; j++)
        for (int i = x; i < x + w; i++)
            n += getpixel(b, i, j) == colour;
    return n;
}

struct hud : ::testing::Test {
    play_screen ps{};
    game g{};
    obj player{};
    BITMAP *dest = nullptr, *expected = nullptr;
    int red = 0, grey = 0, yellow = 0;

    void SetUp() override {
        allegro_for_tests(32);
        red = makecol(255, 0, 0);
        grey = makecol(125, 125, 125);
        yellow = makecol(255, 255, 0);
        dest = create_bitmap(800, 600);
        expected = create_bitmap(800, 600);
        clear_bitmap(dest);
        clear_bitmap(expected);
        ps.hud_font = font;
        ps.line_height = text_height(font);
        player.type = OBJ_PLAYER;
        player.param3 = 2;
        player.timer = -1;
        player.next = player.prev = &player;
        g.player = &player;
        g.time_left = 90;
        g.diamonds_left = 7;
        g.object_count = 123;
        g.fps = 61;
    }
    void TearDown() override {
        destroy_bitmap(dest);
        destroy_bitmap(expected);
    }
    void text_at(int x, int y, const std::string &s, int colour) {
        textout_ex(expected, font, s.c_str(), x, y, colour, -1);
    }
    void centred_at(int x, int y, const std::string &s, int colour) {
        textout_centre_ex(expected, font, s.c_str(), x, y, colour, -1);
    }
};

TEST_F(hud, a_small_map_is_centred_and_a_wide_one_is_too_big) {
    EXPECT_FALSE(place_field(&ps, 20 * 32, 11 * 32, 800, 600));
    EXPECT_EQ(ps.field_x, 80);
    EXPECT_EQ(ps.field_y, 124);
    EXPECT_FALSE(place_field(&ps, 25 * 32, 18 * 32, 800, 600));
    EXPECT_EQ(ps.field_x, 0);
    EXPECT_EQ(ps.field_y, 12);
    EXPECT_TRUE(place_field(&ps, 26 * 32, 11 * 32, 800, 600));
    EXPECT_EQ(ps.field_x, -16);
    EXPECT_TRUE(place_field(&ps, 20 * 32, 19 * 32, 800, 600));
}

TEST_F(hud, the_field_moves_to_the_bottom_edge_when_the_counters_would_not_fit_above) {
    EXPECT_FALSE(place_field(&ps, 20 * 32, 14 * 32, 640, 480));
    EXPECT_EQ(ps.field_x, 0);
    EXPECT_EQ(ps.field_y, 16); // the built-in font is 8 pixels tall
    FONT *tall = font_of_height(17);
    ASSERT_NE(tall, nullptr);
    ASSERT_EQ(text_height(tall), 17);
    ps.hud_font = tall;
    EXPECT_FALSE(place_field(&ps, 20 * 32, 14 * 32, 640, 480));
    EXPECT_EQ(ps.field_y, 32);
    ps.hud_font = font_of_height(16);
    EXPECT_FALSE(place_field(&ps, 20 * 32, 14 * 32, 640, 480));
    EXPECT_EQ(ps.field_y, 16);
    destroy_font(tall);
    destroy_font(ps.hud_font);
}

TEST_F(hud, icons_stand_left_of_their_numbers) {
    BITMAP *timer = create_bitmap(24, 32);
    ps.timer_icon = timer;
    place_hud(&ps, 800);
    EXPECT_EQ(ps.timer_icon_x, 400 - 24 - 10);
    EXPECT_EQ(ps.bomb_icon_x, 266 - 42);
    EXPECT_EQ(ps.diamond_count_x, 800 - text_length(font, "88"));
    EXPECT_EQ(ps.diamond_icon_x, ps.diamond_count_x - 42);
    destroy_bitmap(timer);
}

TEST_F(hud, a_frame_shows_the_counters_the_frame_rate_and_the_object_count) {
    ps.diamond_count_x = 780;
    player.param3 = 200; // bombs in hand read as an unsigned byte
    draw_game_frame(dest, &ps, &g);
    int h = text_height(font);
    text_at(400, 0, "90", red);
    text_at(266, 0, "200", red);
    text_at(780, 0, "7", red);
    text_at(0, 0, "FPS : 61", grey);
    text_at(0, ps.line_height, "objets : 123", grey);
    EXPECT_TRUE(same_region(dest, expected, 0, 0, 800, 3 * h));
    EXPECT_EQ(count_colour(dest, red, 0, 3 * h, 800, 600 - 3 * h), 0) << "no time warning";
}

TEST_F(hud, the_background_icons_and_objects_are_drawn_under_and_over_the_counters) {
    BITMAP *field = create_bitmap(64, 32);
    clear_to_color(field, makecol(0, 0, 200));
    ps.background = get_rle_sprite(field);
    ps.field_x = 300;
    ps.field_y = 200;
    BITMAP *icon = create_bitmap(32, 32);
    clear_to_color(icon, makecol(0, 150, 0));
    ps.timer_icon = ps.bomb_icon = ps.diamond_icon = icon;
    ps.timer_icon_x = 10;
    ps.bomb_icon_x = 100;
    ps.diamond_icon_x = 700;
    BITMAP *picture = create_bitmap(32, 32);
    clear_to_color(picture, makecol(250, 250, 250));
    BITMAP *frames[1] = {picture};
    player.sprites = frames;
    player.x = 1;
    draw_game_frame(dest, &ps, &g);
    EXPECT_EQ(getpixel(dest, 300, 200), makecol(0, 0, 200));
    EXPECT_EQ(getpixel(dest, 332 + 5, 200 + 5), makecol(250, 250, 250));
    EXPECT_EQ(getpixel(dest, 10 + 31, 31), makecol(0, 150, 0));
    EXPECT_EQ(getpixel(dest, 100, 20), makecol(0, 150, 0));
    EXPECT_EQ(getpixel(dest, 700, 20), makecol(0, 150, 0));
    destroy_rle_sprite(ps.background);
    destroy_bitmap(field);
    destroy_bitmap(icon);
    destroy_bitmap(picture);
}

TEST_F(hud, the_time_warning_shows_from_five_seconds_down_to_zero) {
    for (int32_t left : {90, 6, 5, 1, 0, -1}) {
        clear_bitmap(dest);
        g.time_left = left;
        draw_game_frame(dest, &ps, &g);
        clear_bitmap(expected);
        centred_at(400, 300, "PLUS DE TEMPS !!!", red);
        bool shown = same_region(dest, expected, 300, 300, 200, text_height(font));
        EXPECT_EQ(shown, left >= 0 && left <= 5) << left << " seconds left";
    }
}

TEST_F(hud, the_pause_text_is_centred_on_the_screen_given) {
    draw_pause_text(dest, &ps, 640, 480);
    centred_at(320, 240, "P    A    U    S    E", red);
    EXPECT_TRUE(same_region(dest, expected, 0, 0, 800, 600));
}

TEST_F(hud, a_won_game_shows_the_win_picture_centred) {
    ps.win_screen = create_bitmap(200, 100);
    clear_to_color(ps.win_screen, makecol(0, 200, 200));
    g.end_state = END_WON;
    draw_end_screen(dest, &ps, &g);
    EXPECT_EQ(getpixel(dest, 300, 250), makecol(0, 200, 200));
    EXPECT_EQ(getpixel(dest, 499, 349), makecol(0, 200, 200));
    EXPECT_EQ(getpixel(dest, 299, 250), 0);
    EXPECT_EQ(getpixel(dest, 500, 349), 0);
    EXPECT_EQ(getpixel(dest, 300, 249), 0);
    destroy_bitmap(ps.win_screen);
}

TEST_F(hud, a_lost_game_stretches_the_lose_picture_over_the_screen) {
    ps.lose_screen = create_bitmap(2, 2);
    putpixel(ps.lose_screen, 0, 0, makecol(255, 0, 0));
    putpixel(ps.lose_screen, 1, 0, makecol(0, 255, 0));
    putpixel(ps.lose_screen, 0, 1, makecol(0, 0, 255));
    putpixel(ps.lose_screen, 1, 1, makecol(255, 255, 255));
    for (int end : {END_DEAD, END_TIME_UP}) {
        clear_bitmap(dest);
        g.end_state = (uint8_t)end;
        draw_end_screen(dest, &ps, &g);
        EXPECT_EQ(getpixel(dest, 0, 0), makecol(255, 0, 0));
        EXPECT_EQ(getpixel(dest, 799, 0), makecol(0, 255, 0));
        EXPECT_EQ(getpixel(dest, 0, 599), makecol(0, 0, 255));
        EXPECT_EQ(getpixel(dest, 799, 599), makecol(255, 255, 255));
    }
    destroy_bitmap(ps.lose_screen);
}

TEST_F(hud, a_map_too_big_gets_four_yellow_lines_and_a_quit_gets_nothing) {
    g.end_state = END_TOO_BIG;
    draw_end_screen(dest, &ps, &g);
    int h = text_height(font);
    centred_at(400, 0, "La carte est trop grande", yellow);
    centred_at(400, h, "pour cette resolution,", yellow);
    centred_at(400, 2 * h, "choisissez une resolution", yellow);
    centred_at(400, 3 * h, "superieure ou une autre carte.", yellow);
    EXPECT_TRUE(same_region(dest, expected, 0, 0, 800, 600));
    clear_bitmap(dest);
    g.end_state = END_QUIT;
    draw_end_screen(dest, &ps, &g);
    clear_bitmap(expected);
    EXPECT_TRUE(same_region(dest, expected, 0, 0, 800, 600));
}

} // namespace
