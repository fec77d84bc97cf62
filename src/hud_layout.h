// Where the play field sits under the head-up display: one rule for the game and the map check.
#pragma once

#include <cstdint>

// The counters' icons are 32 x 32 pictures drawn from the top edge.
const int32_t HUD_ICON_SIZE = 32;
// Height of the counters' font in the shipped bktype.dat (the map check's default).
const int32_t HUD_FONT_HEIGHT = 22;

struct field_spot {
    int32_t x, y;
    bool too_big; // the field is wider or taller than the screen
};

// Centres a field of field_w x field_h pixels; when the counters' text (hud_text_h tall)
// does not fit above it, the field sits on the bottom edge instead.
field_spot place_field_on_screen(int32_t field_w, int32_t field_h, int32_t screen_w,
                                 int32_t screen_h, int32_t hud_text_h);
// Rows from the top edge that the counters draw over: their icons and their text.
int32_t hud_band_height(int32_t hud_text_h);
// True when a map of width x height cells fits the screen with nothing of the counters
// drawn over its field.
bool map_fits_screen(int32_t width, int32_t height, int32_t screen_w, int32_t screen_h,
                     int32_t hud_text_h);
