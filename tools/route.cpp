// Routes: games of the rules alone, played tick by tick from a script, their course written.
// Script commands, one a line ('#' comments): seed N | time_limit N | block_frames N (for
// the next map); map ROWS end (map text); map_file NAME (NAME.txt of the map directory;
// maps/NAME.czm also names it); N KEYS (hold U D L R B Q S, or - for none, N ticks);
// clock off (the rules' ticks alone, for rule scenarios: no seconds step but those asked
// for); second (one seconds step now); watch (a line per tick per mover); show (the
// state of play, walls aside). Each new map starts a new game.
// What a script promises: rule NAME (names the expectations that follow); expect [at
// TICK] WHAT VALUE, checked now or once the game reaches TICK, where WHAT is one of
// end (none quit won dead time_up) | ticks | time_left | diamonds_left | object_count |
// speed | fuse_time | direction_sign | bombs_in_hand | bonus, pic, frame (the player's) |
// player (its cell X Y) | offset (its offsets) | count TYPE (wall block bonus player bomb monster
// diamond flame) | cell X Y (the code) | fixed X Y FIELD | mover X Y FIELD | flame X Y
// FIELD (FIELD: type off_x off_y param1 param2 param3 timer anim frame pic; "none" where
// nothing stands).
#include "route.h"

#include "maptext.h"
#include "objets.h"
#include "records.h"
#include "temps.h"

#include <cstring>
#include <fstream>
#include <map>
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

// Keys from letters: U D L R, B bomb, Q quit, S pause, - none; false on another letter.
static bool route_keys(const std::string &letters, game_keys *keys) {
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

// The state of play as text; walls are left out when `walls` is false.
static std::string route_state(const route_game *r, bool walls) {
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

// An expectation waiting for its tick.
struct expectation {
    uint32_t tick;
    std::string what, rule, text; // what it reads and the value; its rule; the line
    int line;
};

// A script being played: the settings of the next game, the games played so far and the
// expectations still to check.
struct route_run {
    const route_hooks *hooks;
    std::ostream *out;
    route_result *result;
    route_game game;
    unsigned seed = 1, block_frames = 3;
    int time_limit = 90, games = 0, line = 0;
    std::string rule;
    std::vector<expectation> pending;
    run_recorder recorder;
};

static const char *const END_NAMES[] = {"none", "quit", "won", "dead", "time_up", "too_big"};

std::string end_name(uint8_t end_state) {
    return end_state < 6 ? END_NAMES[end_state] : std::to_string(end_state);
}

static std::string object_field(const obj *o, const std::string &field) {
    if (!o) return "none";
    if (field == "pic") return picture_name(o->sprites);
    const std::map<std::string, int> fields = {
        {"type", o->type},     {"off_x", o->off_x},     {"off_y", o->off_y},
        {"param1", o->param1}, {"param2", o->param2},   {"param3", o->param3},
        {"timer", o->timer},   {"anim", o->anim_delay}, {"frame", o->frame}};
    auto found = fields.find(field);
    if (found == fields.end()) throw std::runtime_error("no field " + field);
    return std::to_string(found->second);
}

static int count_of(const game *g, const std::string &type_name) {
    const std::map<std::string, int> types = {{"wall", OBJ_WALL},       {"block", OBJ_BLOCK},
                                              {"bonus", OBJ_BONUS},     {"player", OBJ_PLAYER},
                                              {"bomb", OBJ_BOMB},       {"monster", OBJ_MONSTER},
                                              {"diamond", OBJ_DIAMOND}, {"flame", OBJ_FLAME}};
    auto found = types.find(type_name);
    if (found == types.end()) throw std::runtime_error("no type " + type_name);
    int n = 0;
    for (obj *o : ring_objects(g))
        n += o->type == found->second;
    return n;
}

// The object a cell holds in its fixed or mover slot, or the first flame of the ring
// burning there (flames have no slot).
static const obj *object_at(const game *g, const std::string &slot, int x, int y) {
    if (slot == "fixed") return map_fixed(g->map, x, y);
    if (slot == "mover") return map_mover(g->map, x, y);
    for (obj *o : ring_objects(g))
        if (o->type == OBJ_FLAME && o->x == x && o->y == y) return o;
    return nullptr;
}

// What the game reads now for WHAT and its arguments.
static std::string reading(const game *g, const std::string &what, std::istream &args) {
    const obj *p = g->player;
    const std::map<std::string, long> numbers = {{"ticks", g->ticks},
                                                 {"time_left", g->time_left},
                                                 {"diamonds_left", g->diamonds_left},
                                                 {"object_count", g->object_count},
                                                 {"speed", g->speed},
                                                 {"fuse_time", g->fuse_time},
                                                 {"direction_sign", g->direction_sign},
                                                 {"bombs_in_hand", p->param3},
                                                 {"bonus", p->param1}};
    auto number = numbers.find(what);
    int x = 0, y = 0;
    std::string word;
    if (number != numbers.end()) return std::to_string(number->second);
    if (what == "end") return end_name(g->end_state);
    if (what == "player") return std::to_string(p->x) + " " + std::to_string(p->y);
    if (what == "offset") return std::to_string(p->off_x) + " " + std::to_string(p->off_y);
    if (what == "pic" || what == "frame") return object_field(p, what);
    if (what == "count" && args >> word) return std::to_string(count_of(g, word));
    if ((what == "cell" || what == "fixed" || what == "mover" || what == "flame") &&
        args >> x >> y) {
        if (!map_inside(g->map, x, y)) throw std::runtime_error("outside the map");
        if (what == "cell") return std::to_string(g->map->cells[y][x]);
        if (args >> word) return object_field(object_at(g, what, x, y), word);
    }
    throw std::runtime_error("cannot expect " + what);
}

static void check(route_run *run, const expectation &e) {
    std::istringstream words(e.what);
    std::string what, want, word;
    words >> what;
    std::string got = reading(&run->game.g, what, words);
    while (words >> word)
        want += (want.empty() ? "" : " ") + word;
    if (got != want) run->result->missed.push_back({e.rule, e.line, e.text, got});
}

// Checks the expectations that fall due at the tick just played.
static void check_due(route_run *run) {
    for (size_t i = 0; i < run->pending.size();) {
        if (run->pending[i].tick != run->game.g.ticks) {
            i++;
            continue;
        }
        check(run, run->pending[i]);
        run->pending.erase(run->pending.begin() + (long)i);
    }
}

// expect [at TICK] WHAT VALUE: checked now, or after the tick TICK is played.
static void expect(route_run *run, std::istringstream &words) {
    expectation e{run->game.g.ticks, "", run->rule, words.str(), run->line};
    std::string first;
    words >> first;
    if (first == "at" && !(words >> e.tick)) throw std::runtime_error("expect at what tick?");
    std::getline(words >> std::ws, e.what);
    if (first != "at") e.what = first + " " + e.what;
    if (first != "at" || e.tick == run->game.g.ticks)
        check(run, e);
    else if (e.tick < run->game.g.ticks)
        throw std::runtime_error("tick " + std::to_string(e.tick) + " is past");
    else
        run->pending.push_back(e);
}

// Plays up to n ticks (the game may end first), a line of course every 100 ticks and at
// the end, and a line per tick for every mover while watching.
static void play_ticks(route_run *run, int n, const game_keys *keys) {
    route_game *r = &run->game;
    std::ostream &out = *run->out;
    for (int i = 0; i < n && r->g.end_state == END_NONE; i++) {
        record_tick(&run->recorder, keys);
        if (r->clock)
            advance_game(&r->g, keys);
        else
            game_tick(&r->g, keys);
        if (r->g.ticks % TICKS_PER_SECOND == 0 || r->g.end_state != END_NONE)
            write_course_line(r, out);
        if (r->watching) write_movers(r, out);
        check_due(run);
    }
}

static void finish_game(route_run *run) {
    if (!run->game.g.map) return;
    for (const expectation &e : run->pending)
        run->result->missed.push_back(
            {e.rule, e.line, e.text,
             "the game stopped at tick " + std::to_string(run->game.g.ticks)});
    run->pending.clear();
    *run->out << "ticks " << run->game.g.ticks << "\n" << route_state(&run->game, true);
    run->result->end = run->game.g.end_state;
    run->result->ticks = run->game.g.ticks;
    finish_recording(&run->recorder);
    route_stop(&run->game);
}

static void start_game(route_run *run, map *m, const std::vector<uint8_t> &bytes,
                       const std::string &name = "") {
    finish_game(run);
    if (++run->games > 1) *run->out << "game " << run->games << "\n";
    if (!route_start(&run->game, m, run->seed, run->time_limit, run->block_frames))
        throw std::runtime_error("the map makes no game");
    run->result->map_name = name;
    run->result->map_hash = bytes_hash(bytes.data(), bytes.size());
    start_recording(&run->recorder, &run->result->run, run->seed, run->time_limit);
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
    std::vector<uint8_t> bytes = text_map(text.str());
    start_game(run, loaded_map(bytes), bytes, name);
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
    else if (word == "expect")
        expect(run, in);
    else if (in >> keys && route_keys(keys, &held))
        play_ticks(run, std::stoi(word), &held);
    else
        throw std::runtime_error("unknown command " + word);
}

static void play_lines(route_run *run, std::istream &script, const std::string &map_dir) {
    std::string line, word, rows;
    bool in_map = false, raw = false;
    while (std::getline(script, line)) {
        run->line++;
        if (in_map && line != "end") {
            rows += line + "\n";
        } else if (in_map) {
            in_map = false;
            if (raw && !run->hooks->raw_map) throw std::runtime_error("raw maps are not played");
            std::vector<uint8_t> bytes = text_map(rows);
            start_game(run, raw ? run->hooks->raw_map(bytes) : loaded_map(bytes), bytes);
        } else if (!line.empty() && line[0] != '#') {
            std::istringstream words(line);
            words >> word;
            if (word == "seed")
                words >> run->seed;
            else if (word == "time_limit")
                words >> run->time_limit;
            else if (word == "block_frames")
                words >> run->block_frames;
            else if (word == "rule")
                words >> run->rule;
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
                std::ostream &out, route_result *result) {
    *result = route_result{};
    route_run run;
    run.hooks = &hooks;
    run.out = &out;
    run.result = result;
    try {
        play_lines(&run, script, map_dir);
    } catch (const std::exception &e) {
        route_stop(&run.game);
        result->error = "line " + std::to_string(run.line) + ": " + e.what();
        return false;
    }
    return true;
}

std::string route_miss_text(const route_miss &miss) {
    std::string rule = miss.rule.empty() ? "" : " (" + miss.rule + ")";
    return std::to_string(miss.line) + rule + ": " + miss.text + ": got " + miss.got;
}
