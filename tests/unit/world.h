// A small game for rule tests: a map written in the map text format, its objects, ticks
// and seconds, and the state of play as text.
#pragma once

#include "config.h"
#include "maps.h"
#include "test_util.h"
#include "objets.h"
#include "rules.h"
#include "temps.h"

#include <cstdlib>
#include <cstring>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

// A map record made by hand, for maps the loader refuses (no border, two starts).
inline ::map *raw_map(const std::vector<uint8_t> &bytes) {
    ::map *m = (::map *)calloc(1, sizeof(::map));
    m->height = bytes[0];
    m->width = bytes[1];
    m->cells = (int8_t **)calloc(m->height, sizeof(int8_t *));
    m->fixed_grid = (obj ***)calloc(m->height, sizeof(obj **));
    m->mover_grid = (obj ***)calloc(m->height, sizeof(obj **));
    for (int r = 0; r < m->height; r++) {
        m->cells[r] = (int8_t *)calloc(m->width, 1);
        memcpy(m->cells[r], &bytes[2 + (size_t)r * m->width], m->width);
        m->fixed_grid[r] = (obj **)calloc(m->width, sizeof(obj *));
        m->mover_grid[r] = (obj **)calloc(m->width, sizeof(obj *));
    }
    return m;
}

// Picture tables that hold no pictures: only their addresses matter to the rules.
const char *const PICTURE_NAMES[] = {
    "wall",           "block",          "bonus",         "player_up",       "player_right",
    "player_down",    "player_left",    "bomb",          "super_bomb",      "diamond",
    "monster",        "flame_centre",   "flame_end_up",  "flame_end_right", "flame_end_down",
    "flame_end_left", "flame_middle_h", "flame_middle_v"};
const int PICTURE_COUNT = sizeof PICTURE_NAMES / sizeof *PICTURE_NAMES;
inline BITMAP **picture_table(int which) {
    static BITMAP *tables[PICTURE_COUNT][16] = {};
    return tables[which];
}
inline const char *picture_name(BITMAP **table) {
    for (int k = 0; k < PICTURE_COUNT; k++)
        if (table == picture_table(k)) return PICTURE_NAMES[k];
    return table ? "?" : "none";
}

struct world {
    config cfg{};
    game g{};

    world(::map *m, unsigned seed = 1, int time_limit = 90, unsigned block_frames = 3) {
        if (!m) throw std::runtime_error("the test map was refused");
        srand(seed);
        cfg.time_limit = time_limit;
        init_game_state(&g, &cfg, m, block_frames);
        BITMAP ***tables[] = {&g.wall_sprites,      &g.block_sprites,     &g.bonus_sprites,
                              &g.player_sprites[0], &g.player_sprites[1], &g.player_sprites[2],
                              &g.player_sprites[3], &g.bomb_sprites,      &g.super_bomb_sprites,
                              &g.diamond_sprites,   &g.monster_sprites};
        for (int k = 0; k < 11; k++)
            *tables[k] = picture_table(k);
        for (int k = 0; k < FLAME_PIC_COUNT; k++)
            g.flame_sprites[k] = picture_table(11 + k);
        if (create_map_objects(&g) != 0) throw std::runtime_error("the test map made no game");
    }
    explicit world(const std::vector<std::string> &rows, unsigned seed = 1)
        : world(load(rows), seed) {}
    ~world() {
        free_game_objects(&g);
        free_map(g.map);
    }
    world(const world &) = delete;
    world &operator=(const world &) = delete;
    static ::map *load(const std::vector<std::string> &rows) {
        std::vector<uint8_t> bytes = map_bytes(rows);
        return load_map_from_memory(bytes.data(), bytes.size());
    }

    obj *player() const { return g.player; }
    // One tick as the game loop runs it: one tick owed, then the rules.
    void tick(const game_keys &keys = {}) {
        game_time.store(1);
        game_tick(&g, &keys);
    }
    std::vector<obj *> objects() const {
        std::vector<obj *> all;
        obj *o = g.player;
        do {
            all.push_back(o);
            o = o->next;
        } while (o != g.player);
        return all;
    }
    int count(int type) const {
        int n = 0;
        for (obj *o : objects())
            n += o->type == type;
        return n;
    }
    // The state of play as text; walls are left out when `walls` is false.
    std::string dump(bool walls = true) const {
        std::ostringstream out;
        out << "end " << (int)g.end_state << "\ntime_left " << g.time_left << "\ndiamonds_left "
            << g.diamonds_left << "\nobject_count " << g.object_count << "\nspeed " << (int)g.speed
            << "\nfuse_time " << (int)g.fuse_time << "\ndirection_sign " << (int)g.direction_sign
            << "\nfps " << g.fps << "\n";
        for (obj *o : objects())
            if (walls || o->type != OBJ_WALL)
                out << "obj type " << (int)o->type << " at " << o->x << "," << o->y << " off "
                    << (int)o->off_x << "," << (int)o->off_y << " params " << (int)o->param1 << ","
                    << (int)o->param2 << "," << (int)o->param3 << " timer " << (int)o->timer
                    << " anim " << (int)o->anim_delay << " frame " << (int)o->frame << " pic "
                    << picture_name(o->sprites) << "\n";
        for (int r = 0; r < g.map->height; r++) {
            for (int c = 0; c < g.map->width; c++)
                out << (c ? " " : "") << (int)g.map->cells[r][c];
            out << "\n";
        }
        return out.str();
    }
};

// Keys from letters: U D L R, B bomb, Q quit, S pause.
inline game_keys held(const std::string &which) {
    game_keys k{};
    bool *fields[] = {&k.up, &k.down, &k.left, &k.right, &k.bomb, &k.quit, &k.pause};
    for (char c : which) {
        const char *at = strchr("UDLRBQS", c);
        if (!at || !c) throw std::runtime_error(std::string("unknown key letter ") + c);
        *fields[at - "UDLRBQS"] = true;
    }
    return k;
}
