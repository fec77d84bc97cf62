// The map editor's files: a map's three files written whole or not at all, where a
// player's maps go, the shipped maps that are never overwritten, the themes, the list of
// maps, opening, and the text format.
#pragma once

#include "editeur_model.h"

#include <string>
#include <vector>

struct map_text_error;

// A theme: the tile strip of a shipped map.
struct edit_theme {
    std::string theme; // the theme's word in the list of shipped maps
    std::string name;  // the French word shown
    std::string strip; // maps/NAME.bmp of the first shipped map of that theme
};

// A map of the list for Open and New.
struct edit_listed {
    std::string name;
    std::string thumbnail; // thbs/NAME.bmp beside its maps/
    bool shipped;
};

// The list of shipped maps, written by the build beside the program.
const char *const EDIT_SHIPPED_LIST = "maps.list";
const size_t EDIT_NAME_MAX = 40;

// What a map's name may hold: letters without accents, digits, '-' and '_', 1 to 40 of them.
bool edit_name_char_ok(char ch);
bool edit_name_ok(const std::string &name);
bool edit_is_shipped(const std::string &name);
std::vector<edit_theme> edit_themes();

// Where the player's map NAME is written: maps/NAME.czm beside the game, or under the
// player's own folder when the game's cannot be written (see player_folder).
std::string edit_map_path(const std::string &name);
// Its strip beside it: maps/NAME.bmp.
std::string edit_strip_path(const std::string &name);
// The path a player reads in a message: whole, from the root of the disk.
std::string edit_shown_path(const std::string &path);
// True when a map of that name is there to be opened (the player's or the game's).
bool edit_exists(const std::string &name);
// Every map that can be opened, in name order, the player's and the game's.
std::vector<edit_listed> edit_list_maps();

// Saves maps/NAME.czm, maps/NAME.bmp (a copy of the strip) and thbs/NAME.bmp, all three or
// none. False with a French reason: a refused map, a shipped name, a file that cannot be
// written.
bool edit_save(const edit_map *m, const std::string &name, const std::string &strip,
               std::string *reason);
// Opens the map NAME with its strip (its path in *strip); false with a French reason, and
// m untouched.
bool edit_open(edit_map *m, const std::string &name, std::string *strip, std::string *reason);
// NAME.txt in the text format of czmtool, beside the player's maps/ (its path in *path).
bool edit_export_text(const edit_map *m, const std::string &name, std::string *path,
                      std::string *reason);
bool edit_import_text(edit_map *m, const std::string &name, std::string *reason);
// A map text's fault, in French.
std::string edit_text_error(const map_text_error &error);
