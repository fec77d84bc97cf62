// Where the player's files are kept: the settings, and the files to come beside them.
#include "save_folder.h"

#include "config.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#ifdef _WIN32
#include <direct.h>
#endif

const char *const GAME_SAVE_FOLDER = "save";

bool make_folder(const std::string &folder) {
#ifdef _WIN32
    _mkdir(folder.c_str());
#else
    mkdir(folder.c_str(), 0755);
#endif
    struct stat st;
    return stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

#ifdef _WIN32
static bool file_exists(const std::string &path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

// Whether a new file can be made in the folder: a read-only share or a folder under
// Program Files without the rights refuse it.
static bool folder_writable(const std::string &folder) {
    std::string probe = folder + "/ecriture.tmp";
    FILE *f = fopen(probe.c_str(), "wb");
    if (!f) return false;
    fclose(f);
    remove(probe.c_str());
    return true;
}

static std::string choose_save_folder() {
    const char *appdata = getenv("APPDATA");
    std::string own = appdata && *appdata ? std::string(appdata) + "/Cindermaze" : "";
    std::string players = own.empty() ? "" : own + "/save";
    if (!players.empty() && file_exists(players + "/" CONFIG_NAME)) return players;
    if (make_folder(GAME_SAVE_FOLDER) && folder_writable(GAME_SAVE_FOLDER)) return GAME_SAVE_FOLDER;
    if (players.empty() || !make_folder(own) || !make_folder(players)) return GAME_SAVE_FOLDER;
    return players;
}
#endif

const std::string &save_folder() {
#ifdef _WIN32
    static const std::string folder = choose_save_folder();
#else
    // The installed launcher gives the game a folder of the player's own to run in.
    static const std::string folder = GAME_SAVE_FOLDER;
#endif
    make_folder(folder);
    return folder;
}

std::string player_folder() {
    const std::string &folder = save_folder();
    if (folder == GAME_SAVE_FOLDER) return ".";
    return folder.substr(0, folder.size() - strlen(GAME_SAVE_FOLDER) - 1);
}

std::string save_file(const char *name) {
    return save_folder() + "/" + name;
}
