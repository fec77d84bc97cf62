// Start-up of the library (normal and safe mode), the final clean-up, and fatal errors.
#pragma once

struct config;

void menu_init();
void safe_init(config *cfg);
void deinit();

// Sets a graphics mode; when the driver refuses it (many desktops and X servers cannot
// switch resolution) or it leaves no graphics screen (the text mode), tries a window of the
// same size. False when neither could be had, or for a size no display has (below 1 or
// above 8192 pixels), and then there may be no screen to draw on.
bool set_mode_or_window(int card, int w, int h);

// Leaves graphics mode, shows "Erreur : <text>" with Allegro's error, shuts Allegro down.
void fatal_error(const char *text);
// The same, then ends the program.
[[noreturn]] void fatal_exit(const char *text);
