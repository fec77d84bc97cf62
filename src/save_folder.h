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
// A file of the save folder: save_folder() + "/" + name.
std::string save_file(const char *name);
