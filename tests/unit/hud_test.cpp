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

// Pixels of `shot` in the rectangle equal those of `expected`.
::testing::AssertionResult same_region(BITMAP *shot, BITMAP *expected, int x, int y, int w, int h) {
    for (int j = y; j < y + h; j++)
        for (int i = x; i < x + w; i++)
            if (getpixel(shot, i, j) != getpixel(expected, i, j))
                return ::testing::AssertionFailure() << "first difference at " << i << "," << j;
    return ::testing::AssertionSuccess();
}

struct hud : ::testing::Test {
    play_screen ps{};
    game g{};
    obj player{};
    BITMAP *dest = nullptr, *expected = nullptr;
    int red = 0, grey = 0, yellow = 0;

    void SetUp() override {
        allegro_for_tests(32);
        red = makecol(255, 0, 0), grey = makecol(125, 125, 125), yellow = makecol(255, 255, 0);
        dest = create_bitmap(800, 600), expected = create_bitmap(800, 600);
        clear_bitmap(dest), clear_bitmap(expected);
        ps.hud_font = font, ps.line_height = text_height(font);
        player.type = OBJ_PLAYER, player.param3 = 2, player.timer = -1;
        player.next = player.prev = &player;
        g.player = &player, g.time_left = 90, g.diamonds_left = 7, g.object_count = 123,
        ps.fps = 61;
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

// Where the field goes: centred under the counters, down to the bottom edge when the
// counters would not fit above, too big when it overflows the screen.
TEST_F(hud, the_field_is_centred_under_the_counters_or_too_big) {
    const struct {
        int w, h, screen_w, screen_h;
        bool too_big;
        int x, y;
    } cases[] = {
        {20, 11, 800, 600, false, 80, 124}, {25, 18, 800, 600, false, 0, 12},
        {26, 11, 800, 600, true, -16, -1},  {20, 19, 800, 600, true, -1, -1},
        {20, 14, 640, 480, false, 0, 16}, // the built-in font is 8 pixels tall
    };
    for (const auto &c : cases) {
        EXPECT_EQ(place_field(&ps, 32 * c.w, 32 * c.h, c.screen_w, c.screen_h), c.too_big);
        EXPECT_TRUE(c.x == -1 || ps.field_x == c.x) << c.w << " x " << c.h;
        EXPECT_TRUE(c.y == -1 || ps.field_y == c.y) << c.w << " x " << c.h;
    }
}

// The background under everything, the icons, the counters (bombs in hand read as an
// unsigned byte), the frame rate and object count, the objects over the background.
TEST_F(hud, a_frame_shows_the_field_the_icons_and_the_counters) {
    BITMAP *field = create_bitmap(64, 32), *icon = create_bitmap(32, 32),
           *picture = create_bitmap(32, 32);
    clear_to_color(field, makecol(0, 0, 200));
    clear_to_color(icon, makecol(0, 150, 0));
    clear_to_color(picture, makecol(250, 250, 250));
    ps.background = get_rle_sprite(field);
    ps.field_x = 300, ps.field_y = 200;
    ps.timer_icon = ps.bomb_icon = ps.diamond_icon = icon;
    place_hud(&ps, 800); // each icon ends 10 pixels before its number
    BITMAP *frames[1] = {picture};
    player.sprites = frames, player.x = 1, player.param3 = 200;
    draw_game_frame(dest, &ps, &g);
    draw_rle_sprite(expected, ps.background, 300, 200);
    blit(picture, expected, 0, 0, 332, 200, 32, 32);
    for (int x : {400 - 42, 266 - 42, 784 - 42})
        blit(icon, expected, 0, 0, x, 0, 32, 32);
    text_at(400, 0, "90", red);
    text_at(266, 0, "200", red);
    text_at(784, 0, "7", red); // room for two digits at the right edge
    text_at(0, 0, "FPS : 61", grey);
    text_at(0, ps.line_height, "objets : 123", grey);
    EXPECT_TRUE(same_region(dest, expected, 0, 0, 800, 600));
    destroy_rle_sprite(ps.background);
    destroy_bitmap(field), destroy_bitmap(icon), destroy_bitmap(picture);
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

// Five red letters four blanks apart, the line's middle on the middle of the screen
// given, its top on the screen's middle line.
TEST_F(hud, the_pause_text_is_centred_on_the_screen_given) {
    draw_pause_text(dest, &ps, 640, 480);
    const std::string text = "P    A    U    S    E";
    text_at(320 - text_length(font, text.c_str()) / 2, 240, text, red);
    EXPECT_TRUE(same_region(dest, expected, 0, 0, 800, 600));
}

// Won: the picture centred; lost or out of time: stretched over the screen; a map too
// big: four yellow lines; quit: nothing.
TEST_F(hud, each_end_shows_its_screen) {
    ps.win_screen = create_bitmap(200, 100);
    clear_to_color(ps.win_screen, makecol(0, 200, 200));
    ps.lose_screen = create_bitmap(2, 2);
    const int corner[4] = {makecol(255, 0, 0), makecol(0, 255, 0), makecol(0, 0, 255),
                           makecol(255, 255, 255)};
    for (int i = 0; i < 4; i++)
        putpixel(ps.lose_screen, i % 2, i / 2, corner[i]);
    int h = text_height(font);
    const char *lines[4] = {"La carte est trop grande", "pour cette resolution,",
                            "choisissez une resolution", "superieure ou une autre carte."};
    for (int end : {END_WON, END_DEAD, END_TIME_UP, END_TOO_BIG, END_QUIT}) {
        clear_to_color(dest, makecol(0, 0, 90)); // the game's last frame, left under the text
        clear_to_color(expected, makecol(0, 0, 90));
        g.end_state = (uint8_t)end;
        draw_end_screen(dest, &ps, &g);
        if (end == END_WON) blit(ps.win_screen, expected, 0, 0, 300, 250, 200, 100);
        if (end == END_DEAD || end == END_TIME_UP)
            for (int i = 0; i < 4; i++)
                rectfill(expected, 400 * (i % 2), 300 * (i / 2), 400 * (i % 2) + 399,
                         300 * (i / 2) + 299, corner[i]);
        for (int i = 0; end == END_TOO_BIG && i < 4; i++)
            centred_at(400, i * h, lines[i], yellow);
        EXPECT_TRUE(same_region(dest, expected, 0, 0, 800, 600)) << "end " << end;
    }
    destroy_bitmap(ps.win_screen);
    destroy_bitmap(ps.lose_screen);
}

} // namespace
