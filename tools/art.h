// The game's pictures, drawn in code: sprite strips, menu and end screens, map tiles.
#pragma once

#include "pixel.h"

#include <string>
#include <vector>

// Sprite strips (frames of 32 pixels side by side).
canvas bonus_strip();
canvas player_strip();
canvas bombs_strip();
canvas diamond_strip();
canvas monster_strip();
canvas explo_ctr_strip();
canvas explo_dir_strip();
canvas timer_icon();

// Screens.
canvas menu_background(const canvas *player, const canvas *bombs, const canvas *diamonds);
canvas menu_button(const std::string &label, bool on);
canvas arrow_button(bool left, bool on);
canvas surprise_preview();
canvas win_picture(const canvas *diamonds);
canvas lose_picture();

// Map tiles: floor, wall, intact block and its destruction steps.
extern const char *const THEME_NAMES[];
int theme_count();
int theme_index(const std::string &name); // -1 when unknown
canvas tile_strip(int theme);

// Readability of a theme, as CIE 1976 colour differences (delta E) between mean colours:
// the wall against the floor, and the body of each piece (block, diamond, monster, player,
// the seven bonuses; without its outline and shadow) against the floor and against the wall.
// About 2 is the least difference seen between large patches and 10 tells two colours
// apart side by side; a piece of a few hundred pixels, moving, seen at a glance, wants twice
// that: 20. (Diamonds on the old pale ice floor measured 17; the old grey iron floor and
// girders 8.) makeart refuses to make the tiles of a theme that falls below it.
const double CONTRAST_MIN = 20.0;
struct contrast {
    std::string piece, ground;
    double distance;
};
double tile_distance(const canvas *a, const canvas *b);
double piece_distance(const canvas *piece, const canvas *ground);
std::vector<contrast> theme_contrasts(int theme);
contrast least_contrast(int theme);

// Small helpers shared by the drawing files.
struct pt {
    double x, y;
};
void fill_poly(canvas *c, const std::vector<pt> &poly, uint8_t col);
// A picture from rows of characters, each mapped through `keys` ("k0 wHOT1" pairs).
void stamp(canvas *c, int x, int y, const std::vector<const char *> &rows, const char *keys,
           const uint8_t *cols);
// The frame of a strip.
canvas frame_of(const canvas *strip, int k);
// Lays frames side by side.
canvas join_frames(const std::vector<canvas> &frames);
// Bold DejaVu text drawn crisp (no anti-aliasing) with its top-left corner at (x, y);
// returns its width.
int draw_label(canvas *c, const std::string &utf8, int size, int x, int y, uint8_t col);
