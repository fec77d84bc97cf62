// A small game for rule tests: a map written as text rows, its objects, and helpers to
// run ticks and seconds and to look at what is on the field.
#pragma once

#include "config.h"
#include "maps.h"
#include "objets.h"
#include "rules.h"
#include "temps.h"

#include <cstdlib>
#include <cstring>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

// Map text: '#' wall, 'B' block, '?' block hiding a bonus, 'P' player, 'M' monster,
// 'D' diamond, '.' floor.
inline uint8_t cell_byte(char c) {
    switch (c) {
    case '#':
        return 0;
    case 'B':
        return 2;
    case '?':
        return 4;
    case 'P':
        return 7;
    case 'M':
        return 11;
    case 'D':
        return 12;
    case '.':
        return 0xff;
    default:
        throw std::runtime_error(std::string("unknown map character ") + c);
    }
}

inline std::vector<uint8_t> map_bytes(const std::vector<std::string> &rows) {
    std::vector<uint8_t> bytes = {(uint8_t)rows.size(), (uint8_t)rows.at(0).size()};
    for (const std::string &row : rows) {
        if (row.size() != rows[0].size()) throw std::runtime_error("map rows of different lengths");
        for (char c : row)
            bytes.push_back(cell_byte(c));
    }
    return bytes;
}

// A map record made by hand, for maps the loader refuses (no border, odd codes).
inline ::map *raw_map(const std::vector<std::string> &rows) {
    std::vector<uint8_t> bytes = map_bytes(rows);
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
enum {
    PIC_WALL,
    PIC_BLOCK,
    PIC_BONUS,
    PIC_PLAYER_UP,
    PIC_PLAYER_RIGHT,
    PIC_PLAYER_DOWN,
    PIC_PLAYER_LEFT,
    PIC_BOMB,
    PIC_SUPER_BOMB,
    PIC_DIAMOND,
    PIC_MONSTER,
    PIC_FLAME_FIRST,
    PIC_TABLE_COUNT = PIC_FLAME_FIRST + FLAME_PIC_COUNT,
};
inline BITMAP **picture_table(int which) {
    static BITMAP *tables[PIC_TABLE_COUNT][16] = {};
    return tables[which];
}
inline const char *picture_name(BITMAP **table) {
    static const char *names[PIC_TABLE_COUNT] = {
        "wall",           "block",          "bonus",         "player_up",       "player_right",
        "player_down",    "player_left",    "bomb",          "super_bomb",      "diamond",
        "monster",        "flame_centre",   "flame_end_up",  "flame_end_right", "flame_end_down",
        "flame_end_left", "flame_middle_h", "flame_middle_v"};
    for (int k = 0; k < PIC_TABLE_COUNT; k++)
        if (table == picture_table(k)) return names[k];
    return table ? "?" : "none";
}

struct world {
    config cfg{};
    game g{};
    int32_t seconds = 0;

    explicit world(const std::vector<std::string> &rows, unsigned seed = 1, int time_limit = 90,
                   unsigned block_frames = 3)
        : world(load(rows), seed, time_limit, block_frames) {}

    world(::map *m, unsigned seed, int time_limit = 90, unsigned block_frames = 3) {
        if (!m) throw std::runtime_error("the test map was refused");
        srand(seed);
        cfg.effects_volume = 0;
        cfg.time_limit = time_limit;
        init_game_state(&g, &cfg, m, block_frames);
        g.wall_sprites = picture_table(PIC_WALL);
        g.block_sprites = picture_table(PIC_BLOCK);
        g.bonus_sprites = picture_table(PIC_BONUS);
        for (int k = 0; k < 4; k++)
            g.player_sprites[k] = picture_table(PIC_PLAYER_UP + k);
        g.bomb_sprites = picture_table(PIC_BOMB);
        g.super_bomb_sprites = picture_table(PIC_SUPER_BOMB);
        g.diamond_sprites = picture_table(PIC_DIAMOND);
        g.monster_sprites = picture_table(PIC_MONSTER);
        for (int k = 0; k < FLAME_PIC_COUNT; k++)
            g.flame_sprites[k] = picture_table(PIC_FLAME_FIRST + k);
        if (create_map_objects(&g) != 0)
            throw std::runtime_error("the objects of the test map could not be made");
    }
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
    int8_t cell(int x, int y) const { return g.map->cells[y][x]; }

    // One tick of the rules, as the game loop runs it.
    void tick(const game_keys &keys = {}) {
        game_tick(&g, &keys);
    }
    void ticks(int n, const game_keys &keys = {}) {
        for (int k = 0; k < n; k++)
            tick(keys);
    }
    // One pass of the rules alone, without keys or bonus effects.
    void pass() {
        move_everyone(g.map, &cfg, g.player, &g.object_count, g.frame_counts, g.frame_delays,
                      g.flame_sprites, &g.diamonds_left, g.speed, g.samples);
    }
    void second() { game_seconds_step(&g, ++seconds); }

    // A bomb as the player lays it, whatever the player's cell.
    obj *bomb_at(int x, int y, int fuse = 3, int range = 2) {
        return creer_obj(g.map, g.player, &g.object_count, x, y, 0, 0, OBJ_BOMB, 0, 1,
                         (uint8_t)range, (int8_t)fuse, 30, g.bomb_sprites, 0);
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
    std::vector<obj *> of_type(int type) const {
        std::vector<obj *> found;
        for (obj *o : objects())
            if (o->type == type) found.push_back(o);
        return found;
    }
    obj *find(int type, int x, int y) const {
        for (obj *o : objects())
            if (o->type == type && o->x == x && o->y == y) return o;
        return nullptr;
    }
    int count(int type) const { return (int)of_type(type).size(); }

    // Everything that makes up the state of play, as text.
    std::string dump() const {
        std::ostringstream out;
        out << "end " << (int)g.end_state << "\ntime_left " << g.time_left << "\ndiamonds_left "
            << g.diamonds_left << "\nobject_count " << g.object_count << "\nspeed " << (int)g.speed
            << "\nfuse_time " << (int)g.fuse_time << "\ndirection_sign " << (int)g.direction_sign
            << "\nfps " << g.fps << "\n";
        for (obj *o : objects())
            out << "obj type " << (int)o->type << " at " << o->x << "," << o->y << " off "
                << (int)o->off_x << "," << (int)o->off_y << " params " << (int)o->param1 << ","
                << (int)o->param2 << "," << (int)o->param3 << " timer " << (int)o->timer << " anim "
                << (int)o->anim_delay << " frame " << (int)o->frame << " pic "
                << picture_name(o->sprites) << "\n";
        for (int r = 0; r < g.map->height; r++) {
            for (int c = 0; c < g.map->width; c++)
                out << (c ? " " : "") << (int)g.map->cells[r][c];
            out << "\n";
        }
        return out.str();
    }
};

inline game_keys held(const char *which) {
    game_keys k{};
    for (const char *c = which; *c; c++) {
        switch (*c) {
        case 'U':
            k.up = true;
            break;
        case 'D':
            k.down = true;
            break;
        case 'L':
            k.left = true;
            break;
        case 'R':
            k.right = true;
            break;
        case 'B':
            k.bomb = true;
            break;
        case 'Q':
            k.quit = true;
            break;
        case 'S':
            k.pause = true;
            break;
        default:
            throw std::runtime_error(std::string("unknown key letter ") + *c);
        }
    }
    return k;
}
