// Message boxes the player can answer in any mode, and the fatal error sequence.
#pragma once

// Shows a message box (a printf format and its values) and waits for the player's answer.
// A full-screen mode keeps the keyboard and the pointer to itself, so that no box could be
// answered over it: the mode is left for the time of the box and set again afterwards.
// True when it was set again: its picture, its video bitmaps and its pointer are then gone,
// and the caller draws anew. Without a graphics mode, or in a window, the box simply shows.
bool show_message(const char *format, ...);

// Leaves graphics mode, shows "Erreur : <text>" with Allegro's error, shuts Allegro down.
void fatal_error(const char *text);
// The same, then ends the program.
[[noreturn]] void fatal_exit(const char *text);
// No graphics mode of that size could be had, not even in a window: nothing is left to
// draw on, the program ends with a message.
[[noreturn]] void mode_refused_exit(int w, int h);
