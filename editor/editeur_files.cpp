// The map editor's files: saving whole, the shipped maps, themes, opening, text format.
#include "editeur_files.h"

#include "files.h"
#include "maplist.h"
#include "maptext.h"
#include "thumbnail.h"

#include <cctype>
#include <cstdio>

bool edit_name_ok(const std::string &name) {
    if (name.empty() || name.size() > 40) return false;
    for (char ch : name)
        if (!isalnum((unsigned char)ch) && ch != '-' && ch != '_') return false;
    return true;
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
    std::string tiles_path = "maps/" + name + ".bmp", thumbnail_path = "thbs/" + name + ".bmp",
                map_path = "maps/" + name + ".czm";
    bool drawn = map_thumbnail_bmp(".", bytes.data(), bytes.size(), strip.c_str(), &thumbnail);
    // The strip first and the map last: the chooser lists a map only once it is whole.
    std::vector<file_to_write> files;
    if (strip != tiles_path) files.push_back({tiles_path.c_str(), tiles.data(), tiles.size()});
    files.push_back({thumbnail_path.c_str(), thumbnail.data(), thumbnail.size()});
    files.push_back({map_path.c_str(), bytes.data(), bytes.size()});
    if (!drawn || !write_files_whole(files.data(), files.size())) {
        *reason = "Impossible d'écrire les fichiers de « " + name + " » dans maps/ et thbs/.";
        return false;
    }
    return true;
}

bool edit_open(edit_map *m, const std::string &name, std::string *reason) {
    std::string path = "maps/" + name + ".czm";
    std::vector<uint8_t> bytes;
    if (!read_file_bytes(path.c_str(), &bytes)) {
        *reason = "La carte " + path + " est introuvable.";
        return false;
    }
    FILE *f = fopen(("maps/" + name + ".bmp").c_str(), "rb");
    if (!f) {
        *reason = "La carte " + path + " n'a pas sa bande de décor maps/" + name + ".bmp.";
        return false;
    }
    fclose(f);
    edit_map opened;
    if (!edit_load(&opened, bytes.data(), bytes.size(), reason)) {
        *reason = "La carte " + path + " est tronquée ou abîmée : elle ne peut pas être ouverte.";
        return false;
    }
    *m = opened;
    return true;
}

bool edit_export_text(const edit_map *m, const std::string &name, std::string *reason) {
    std::vector<uint8_t> bytes = edit_bytes(m);
    std::string text, error;
    if (!edit_name_ok(name) || !format_map_text(bytes.data(), bytes.size(), &text, &error) ||
        !write_file_whole((name + ".txt").c_str(), text.data(), text.size())) {
        *reason = "Impossible d'écrire " + name + ".txt.";
        return false;
    }
    return true;
}

bool edit_import_text(edit_map *m, const std::string &name, std::string *reason) {
    std::vector<uint8_t> raw, bytes;
    std::string error;
    if (!edit_name_ok(name) || !read_file_bytes((name + ".txt").c_str(), &raw)) {
        *reason = "Le fichier " + name + ".txt est introuvable.";
        return false;
    }
    edit_map imported;
    if (!parse_map_text((const char *)raw.data(), raw.size(), &bytes, &error) ||
        !edit_load(&imported, bytes.data(), bytes.size(), reason)) {
        *reason = name + ".txt n'est pas une carte : " + error;
        return false;
    }
    *m = imported;
    return true;
}
