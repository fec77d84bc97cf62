// Routes: games of the rules alone, played tick by tick from a script, their course written.
// Script commands, one a line ('#' comments): seed N | time_limit N | block_frames N (for
// the next map); map ROWS end (map text); map_file NAME (NAME.txt of the map directory;
// maps/NAME.czm also names it); N KEYS (hold U D L R B Q S, or - for none, N ticks);
// clock off (the rules' ticks alone, for rule scenarios: no seconds step but those asked
// for); second (one seconds step now); watch (a line per tick per mover); show (the
// state of play, walls aside). Each new map starts a new game.
#include "route.h"

#include "maptext.h"
#include "objets.h"
#include "temps.h"

#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>

// Picture tables that hold no pictures: only their addresses matter to the rules, and a
// state names them by the table they point into.
static const char *const PICTURE_NAMES[] = {
    "wall",           "block",          "bonus",         "player_up",       "player_right",
    "player_down",    "player_left",    "bomb",          "super_bomb",      "diamond",
    "monster",        "flame_centre",   "flame_end_up",  "flame_end_right", "flame_end_down",
    "flame_end_left", "flame_middle_h", "flame_middle_v"};
static const int PICTURE_COUNT = sizeof PICTURE_NAMES / sizeof *PICTURE_NAMES;

static BITMAP **picture_table(int which) {
    static BITMAP *tables[PICTURE_COUNT][16] = {};
    return tables[which];
}

static const char *picture_name(BITMAP **table) {
    for (int k = 0; k < PICTURE_COUNT; k++)
        if (table == picture_table(k)) return PICTURE_NAMES[k];
    return table ? "?" : "none";
}

static std::vector<obj *> ring_objects(const game *g) {
    std::vector<obj *> all;
    obj *o = g->player;
    do {
        all.push_back(o);
        o = o->next;
    } while (o != g->player);
    return all;
}

bool route_start(route_game *r, map *m, unsigned seed, int time_limit, unsigned block_frames) {
    *r = route_game{};
    if (!m) return false;
    r->cfg.time_limit = time_limit;
    init_game_state(&r->g, &r->cfg, m, block_frames, seed);
    game &g = r->g;
    BITMAP ***tables[] = {&g.wall_sprites,      &g.block_sprites,     &g.bonus_sprites,
                          &g.player_sprites[0], &g.player_sprites[1], &g.player_sprites[2],
                          &g.player_sprites[3], &g.bomb_sprites,      &g.super_bomb_sprites,
                          &g.diamond_sprites,   &g.monster_sprites};
    for (int k = 0; k < 11; k++)
        *tables[k] = picture_table(k);
    for (int k = 0; k < FLAME_PIC_COUNT; k++)
        g.flame_sprites[k] = picture_table(11 + k);
    if (create_map_objects(&g) == 0) return true;
    route_stop(r);
    return false;
}

void route_stop(route_game *r) {
    if (!r->g.map) return;
    free_game_objects(&r->g);
    free_map(r->g.map);
    r->g.map = nullptr;
}

bool route_keys(const std::string &letters, game_keys *keys) {
    *keys = game_keys{};
    if (letters == "-") return true;
    bool *fields[] = {&keys->up,   &keys->down, &keys->left, &keys->right,
                      &keys->bomb, &keys->quit, &keys->pause};
    for (char c : letters) {
        const char *at = strchr("UDLRBQS", c);
        if (!at || !c) return false;
        *fields[at - "UDLRBQS"] = true;
    }
    return true;
}

static void write_course_line(const route_game *r, std::ostream &out) {
    const obj *p = r->g.player;
    out << "tick " << r->g.ticks << " player " << p->x << "," << p->y << " off " << (int)p->off_x
        << "," << (int)p->off_y << " bombs " << (int)p->param3 << " objects " << r->g.object_count
        << " diamonds " << r->g.diamonds_left << " time " << r->g.time_left << " end "
        << (int)r->g.end_state << "\n";
}

static void write_movers(const route_game *r, std::ostream &out) {
    out << "t" << r->g.ticks;
    for (obj *o : ring_objects(&r->g))
        if (o->type == OBJ_PLAYER || o->type == OBJ_MONSTER)
            out << " | " << (int)o->type << " " << o->x << "," << o->y << " " << (int)o->off_x
                << "," << (int)o->off_y << " d" << (int)o->param1 << "," << (int)o->param2 << " f"
                << (int)o->frame << " " << picture_name(o->sprites);
    out << "\n";
}

void route_ticks(route_game *r, int n, const game_keys *keys, std::ostream &out) {
    for (int i = 0; i < n && r->g.end_state == END_NONE; i++) {
        if (r->clock)
            advance_game(&r->g, keys);
        else
            game_tick(&r->g, keys);
        if (r->g.ticks % TICKS_PER_SECOND == 0 || r->g.end_state != END_NONE)
            write_course_line(r, out);
        if (r->watching) write_movers(r, out);
    }
}

std::string route_state(const route_game *r, bool walls) {
    const game &g = r->g;
    std::ostringstream out;
    out << "end " << (int)g.end_state << "\ntime_left " << g.time_left << "\ndiamonds_left "
        << g.diamonds_left << "\nobject_count " << g.object_count << "\nspeed " << (int)g.speed
        << "\nfuse_time " << (int)g.fuse_time << "\ndirection_sign " << (int)g.direction_sign
        << "\n";
    for (obj *o : ring_objects(&g))
        if (walls || o->type != OBJ_WALL)
            out << "obj type " << (int)o->type << " at " << o->x << "," << o->y << " off "
                << (int)o->off_x << "," << (int)o->off_y << " params " << (int)o->param1 << ","
                << (int)o->param2 << "," << (int)o->param3 << " timer " << (int)o->timer << " anim "
                << (int)o->anim_delay << " frame " << (int)o->frame << " pic "
                << picture_name(o->sprites) << "\n";
    for (int row = 0; row < g.map->height; row++) {
        for (int c = 0; c < g.map->width; c++)
            out << (c ? " " : "") << (int)g.map->cells[row][c];
        out << "\n";
    }
    return out.str();
}

// A script being played: the settings of the next game and the games played so far.
struct route_run {
    const route_hooks *hooks;
    std::ostream *out;
    route_game game;
    unsigned seed = 1, block_frames = 3;
    int time_limit = 90, games = 0, end = END_NONE;
};

static void finish_game(route_run *run) {
    if (!run->game.g.map) return;
    *run->out << "ticks " << run->game.g.ticks << "\n" << route_state(&run->game, true);
    run->end = run->game.g.end_state;
    route_stop(&run->game);
}

static void start_game(route_run *run, map *m) {
    finish_game(run);
    if (++run->games > 1) *run->out << "game " << run->games << "\n";
    if (!route_start(&run->game, m, run->seed, run->time_limit, run->block_frames))
        throw std::runtime_error("the map makes no game");
}

static std::vector<uint8_t> text_map(const std::string &text) {
    std::vector<uint8_t> bytes;
    std::string error;
    if (!parse_map_text(text.data(), text.size(), &bytes, &error)) throw std::runtime_error(error);
    return bytes;
}

static map *loaded_map(const std::vector<uint8_t> &bytes) {
    return load_map_from_memory(bytes.data(), bytes.size());
}

static void map_file(route_run *run, std::string name, const std::string &map_dir) {
    if (name.rfind("maps/", 0) == 0) name = name.substr(5, name.size() - 9);
    std::ifstream file(map_dir + "/" + name + ".txt");
    if (!file) throw std::runtime_error("cannot read the map " + name);
    std::stringstream text;
    text << file.rdbuf();
    start_game(run, loaded_map(text_map(text.str())));
}

static void game_command(route_run *run, const std::string &word, std::istringstream &in) {
    route_game *r = &run->game;
    if (!r->g.map) throw std::runtime_error(word + " before any map");
    std::string keys;
    game_keys held;
    if (word == "clock")
        r->clock = false;
    else if (word == "second")
        game_seconds_step(&r->g);
    else if (word == "watch")
        r->watching = true;
    else if (word == "show")
        *run->out << "at tick " << r->g.ticks << "\n" << route_state(r, false);
    else if (run->hooks->command && run->hooks->command(r, word, in))
        return;
    else if (in >> keys && route_keys(keys, &held))
        route_ticks(r, std::stoi(word), &held, *run->out);
    else
        throw std::runtime_error("unknown command " + word);
}

static void play_lines(route_run *run, std::istream &script, const std::string &map_dir) {
    std::string line, word, rows;
    bool in_map = false, raw = false;
    while (std::getline(script, line)) {
        if (in_map && line != "end") {
            rows += line + "\n";
        } else if (in_map) {
            in_map = false;
            if (raw && !run->hooks->raw_map) throw std::runtime_error("raw maps are not played");
            std::vector<uint8_t> bytes = text_map(rows);
            start_game(run, raw ? run->hooks->raw_map(bytes) : loaded_map(bytes));
        } else if (!line.empty() && line[0] != '#') {
            std::istringstream words(line);
            words >> word;
            if (word == "seed")
                words >> run->seed;
            else if (word == "time_limit")
                words >> run->time_limit;
            else if (word == "block_frames")
                words >> run->block_frames;
            else if (word == "map" || word == "raw_map")
                in_map = true, raw = word == "raw_map", rows.clear();
            else if (word == "map_file" && words >> word)
                map_file(run, word, map_dir);
            else
                game_command(run, word, words);
        }
    }
    finish_game(run);
}

bool route_play(std::istream &script, const std::string &map_dir, const route_hooks &hooks,
                std::ostream &out, std::string *error, int *end) {
    route_run run;
    run.hooks = &hooks;
    run.out = &out;
    try {
        play_lines(&run, script, map_dir);
    } catch (const std::exception &e) {
        route_stop(&run.game);
        *error = e.what();
        return false;
    }
    *end = run.end;
    return true;
}
