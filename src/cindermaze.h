// Start-up of the library (normal and safe mode), the final clean-up, and the
// fatal error sequence every screen uses for a missing resource.
#pragma once

struct config;

void menu_init();
void safe_init(config *cfg);
void deinit();

// Leaves graphics mode, shows "Erreur : <text>" with Allegro's error, shuts Allegro down.
void fatal_error(const char *text);
// The same, then ends the program.
[[noreturn]] void fatal_exit(const char *text);
