// The picture of a game: where the field and the counters go, what a frame of play
// shows (ring order, movers' offsets, fixed things on their corner, walls left to the
// background, a tall player split around the flames), the pause text and the end screens.
#include "hud.h"
#include "hud_layout.h"
#include "objets.h"
#include "rules.h"
#include "test_util.h"

#include <allegro.h>
#include <gtest/gtest.h>
#include <string>

namespace {

const int OX = 16, OY = 40; // where draw_playscreen is asked to start the field

// Pixels of `shot` in the rectangle equal those of `expected`.
::testing::AssertionResult same_region(BITMAP *shot, BITMAP *expected, int x, int y, int w, int h) {
    for (int j = y; j < y + h; j++)
        for (int i = x; i < x + w; i++)
            if (getpixel(shot, i, j) != getpixel(expected, i, j))
                return ::testing::AssertionFailure() << "first difference at " << i << "," << j;
    return ::testing::AssertionSuccess();
}

struct picture : ::testing::Test {
    play_screen ps{};
    game g{};
    obj player{};
    BITMAP *dest = nullptr, *expected = nullptr;
    std::vector<BITMAP *> owned;
    std::vector<obj> ring = std::vector<obj>(64);
    size_t used = 0;
    int red, green, blue, white, yellow, grey;

    void SetUp() override {
        allegro_for_tests(32);
        red = makecol(255, 0, 0), green = makecol(0, 255, 0), blue = makecol(0, 0, 255);
        white = makecol(255, 255, 255), yellow = makecol(255, 255, 0),
        grey = makecol(125, 125, 125);
        dest = pic(0, 600, 800), expected = pic(0, 600, 800);
        ps.hud_font = font, ps.line_height = text_height(font);
        player.type = OBJ_PLAYER, player.param3 = 2, player.timer = -1;
        player.next = player.prev = &player;
        g.player = &player, g.time_left = 90, g.diamonds_left = 7, g.object_count = 123,
        ps.fps = 61;
    }
    void TearDown() override {
        for (BITMAP *b : owned)
            destroy_bitmap(b);
    }
    // A picture of one colour; a frame taller than a cell has a white head (its left
    // column yellow) above its 32 rows.
    BITMAP *pic(int colour, int height = 32, int width = 32) {
        owned.push_back(create_bitmap(width, height));
        clear_to_color(owned.back(), colour);
        if (height > 32 && width == 32) {
            rectfill(owned.back(), 0, 0, 31, height - 33, white);
            vline(owned.back(), 0, 0, height - 33, yellow);
        }
        return owned.back();
    }
    void text_at(int x, int y, const std::string &s, int colour) {
        textout_ex(expected, font, s.c_str(), x, y, colour, -1);
    }
    void centred_at(int x, int y, const std::string &s, int colour) {
        textout_centre_ex(expected, font, s.c_str(), x, y, colour, -1);
    }
    // A ring of objects made by hand, drawn by draw_playscreen.
    void add(int type, int x, int y, BITMAP **sprites, int off_x = 0, int off_y = 0,
             int frame = 0) {
        obj &o = ring[used++];
        o = obj{};
        o.type = (int8_t)type, o.x = x, o.y = y, o.off_x = (int8_t)off_x, o.off_y = (int8_t)off_y;
        o.sprites = sprites, o.frame = (uint8_t)frame, o.timer = -1;
    }
    void draw() {
        for (size_t i = 0; i < used; i++)
            ring[i].next = &ring[(i + 1) % used], ring[i].prev = &ring[(i + used - 1) % used];
        draw_playscreen(&ring[0], dest, OX, OY);
    }
    int at(int c, int r, int dx, int dy) {
        return getpixel(dest, OX + 32 * c + dx, OY + 32 * r + dy);
    }
};

// Where the field goes: centred under the counters, down to the bottom edge when the
// counters would not fit above, too big when it overflows the screen. A map fits a screen
// (for the map check and the editor) when, with the game's counters, it is not too big and
// the 32-pixel icons stay clear of it.
TEST_F(picture, the_field_is_centred_under_the_counters_or_too_big) {
    const struct {
        int w, h, screen_w, screen_h;
        bool too_big;
        int x, y;
        bool fits;
    } cases[] = {
        {20, 11, 800, 600, false, 80, 124, true}, {25, 18, 800, 600, false, 0, 12, false},
        {26, 11, 800, 600, true, -16, -1, false}, {20, 19, 800, 600, true, -1, -1, false},
        {24, 17, 800, 600, false, 16, 28, false}, {24, 16, 800, 600, false, 16, 44, true},
        {20, 14, 640, 480, false, 0, 16, true}, // the built-in font is 8 pixels tall
    };
    for (const auto &c : cases) {
        EXPECT_EQ(place_field(&ps, 32 * c.w, 32 * c.h, c.screen_w, c.screen_h), c.too_big);
        EXPECT_TRUE(c.x == -1 || ps.field_x == c.x) << c.w << " x " << c.h;
        EXPECT_TRUE(c.y == -1 || ps.field_y == c.y) << c.w << " x " << c.h;
        EXPECT_EQ(map_fits_screen(c.w, c.h, c.screen_w, c.screen_h, HUD_FONT_HEIGHT), c.fits)
            << c.w << " x " << c.h << " on " << c.screen_w << " x " << c.screen_h;
    }
}

// The background under everything, the icons, the counters (bombs in hand read as an
// unsigned byte), the frame rate and object count, the objects over the background.
TEST_F(picture, a_frame_shows_the_field_the_icons_and_the_counters) {
    BITMAP *field = pic(makecol(0, 0, 200), 32, 64), *icon = pic(makecol(0, 150, 0)),
           *picture = pic(makecol(250, 250, 250));
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
}

// The time warning shows from five seconds down to zero. The pause text: five red letters
// four blanks apart, the line's middle on the middle of the screen given, its top on the
// screen's middle line.
TEST_F(picture, the_time_warning_and_the_pause_text_show_where_and_when_they_should) {
    for (int32_t left : {90, 6, 5, 1, 0, -1}) {
        clear_bitmap(dest);
        g.time_left = left;
        draw_game_frame(dest, &ps, &g);
        clear_bitmap(expected);
        centred_at(400, 300, "PLUS DE TEMPS !!!", red);
        bool shown = same_region(dest, expected, 300, 300, 200, text_height(font));
        EXPECT_EQ(shown, left >= 0 && left <= 5) << left << " seconds left";
    }
    clear_bitmap(dest), clear_bitmap(expected);
    draw_pause_text(dest, &ps, 640, 480);
    const std::string text = "P    A    U    S    E";
    text_at(320 - text_length(font, text.c_str()) / 2, 240, text, red);
    EXPECT_TRUE(same_region(dest, expected, 0, 0, 800, 600));
}

// Won: the picture centred; lost or out of time: stretched over the screen; a map too
// big: four yellow lines; quit: nothing.
TEST_F(picture, each_end_shows_its_screen) {
    ps.win_screen = pic(makecol(0, 200, 200), 100, 200);
    ps.lose_screen = pic(0, 2, 2);
    const int corner[4] = {red, green, blue, white};
    for (int i = 0; i < 4; i++)
        putpixel(ps.lose_screen, i % 2, i / 2, corner[i]);
    const char *lines[4] = {"La carte est trop grande", "pour cette resolution,",
                            "choisissez une resolution", "superieure ou une autre carte."};
    g.ticks = 4237, ps.new_record = true;
    for (int end : {END_WON, END_DEAD, END_TIME_UP, END_TOO_BIG, END_QUIT}) {
        clear_to_color(dest, makecol(0, 0, 90)); // the game's last frame, left under the text
        clear_to_color(expected, makecol(0, 0, 90));
        g.end_state = (uint8_t)end;
        draw_end_screen(dest, &ps, &g);
        if (end == END_WON) { // the time centred under the picture, the new record beside it
            blit(ps.win_screen, expected, 0, 0, 300, 250, 200, 100);
            textout_ex(expected, font, "Temps : 42,37 s", 264, 354, red, -1);
            textout_ex(expected, font, "   Nouveau record !", 384, 354, yellow, -1);
        }
        if (end == END_DEAD || end == END_TIME_UP)
            for (int i = 0; i < 4; i++)
                rectfill(expected, 400 * (i % 2), 300 * (i / 2), 400 * (i % 2) + 399,
                         300 * (i / 2) + 299, corner[i]);
        for (int i = 0; end == END_TOO_BIG && i < 4; i++)
            centred_at(400, i * text_height(font), lines[i], yellow);
        EXPECT_TRUE(same_region(dest, expected, 0, 0, 800, 600)) << "end " << end;
    }
}

TEST_F(picture, every_thing_lands_where_and_as_the_player_sees_it) {
    BITMAP *tall[1] = {pic(blue, 48)}, *flame[1] = {pic(red)}, *monster[1] = {pic(green)};
    BITMAP *block[2] = {pic(yellow), pic(red)}, *wall[1] = {pic(grey)}, *bomb[1] = {pic(yellow)};
    BITMAP *diamond[1] = {pic(bitmap_mask_color(dest))}, *other[1] = {pic(green)};
    BITMAP *short_strip[4] = {pic(yellow), nullptr, nullptr, nullptr};
    rectfill(diamond[0], 8, 8, 23, 23, green);
    rectfill(dest, OX + 32 * 12, OY + 32, OX + 32 * 13 - 1, OY + 63, grey);
    add(OBJ_PLAYER, 9, 9, other);                       // an earlier player: not drawn
    add(OBJ_FLAME, 2, 1, flame, FLAME_UP, ARM_UP);      // above the player
    add(OBJ_FLAME, 2, 2, flame, FLAME_CENTRE, ARM_ALL); // on the player's feet
    add(OBJ_MONSTER, 5, 1, monster, 16, 0);             // half into the next cell
    add(OBJ_BLOCK, 6, 1, block);                        // drawn over the monster
    add(OBJ_BLOCK, 8, 2, block, 0, 0, 1);               // a burning block, its second step
    add(OBJ_BOMB, 10, 1, bomb, 9, 9);                   // a fixed thing's offsets mean nothing
    add(OBJ_WALL, 11, 1, wall);                         // left to the background
    add(OBJ_DIAMOND, 12, 1, diamond);                   // the mask shows the background
    add(OBJ_BOMB, 13, 1, short_strip, 0, 0, 2);         // beyond a short strip: skipped
    add(OBJ_DIAMOND, 13, 2, nullptr);                   // no pictures at all: skipped
    add(OBJ_PLAYER, 2, 2, tall);                        // the last player is the one drawn
    draw();
    const struct {
        int c, r, dx, dy, colour;
    } want[] = {
        {2, 2, 5, 5, red},   {2, 2, 31, 31, red},    {2, 2, 5, -1, white},  {2, 2, 5, -16, white},
        {2, 2, 5, -17, red}, {2, 1, 5, 0, red},      {5, 1, 16, 0, green},  {6, 1, 5, 0, yellow},
        {5, 1, 15, 0, 0},    {8, 2, 2, 5, red},      {10, 1, 0, 0, yellow}, {10, 1, 32, 32, 0},
        {11, 1, 10, 10, 0},  {12, 1, 10, 10, green}, {12, 1, 2, 2, grey},   {13, 1, 5, 5, 0},
        {13, 2, 5, 5, 0},    {9, 9, 5, 5, 0},
    };
    for (const auto &w : want)
        EXPECT_EQ(at(w.c, w.r, w.dx, w.dy), w.colour)
            << w.c << "," << w.r << " +" << w.dx << "," << w.dy;
}

// A player off its cell's centre: the feet where the offsets put them, the head above; a
// frame shorter than a cell stands on the cell's bottom edge.
TEST_F(picture, a_player_stands_where_its_offsets_put_it_on_the_bottom_of_its_cell) {
    const struct {
        int height, off_x, off_y;
        std::vector<int> want; // dx, dy, colour, ...
    } cases[] = {{48, 3, -2, {3,      -2, blue, 34,    29, blue, 34, 30, 0,  3, -3,
                              yellow, 4,  -18,  white, 3,  -19,  0,  2,  -2, 0}},
                 {16, 0, 0, {5, 15, 0, 5, 16, blue, 5, 31, blue, 5, 32, 0}}};
    for (const auto &c : cases) {
        BITMAP *standing[1] = {pic(blue, c.height)};
        used = 0;
        clear_bitmap(dest);
        add(OBJ_PLAYER, 1, 1, standing, c.off_x, c.off_y);
        draw();
        for (size_t i = 0; i < c.want.size(); i += 3)
            EXPECT_EQ(at(1, 1, c.want[i], c.want[i + 1]), c.want[i + 2])
                << c.height << ": " << c.want[i] << "," << c.want[i + 1];
    }
}

} // namespace
