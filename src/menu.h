// The main menu and the map chooser.
#pragma once

#include <cstdint>

struct BITMAP;
struct config;

struct menu_button {
    int x, y, w, h; // the rectangle mouseover reads
    BITMAP *on;
    BITMAP *off;
};

// True when the mouse is inside x..x+w, y..y+h (both far edges included).
bool mouseover(const int *rect);
// 0 play, 1 key bindings, 2 options, 3 quit.
int menu(const config *cfg);
// The chosen map file (e.g. maps/castle.czm), or null when cancelled or without maps.
// *watch tells that the player asked to watch the map's record rather than play it.
char *menu_map(const config *cfg, BITMAP *menu_background, bool *watch);
