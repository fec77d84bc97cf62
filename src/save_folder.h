// Where the player's files are kept: the settings, and the files to come beside them.
#pragma once

#include <string>

// The folder the game writes in, made when missing: save/ beside the game. On Windows,
// when that folder cannot be written (a game unpacked under Program Files or on a read-only
// share), or when the player's application data already holds the settings,
// %APPDATA%\Cindermaze\save instead. Decided once per run.
const std::string &save_folder();
// The game's own save/, which may differ from the save folder on Windows.
extern const char *const GAME_SAVE_FOLDER;
// The folder that holds the save folder, where the maps a player makes go too (its maps/
// and thbs/): "." for the game's own, or %APPDATA%\Cindermaze.
std::string player_folder();
// Makes a folder that is missing (a zip tool drops empty folders); true when it exists.
bool make_folder(const std::string &folder);
// A file of the save folder: save_folder() + "/" + name.
std::string save_file(const char *name);
