// The map editor's files: a map's three files written whole or not at all, the shipped
// maps that are never overwritten, the themes, opening, and the text format.
#pragma once

#include "editeur_model.h"

#include <string>
#include <vector>

// A theme: the tile strip of a shipped map.
struct edit_theme {
    std::string theme; // the theme's word in the list of shipped maps
    std::string name;  // the French word shown
    std::string strip; // maps/NAME.bmp of the first shipped map of that theme
};

// The list of shipped maps, written by the build beside the program.
const char *const EDIT_SHIPPED_LIST = "maps.list";

// Letters, digits, '-' and '_', 1 to 40 of them.
bool edit_name_ok(const std::string &name);
bool edit_is_shipped(const std::string &name);
std::vector<edit_theme> edit_themes();

// Saves maps/NAME.czm, maps/NAME.bmp (a copy of the strip) and thbs/NAME.bmp.
// False with a French reason: a refused map, a shipped name, a file that cannot be written.
bool edit_save(const edit_map *m, const std::string &name, const std::string &strip,
               std::string *reason);
// Opens maps/NAME.czm with its strip; false with a French reason, and m untouched.
bool edit_open(edit_map *m, const std::string &name, std::string *reason);
// NAME.txt in the text format of czmtool, in the working directory.
bool edit_export_text(const edit_map *m, const std::string &name, std::string *reason);
bool edit_import_text(edit_map *m, const std::string &name, std::string *reason);
