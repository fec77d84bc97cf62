// The map editor's files: saving whole, where maps go, the shipped maps, themes, the list
// of maps, opening, text format.
#include "editeur_files.h"

#include "directory.h"
#include "files.h"
#include "maplist.h"
#include "maptext.h"
#include "save_folder.h"
#include "thumbnail.h"

#include <algorithm>
#include <cstdio>
#include <sys/stat.h>
#ifdef _WIN32
#include <direct.h>
#define getcwd _getcwd
#else
#include <unistd.h>
#endif

bool edit_name_char_ok(char ch) {
    return (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') || (ch >= '0' && ch <= '9') ||
           ch == '-' || ch == '_';
}

bool edit_name_ok(const std::string &name) {
    return !name.empty() && name.size() <= EDIT_NAME_MAX &&
           std::all_of(name.begin(), name.end(), edit_name_char_ok);
}

static std::vector<map_entry> shipped(bool *known = nullptr) {
    std::vector<map_entry> maps;
    std::string error;
    bool read = read_map_list(EDIT_SHIPPED_LIST, &maps, &error);
    if (known) *known = read;
    return maps;
}

bool edit_is_shipped(const std::string &name) {
    for (const map_entry &e : shipped())
        if (e.name == name) return true;
    return false;
}

std::vector<edit_theme> edit_themes() {
    std::vector<edit_theme> out;
    for (const map_entry &e : shipped()) {
        bool seen = false;
        for (const edit_theme &t : out)
            seen = seen || t.theme == e.theme;
        std::string strip = "maps/" + e.name + ".bmp";
        FILE *f = fopen(strip.c_str(), "rb");
        if (f) fclose(f);
        // Shown by the French word of its first map: 01-cendres gives cendres.
        size_t word = e.name.find_first_not_of("0123456789-");
        std::string shown = word == std::string::npos ? e.name : e.name.substr(word);
        if (!seen && f) out.push_back(edit_theme{e.theme, shown, strip});
    }
    return out;
}

// The player's folder as a prefix of its files: nothing for the working directory.
static std::string player_prefix() {
    std::string folder = player_folder();
    return folder == "." ? "" : folder + "/";
}

std::string edit_map_path(const std::string &name) {
    return player_prefix() + "maps/" + name + ".czm";
}

// maps/NAME.czm -> maps/NAME.bmp or thbs/NAME.bmp.
static std::string strip_of(const std::string &map_path) {
    return map_path.substr(0, map_path.size() - 3) + "bmp";
}
static std::string thumbnail_of(const std::string &map_path) {
    std::string bmp = strip_of(map_path);
    return bmp.replace(bmp.rfind("maps/"), 4, "thbs");
}

std::string edit_strip_path(const std::string &name) {
    return strip_of(edit_map_path(name));
}

static bool file_exists(const std::string &path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

// The player's own map first, then the game's of that name.
static std::string found_map_path(const std::string &name) {
    std::string own = edit_map_path(name), games = "maps/" + name + ".czm";
    return file_exists(own) || !file_exists(games) ? own : games;
}

bool edit_exists(const std::string &name) {
    return file_exists(found_map_path(name));
}

std::string edit_shown_path(const std::string &path) {
    std::string whole = path;
    char cwd[4096];
    bool absolute = !path.empty() && (path[0] == '/' || (path.size() > 1 && path[1] == ':'));
    if (!absolute && getcwd(cwd, sizeof cwd)) whole = std::string(cwd) + "/" + path;
#ifdef _WIN32
    std::replace(whole.begin(), whole.end(), '/', '\\');
#endif
    return whole;
}

std::vector<edit_listed> edit_list_maps() {
    std::vector<edit_listed> out;
    std::vector<std::string> folders = {player_prefix() + "maps"};
    if (folders[0] != "maps") folders.push_back("maps");
    for (const std::string &folder : folders) {
        char **files = nullptr;
        int count = list_dir_ext(folder.c_str(), ".czm", &files);
        for (int i = 0; i < count; i++) {
            std::string path = files[i];
            std::string name = path.substr(folder.size() + 1, path.size() - folder.size() - 5);
            bool listed = std::any_of(out.begin(), out.end(),
                                      [&](const edit_listed &l) { return l.name == name; });
            if (edit_name_ok(name) && !listed)
                out.push_back(edit_listed{name, thumbnail_of(path), edit_is_shipped(name)});
        }
        free_file_list(files, count);
    }
    std::sort(out.begin(), out.end(),
              [](const edit_listed &a, const edit_listed &b) { return a.name < b.name; });
    return out;
}

bool edit_save(const edit_map *m, const std::string &name, const std::string &strip,
               std::string *reason) {
    if (!edit_can_save(m)) {
        *reason = std::string("Carte refusée par le jeu : ") + edit_status_line(m);
        return false;
    }
    if (!edit_name_ok(name)) {
        *reason = "Nom de carte invalide : lettres, chiffres, - et _ seulement.";
        return false;
    }
    bool known;
    shipped(&known);
    if (!known) {
        // Without the list, a shipped map could be written over: nothing is saved.
        *reason = "La liste des cartes du jeu (maps.list) est introuvable : rien n'est enregistré.";
        return false;
    }
    if (edit_is_shipped(name)) {
        *reason = "« " + name + " » est une carte du jeu : choisissez un autre nom.";
        return false;
    }
    std::vector<uint8_t> tiles, thumbnail, bytes = edit_bytes(m);
    if (!read_file_bytes(strip.c_str(), &tiles)) {
        *reason = "La bande de décor " + strip + " est introuvable.";
        return false;
    }
    std::string map_path = edit_map_path(name), tiles_path = strip_of(map_path),
                thumbnail_path = thumbnail_of(map_path);
    make_folder(player_prefix() + "maps");
    make_folder(player_prefix() + "thbs");
    bool drawn = map_thumbnail_bmp(".", bytes.data(), bytes.size(), strip.c_str(), &thumbnail);
    // The strip first and the map last: the chooser lists a map only once it is whole.
    std::vector<file_to_write> files;
    if (strip != tiles_path) files.push_back({tiles_path.c_str(), tiles.data(), tiles.size()});
    files.push_back({thumbnail_path.c_str(), thumbnail.data(), thumbnail.size()});
    files.push_back({map_path.c_str(), bytes.data(), bytes.size()});
    if (!drawn || !write_files_whole(files.data(), files.size())) {
        *reason = "Impossible d'écrire les fichiers de « " + name + " » dans " +
                  edit_shown_path(player_prefix() + "maps") + " et " +
                  edit_shown_path(player_prefix() + "thbs") + " : rien n'a changé.";
        return false;
    }
    return true;
}

bool edit_open(edit_map *m, const std::string &name, std::string *strip, std::string *reason) {
    if (!edit_name_ok(name)) {
        *reason = "Nom de carte invalide : " + name;
        return false;
    }
    std::string path = found_map_path(name);
    std::vector<uint8_t> bytes;
    if (!read_file_bytes(path.c_str(), &bytes)) {
        *reason = "La carte " + path + " est introuvable.";
        return false;
    }
    if (!file_exists(strip_of(path))) {
        *reason = "La carte " + path + " n'a pas sa bande de décor " + strip_of(path) + ".";
        return false;
    }
    edit_map opened;
    if (!edit_load(&opened, bytes.data(), bytes.size(), reason)) {
        *reason = "La carte " + path + " est tronquée ou abîmée : elle ne peut pas être ouverte.";
        return false;
    }
    *m = opened;
    *strip = strip_of(path);
    return true;
}

bool edit_export_text(const edit_map *m, const std::string &name, std::string *path,
                      std::string *reason) {
    std::vector<uint8_t> bytes = edit_bytes(m);
    std::string text, error;
    *path = edit_shown_path(player_prefix() + name + ".txt");
    if (!edit_name_ok(name) || !format_map_text(bytes.data(), bytes.size(), &text, &error) ||
        !write_file_whole((player_prefix() + name + ".txt").c_str(), text.data(), text.size())) {
        *reason = "Impossible d'écrire " + *path + ".";
        return false;
    }
    return true;
}

bool edit_import_text(edit_map *m, const std::string &name, std::string *reason) {
    std::vector<uint8_t> raw, bytes;
    std::string path = player_prefix() + name + ".txt";
    if (!edit_name_ok(name) || !read_file_bytes(path.c_str(), &raw)) {
        *reason = "Le fichier " + edit_shown_path(path) + " est introuvable.";
        return false;
    }
    map_text_error error;
    if (!parse_map_text_at((const char *)raw.data(), raw.size(), &bytes, &error)) {
        *reason = name + ".txt n'est pas une carte : " + edit_text_error(error);
        return false;
    }
    edit_map imported;
    if (!edit_load(&imported, bytes.data(), bytes.size(), reason)) return false;
    *m = imported;
    return true;
}

// A character as the player typed it, or its code when it shows nothing.
static std::string shown_byte(char c) {
    if ((unsigned char)c >= 32 && c != 127) return "« " + std::string(1, c) + " »";
    char code[16];
    snprintf(code, sizeof code, "(octet 0x%02x)", (unsigned char)c);
    return code;
}

std::string edit_text_error(const map_text_error &e) {
    std::string where =
        "ligne " + std::to_string(e.line) + ", colonne " + std::to_string(e.column) + " : ";
    switch (e.problem) {
    case TEXT_BAD_BRACE:
        return where + "après « { », deux chiffres hexadécimaux puis « } », comme {08}.";
    case TEXT_UNKNOWN_CELL:
        return where + "case inconnue " + shown_byte(e.cell) +
               " (# mur, + bloc, ? bonus, P départ, M monstre, D diamant, . sol, {NN} un "
               "autre code).";
    case TEXT_BLANK_INSIDE:
        return where + "ligne vide au milieu de la carte.";
    case TEXT_ROW_LENGTH:
        return where + "cette rangée a " + std::to_string(e.cells) + " cases, la première " +
               std::to_string(e.first_cells) + ".";
    case TEXT_TOO_WIDE:
        return where + "une carte a au plus 255 cases de large.";
    case TEXT_TOO_TALL:
        return where + "une carte a au plus 255 rangées.";
    case TEXT_NO_ROWS:
        break;
    }
    return where + "aucune rangée de cases.";
}
