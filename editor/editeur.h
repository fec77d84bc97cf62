// The map editor's screens: the new-map dialog, the drawing screen with its palette and
// live check line, the name prompt, and playing the map in the game's own loop.
#pragma once

struct config;

// Runs the editor in the 800 x 600 mode already set; `name` opens maps/NAME.czm, null
// starts with the new-map dialog. Returns the program's exit status.
int editeur(config *cfg, const char *name);
