// Start-up of the library (normal and safe mode), graphics modes, the window's close box,
// and the final clean-up.
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
// Sets the game's mode of the record. A mode the system refuses falls back to the other of
// window and full screen at the same size, then to the menus' 800 x 600; the fallback taken
// is announced by a message and kept in the record (in memory) for the rest of the run.
// False, after a message, when none could be set: there may then be no screen.
bool set_game_mode(config *cfg);

// Forgets the text a refused attempt left in allegro_error once a fallback has worked, so
// that a later message shows its own cause.
void forget_allegro_error();

// The window's close box: from watch_close_button() on, a click on it is noted. The menus
// look at it (it quits the program), the other screens take it (it leaves them).
void watch_close_button();
bool close_button_clicked();
bool take_close_button();
