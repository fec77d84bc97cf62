// The picture of a game: field objects, head-up display, pause text, warning and end screens.
#pragma once

#include <cstdint>

struct BITMAP;
struct FONT;
struct MIDI;
struct RLE_SPRITE;
struct game;
struct obj;

// What a game shows, beside the rules' own record.
struct play_screen {
    BITMAP *current, *page1, *page2, *page3; // the display variables
    FONT *hud_font;
    int32_t line_height; // of Allegro's built-in font
    BITMAP *timer_icon, *bomb_icon, *diamond_icon;
    int32_t timer_icon_x, bomb_icon_x, diamond_icon_x, diamond_count_x;
    BITMAP *win_screen, *lose_screen;
    BITMAP *field_bitmap;   // floor and walls of the whole map
    RLE_SPRITE *background; // the same, as drawn every frame
    int32_t field_x, field_y;
    MIDI *music;
    // Frames drawn in the last whole second, counted by the game loop on the seconds
    // counter: the frame rate shown.
    int32_t fps, frames_this_second, last_second;
    // A recorded run played back (its line shows over the game), and a win that is the
    // map's new record.
    bool replaying, new_record;
};

// Icon and counter positions for a screen `screen_w` wide (timer icon and hud font set).
void place_hud(play_screen *ps, int32_t screen_w);
// Centres a field of field_w x field_h pixels, pushed to the bottom edge when the hud
// font would not fit above it. True when the field is bigger than the screen.
bool place_field(play_screen *ps, int32_t field_w, int32_t field_h, int32_t screen_w,
                 int32_t screen_h);

// Draws every object of the ring but the walls, the player split around the flames.
void draw_playscreen(obj *head, BITMAP *dest, int32_t ox, int32_t oy);
// One frame of play into dest (already cleared): background, counters, frame rate and
// object count, the objects, the warning of the last five seconds, and a replay's line.
void draw_game_frame(BITMAP *dest, const play_screen *ps, const game *g);
// "P    A    U    S    E" centred on a screen of screen_w x screen_h drawn in dest.
void draw_pause_text(BITMAP *dest, const play_screen *ps, int32_t screen_w, int32_t screen_h);
// The picture that ends a game into dest (already cleared), with the time of a win and
// whether it is a new record; nothing after a quit.
void draw_end_screen(BITMAP *dest, const play_screen *ps, const game *g);
