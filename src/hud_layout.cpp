// Where the play field sits under the head-up display.
#include "hud_layout.h"

#include "maps.h"

field_spot place_field_on_screen(int32_t field_w, int32_t field_h, int32_t screen_w,
                                 int32_t screen_h, int32_t hud_text_h) {
    field_spot s;
    s.x = (screen_w - field_w) / 2;
    s.y = (screen_h - field_h) / 2;
    // No room above the field for the counters: the field sits on the bottom edge.
    if (hud_text_h > s.y) s.y = screen_h - field_h;
    s.too_big = field_w > screen_w || field_h > screen_h;
    return s;
}

int32_t hud_band_height(int32_t hud_text_h) {
    return hud_text_h > HUD_ICON_SIZE ? hud_text_h : HUD_ICON_SIZE;
}

bool map_fits_screen(int32_t width, int32_t height, int32_t screen_w, int32_t screen_h,
                     int32_t hud_text_h) {
    field_spot s = place_field_on_screen(width * CELL_PIXELS, height * CELL_PIXELS, screen_w,
                                         screen_h, hud_text_h);
    return !s.too_big && s.y >= hud_band_height(hud_text_h);
}
