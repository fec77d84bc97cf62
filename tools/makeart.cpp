// makeart: writes the game's pictures into the run directory.
//   makeart graphics RUN_DIR             sprite strips, icons, menu and end screens
//   makeart tiles RUN_DIR MAPS_LIST      maps/NAME.bmp, the tile strip of each map's theme
//   makeart thumbs RUN_DIR MAPS_LIST     thbs/NAME.bmp, each map rendered and shrunk
//   makeart docs RUN_DIR OUT_DIR MAPS_LIST  contact sheet, menu and map pictures (BMP)
#include "art.h"
#include "files.h"
#include "maplist.h"
#include "pixel.h"
#include "thumbnail.h"

#include <algorithm>
#include <allegro.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

static bool save(const canvas &c, const std::string &path) {
    if (save_canvas(&c, path)) return true;
    fprintf(stderr, "makeart: cannot write %s\n", path.c_str());
    return false;
}

static int make_graphics(const std::string &run) {
    make_dirs_for(run + "/graphics/");
    // Drawn once, as they appear on several pictures.
    canvas player = player_strip(), bombs = bombs_strip(), diamonds = diamond_strip();
    bool ok = true;
#define GRAPHIC_FILE(name, drawing) ok = ok && save(drawing, run + "/" name);
#include "graphic_files.def"
#undef GRAPHIC_FILE
    return ok ? 0 : 1;
}

// Says which pieces of a theme fall below the readable contrast.
static bool theme_is_readable(int theme) {
    bool ok = true;
    for (const contrast &c : theme_contrasts(theme))
        if (c.distance < CONTRAST_MIN) {
            fprintf(stderr, "makeart: %s: %s on %s has a contrast of %.1f, below %.0f\n",
                    THEME_NAMES[theme], c.piece.c_str(), c.ground.c_str(), c.distance,
                    CONTRAST_MIN);
            ok = false;
        }
    return ok;
}

static int make_tiles(const std::string &run, const std::string &list) {
    std::vector<map_entry> maps;
    std::string error;
    if (!read_map_list(list, &maps, &error))
        return fprintf(stderr, "makeart: %s\n", error.c_str()), 1;
    make_dirs_for(run + "/maps");
    for (const map_entry &m : maps) {
        int t = theme_index(m.theme);
        if (t < 0)
            return fprintf(stderr, "makeart: %s: unknown theme %s\n", m.name.c_str(),
                           m.theme.c_str()),
                   1;
        if (!theme_is_readable(t)) return 1;
        if (!save(tile_strip(t), run + "/maps/" + m.name + ".bmp")) return 1;
    }
    return 0;
}

// A shipped map's bytes and the path of its tile strip.
static bool map_bytes_and_strip(const std::string &run, const std::string &name,
                                std::vector<uint8_t> *bytes, std::string *strip) {
    *strip = run + "/maps/" + name + ".bmp";
    return read_file_bytes((run + "/maps/" + name + ".czm").c_str(), bytes);
}

static int make_thumbs(const std::string &run, const std::string &list) {
    std::vector<map_entry> maps;
    std::string error;
    if (!read_map_list(list, &maps, &error))
        return fprintf(stderr, "makeart: %s\n", error.c_str()), 1;
    make_dirs_for(run + "/thbs");
    for (const map_entry &m : maps) {
        // Drawn by the game's library, as the map editor draws the thumbnails it saves.
        std::vector<uint8_t> bytes, thumbnail;
        std::string strip, path = run + "/thbs/" + m.name + ".bmp";
        if (!map_bytes_and_strip(run, m.name, &bytes, &strip) ||
            !map_thumbnail_bmp(run.c_str(), bytes.data(), bytes.size(), strip.c_str(), &thumbnail))
            return fprintf(stderr, "makeart: cannot render map %s\n", m.name.c_str()), 1;
        if (!write_file_whole(path.c_str(), thumbnail.data(), thumbnail.size()))
            return fprintf(stderr, "makeart: cannot write %s\n", path.c_str()), 1;
    }
    return 0;
}

// ---------------------------------------------------------------- docs

static void checker(canvas *c, int x, int y, int w, int h) {
    for (int j = 0; j < h; j++)
        for (int i = 0; i < w; i++)
            put(c, x + i, y + j, ((i / 6 + j / 6) & 1) ? ST3 : ST4);
}

struct sheet_row {
    std::string title;
    canvas strip;
    std::vector<std::string> labels;
};

static std::vector<std::string> numbered(int n, const std::vector<std::string> &names) {
    std::vector<std::string> out;
    for (int i = 0; i < n; i++)
        out.push_back(std::to_string(i) + (i < (int)names.size() ? " " + names[i] : ""));
    return out;
}

// A range-2 explosion put together from its pieces, as the game draws it.
static canvas assembled_explosion(const canvas *ctr, const canvas *dir, int frame) {
    canvas c = make_canvas(5 * 32, 5 * 32);
    auto piece = [&](const canvas *strip, int k, int cx, int cy) {
        canvas f = frame_of(strip, k);
        blit(&c, &f, cx * 32, cy * 32);
    };
    piece(ctr, frame, 2, 2);
    piece(ctr, 4 + frame, 2, 1), piece(ctr, 4 + frame, 2, 3);
    piece(ctr, 8 + frame, 1, 2), piece(ctr, 8 + frame, 3, 2);
    piece(dir, frame, 2, 0), piece(dir, 4 + frame, 4, 2), piece(dir, 8 + frame, 2, 4),
        piece(dir, 12 + frame, 0, 2);
    return c;
}

// A theme's tile strip followed by pieces standing on its floor, to judge their contrast.
static canvas pieces_on_floor(const canvas *tiles, const canvas *bonus, const canvas *diamond,
                              const canvas *monster, const canvas *player) {
    std::vector<canvas> frames;
    for (int k = 0; k < tiles->w / 32; k++)
        frames.push_back(frame_of(tiles, k));
    canvas feet = crop(player, 8 * 32, player->h - 32, 32, 32);
    for (canvas piece : {frame_of(diamond, 0), frame_of(monster, 0), frame_of(bonus, 1),
                         frame_of(bonus, 6), feet}) {
        canvas f = frame_of(tiles, 0);
        blit(&f, &piece, 0, 0);
        frames.push_back(f);
    }
    return join_frames(frames);
}

static int make_docs(const std::string &run, const std::string &out, const std::string &list) {
    std::vector<map_entry> maps;
    std::string error;
    if (!read_map_list(list, &maps, &error))
        return fprintf(stderr, "makeart: %s\n", error.c_str()), 1;
    make_dirs_for(out + "/maps");
    std::vector<sheet_row> rows;
    auto strip = [&](const char *file) {
        canvas c;
        if (!load_canvas(&c, run + "/graphics/" + file))
            fprintf(stderr, "makeart: cannot read %s\n", file);
        return c;
    };
    canvas ctr = strip("explo_ctr.bmp"), dir = strip("explo_dir.bmp");
    rows.push_back(
        {"player1.bmp: up, right, down, left; 4 walking frames each", strip("player1.bmp"),
         numbered(16, {"up", "", "", "", "right", "", "", "", "down", "", "", "", "left"})});
    rows.push_back({"monster.bmp", strip("monster.bmp"), numbered(2, {})});
    rows.push_back({"bombs1.bmp: normal 0-3, super 4-7", strip("bombs1.bmp"), numbered(8, {})});
    rows.push_back({"diamond.bmp", strip("diamond.bmp"), numbered(3, {})});
    rows.push_back(
        {"bonus.bmp: 0 under a block (empty), 1-7 the bonus kinds", strip("bonus.bmp"),
         numbered(8, {"hidden", "+1 bomb", "fast", "super", "+15 s", "reverse", "slow", "fuse"})});
    rows.push_back(
        {"explo_ctr.bmp: centre 0-3, vertical 4-7, horizontal 8-11", ctr, numbered(12, {})});
    rows.push_back(
        {"explo_dir.bmp: up end 0-3, right 4-7, down 8-11, left 12-15", dir, numbered(16, {})});
    rows.push_back({"timer.bmp", strip("timer.bmp"), {"icon"}});
    canvas bonus = strip("bonus.bmp"), diamond = strip("diamond.bmp"),
           monster = strip("monster.bmp"), player = strip("player1.bmp");
    std::vector<canvas> booms;
    for (int k = 0; k < 4; k++)
        booms.push_back(assembled_explosion(&ctr, &dir, k));
    std::vector<std::string> themes_shown; // one row per theme, from its first map listed
    for (const map_entry &m : maps) {
        if (std::find(themes_shown.begin(), themes_shown.end(), m.theme) != themes_shown.end())
            continue;
        themes_shown.push_back(m.theme);
        canvas t;
        if (!load_canvas(&t, run + "/maps/" + m.name + ".bmp"))
            return fprintf(stderr, "makeart: no tiles for %s\n", m.name.c_str()), 1;
        int theme = theme_index(m.theme);
        if (theme < 0) return fprintf(stderr, "makeart: unknown theme %s\n", m.theme.c_str()), 1;
        contrast least = least_contrast(theme);
        char title[200];
        snprintf(title, sizeof title,
                 "maps/%s.bmp (%s): floor, wall, block, 4 steps; pieces on the floor; least "
                 "contrast %.1f (%s on %s)",
                 m.name.c_str(), m.theme.c_str(), least.distance, least.piece.c_str(),
                 least.ground.c_str());
        rows.push_back({title,
                        pieces_on_floor(&t, &bonus, &diamond, &monster, &player),
                        {"floor", "wall", "block", "1", "2", "3", "4", "diamond", "monster",
                         "+1 bomb", "slow", "player"}});
    }
    const int K = 3, GAP = 8, LABEL = 18, TITLE = 22;
    int width = 0, height = 16;
    for (const sheet_row &r : rows) {
        int frames = r.strip.w / 32;
        width = std::max(width, 16 + frames * (32 * K + GAP));
        height += TITLE + r.strip.h * K + LABEL + 10;
    }
    height += TITLE + 5 * 32 * 2 + 20;
    canvas sheet = make_canvas(width, height, ST1);
    int y = 10;
    for (const sheet_row &r : rows) {
        draw_label(&sheet, r.title, 14, 16, y, HOT1);
        y += TITLE;
        int frames = r.strip.w / 32;
        for (int k = 0; k < frames; k++) {
            int x = 16 + k * (32 * K + GAP);
            checker(&sheet, x, y, 32 * K, r.strip.h * K);
            canvas f = frame_of(&r.strip, k);
            canvas m = magnify(&f, K);
            blit(&sheet, &m, x, y);
            if (k < (int)r.labels.size())
                draw_label(&sheet, r.labels[k], 11, x, y + r.strip.h * K + 4, ST4);
        }
        y += r.strip.h * K + LABEL + 10;
    }
    draw_label(&sheet, "explosion of range 2 put together, frames 0-3 (x2)", 14, 16, y, HOT1);
    y += TITLE;
    for (int k = 0; k < 4; k++) {
        checker(&sheet, 16 + k * (5 * 64 + GAP), y, 5 * 64, 5 * 64);
        canvas m = magnify(&booms[k], 2);
        blit(&sheet, &m, 16 + k * (5 * 64 + GAP), y);
    }
    if (!save(sheet, out + "/sprites.bmp")) return 1;
    // The main menu as it first appears, with the "Jouer" button lit.
    canvas menu;
    if (!load_canvas(&menu, run + "/graphics/fond.bmp")) return 1;
    static const int bx[4] = {137, 139, 138, 138}, by[4] = {277, 340, 400, 508};
    for (int b = 0; b < 4; b++) {
        canvas btn;
        load_canvas(&btn,
                    run + "/graphics/b" + std::to_string(b) + (b == 0 ? "_on.bmp" : "_off.bmp"));
        blit(&menu, &btn, bx[b], by[b]);
    }
    if (!save(menu, out + "/menu.bmp")) return 1;
    for (const map_entry &m : maps) {
        std::vector<uint8_t> bytes;
        std::string strip, path = out + "/maps/" + m.name + ".bmp";
        BITMAP *full =
            map_bytes_and_strip(run, m.name, &bytes, &strip)
                ? make_map_picture(run.c_str(), bytes.data(), bytes.size(), strip.c_str())
                : nullptr;
        if (!full) return fprintf(stderr, "makeart: cannot render %s\n", m.name.c_str()), 1;
        bool saved = save_bitmap(path.c_str(), full, nullptr) == 0;
        destroy_bitmap(full);
        if (!saved) return fprintf(stderr, "makeart: cannot write %s\n", path.c_str()), 1;
    }
    return 0;
}

int main(int argc, char **argv) {
    pixel_init();
    std::string cmd = argc > 1 ? argv[1] : "";
    if (cmd == "graphics" && argc == 3) return make_graphics(argv[2]);
    if (cmd == "tiles" && argc == 4) return make_tiles(argv[2], argv[3]);
    if (cmd == "thumbs" && argc == 4) return make_thumbs(argv[2], argv[3]);
    if (cmd == "docs" && argc == 5) return make_docs(argv[2], argv[3], argv[4]);
    fprintf(
        stderr,
        "usage: makeart graphics RUN_DIR | tiles RUN_DIR MAPS_LIST | thumbs RUN_DIR MAPS_LIST |\n"
        "               docs RUN_DIR OUT_DIR MAPS_LIST\n");
    return 2;
}
