// The map editor's files: saving whole, the shipped maps, themes, opening, text format.
#include "editeur_files.h"

#include "maplist.h"
#include "maptext.h"
#include "thumbnail.h"

#include <allegro.h>

#include <cctype>
#include <cstdio>
#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#endif

// Puts a whole temporary file in the place of `path` (the temporary goes when ok is false).
static bool replace_with(const std::string &tmp, const std::string &path, bool ok) {
#ifndef _WIN32
    // On the disk before the rename, so a crash leaves the old file or the new one.
    int fd = ok ? open(tmp.c_str(), O_RDONLY) : -1;
    ok = fd >= 0 && fsync(fd) == 0;
    if (fd >= 0) close(fd);
#else
    // rename does not replace an existing file there.
    if (ok) remove(path.c_str());
#endif
    if (ok && rename(tmp.c_str(), path.c_str()) == 0) return true;
    remove(tmp.c_str());
    return false;
}

bool write_file_whole(const std::string &path, const void *data, size_t length) {
    std::string tmp = path + ".tmp";
    FILE *f = fopen(tmp.c_str(), "wb");
    if (!f) return false;
    bool ok = fwrite(data, 1, length, f) == length;
    ok = fclose(f) == 0 && ok;
    return replace_with(tmp, path, ok);
}

bool read_file_bytes(const std::string &path, std::vector<uint8_t> *out) {
    FILE *f = fopen(path.c_str(), "rb");
    if (!f) return false;
    out->clear();
    uint8_t buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0)
        out->insert(out->end(), buf, buf + n);
    fclose(f);
    return true;
}

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

// The thumbnail goes through a temporary .bmp, since the picture's format follows its name.
static bool save_thumbnail(const edit_map *m, const std::string &name, const std::string &strip) {
    std::vector<uint8_t> bytes = edit_bytes(m);
    BITMAP *t = make_map_thumbnail(".", bytes.data(), bytes.size(), strip.c_str());
    if (!t) return false;
    std::string path = "thbs/" + name + ".bmp", tmp = "thbs/" + name + ".tmp.bmp";
    bool ok = save_bitmap(tmp.c_str(), t, nullptr) == 0;
    destroy_bitmap(t);
    return replace_with(tmp, path, ok);
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
        *reason = ""
                  " + name + "
                  " est une carte du jeu : choisissez un autre nom.";
        return false;
    }
    std::vector<uint8_t> tiles;
    if (!read_file_bytes(strip, &tiles)) {
        *reason = "La bande de décor " + strip + " est introuvable.";
        return false;
    }
    std::vector<uint8_t> bytes = edit_bytes(m);
    std::string tiles_path = "maps/" + name + ".bmp";
    // The strip first and the map last: the chooser lists a map only once it is whole.
    bool ok = (strip == tiles_path || write_file_whole(tiles_path, tiles.data(), tiles.size())) &&
              save_thumbnail(m, name, strip) &&
              write_file_whole("maps/" + name + ".czm", bytes.data(), bytes.size());
    if (!ok)
        *reason = "Impossible d'écrire les fichiers de "
                  " + name + "
                  " dans maps/ et thbs/.";
    return ok;
}

bool edit_open(edit_map *m, const std::string &name, std::string *reason) {
    std::string path = "maps/" + name + ".czm";
    std::vector<uint8_t> bytes;
    if (!read_file_bytes(path, &bytes)) {
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
        !write_file_whole(name + ".txt", text.data(), text.size())) {
        *reason = "Impossible d'écrire " + name + ".txt.";
        return false;
    }
    return true;
}

bool edit_import_text(edit_map *m, const std::string &name, std::string *reason) {
    std::vector<uint8_t> raw, bytes;
    std::string error;
    if (!edit_name_ok(name) || !read_file_bytes(name + ".txt", &raw)) {
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
