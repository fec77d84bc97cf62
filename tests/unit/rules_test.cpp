// Rule tests, mostly golden replays: scripts played tick by tick from a fixed seed, their course
// and states compared with tests/golden/NAME.golden (tests/golden/update.sh rewrites them).
// Script commands, one a line ('#' comments): seed N | time_limit N | block_frames N (for the
// next map); map | raw_map ROWS end (raw: no loader checks); map_file NAME (assets/maps);
// N KEYS (hold U D L R B Q S or - for N ticks); clock off; second; bomb X Y FUSE RANGE;
// bonus KIND; put monster X Y | put flame|block X Y TIMER | put bonus X Y KIND; cell X Y CODE;
// set mover|fixed X Y off_x|off_y|param1|param2|timer VALUE; kill X Y (mort) | remove X Y
// (suppr_obj); watch (a line per tick per mover); show (the state of play, walls aside).

#include "config.h"
#include "maps.h"
#include "test_util.h"
#include "objets.h"
#include "rules.h"

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
    ~world() {
        free_game_objects(&g);
        free_map(g.map);
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
#include <algorithm>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>

namespace {

const std::string golden_dir = std::string(CINDERMAZE_SOURCE_DIR) + "/tests/golden";

// The replays, as the build found them in tests/golden.
std::vector<std::string> replay_names() {
    std::vector<std::string> names;
    std::istringstream list(GOLDEN_REPLAYS);
    for (std::string name; std::getline(list, name, ',');)
        names.push_back(name);
    return names;
}

struct player_run {
    std::ostringstream out;
    std::unique_ptr<world> w;
    unsigned seed = 1;
    int time_limit = 90, tick = 0, games = 0;
    unsigned block_frames = 3;
    bool clock = true, watching = false;

    void finish() {
        if (w) out << "ticks " << tick << "\n" << w->dump();
        w.reset();
    }
    void start(::map *m) {
        finish();
        if (++games > 1) out << "game " << games << "\n";
        w = std::make_unique<world>(m, seed, time_limit, block_frames);
        tick = 0;
        clock = true;
        watching = false;
    }
    obj *at(int x, int y, bool mover = true) {
        obj *o = mover ? map_mover(w->g.map, x, y) : map_fixed(w->g.map, x, y);
        if (!o)
            throw std::runtime_error("nothing at " + std::to_string(x) + "," + std::to_string(y));
        return o;
    }
    obj *make(int x, int y, int type, int param1, int timer, int anim, BITMAP **pics, int frame) {
        return creer_obj(w->g.map, w->g.player, &w->g.object_count, x, y, 0, 0, (int8_t)type,
                         (int8_t)param1, 0, 0, (int8_t)timer, (uint8_t)anim, pics, (uint8_t)frame);
    }
    void ticks(int n, const std::string &keys) {
        game_keys k = held(keys == "-" ? "" : keys);
        for (int i = 0; i < n && w->g.end_state == END_NONE; i++) {
            game_tick(&w->g, &k);
            tick++;
            // A new second every 100 ticks; the step runs in the frame after the ticks.
            if (clock && w->g.last_second != tick / 100) game_seconds_step(&w->g, tick / 100);
            w->g.frames_this_second++;
            obj *p = w->g.player;
            if (tick % 100 == 0 || w->g.end_state != END_NONE)
                out << "tick " << tick << " player " << p->x << "," << p->y << " off "
                    << (int)p->off_x << "," << (int)p->off_y << " bombs " << (int)p->param3
                    << " objects " << w->g.object_count << " diamonds " << w->g.diamonds_left
                    << " time " << w->g.time_left << " end " << (int)w->g.end_state << "\n";
            if (watching) {
                out << "t" << tick;
                for (obj *o : w->objects())
                    if (o->type == OBJ_PLAYER || o->type == OBJ_MONSTER)
                        out << " | " << (int)o->type << " " << o->x << "," << o->y << " "
                            << (int)o->off_x << "," << (int)o->off_y << " d" << (int)o->param1
                            << "," << (int)o->param2 << " f" << (int)o->frame << " "
                            << picture_name(o->sprites);
                out << "\n";
            }
        }
    }
    void command(const std::string &word, std::istringstream &in) {
        int x = 0, y = 0, a = 0, b = 0;
        std::string s;
        if (!w) throw std::runtime_error(word + " before any map");
        game &g = w->g;
        if (word == "clock")
            clock = false;
        else if (word == "second")
            game_seconds_step(&g, g.last_second + 1);
        else if (word == "watch")
            watching = true;
        else if (word == "show")
            out << "at tick " << tick << "\n" << w->dump(false);
        else if (word == "bonus" && in >> a)
            w->g.player->param1 = (int8_t)a, w->g.player->timer = 15;
        else if (word == "bomb" && in >> x >> y >> a >> b)
            creer_obj(g.map, w->g.player, &g.object_count, x, y, 0, 0, OBJ_BOMB, 0, 1, (uint8_t)b,
                      (int8_t)a, 30, g.bomb_sprites, 0);
        else if (word == "cell" && in >> x >> y >> a)
            g.map->cells[y][x] = (int8_t)a;
        else if (word == "kill" && in >> x >> y)
            mort(g.map, at(x, y), &g.object_count);
        else if (word == "remove" && in >> x >> y)
            suppr_obj(g.map, at(x, y, false), &g.object_count);
        else if (word == "put" && in >> s >> x >> y) {
            if (s == "monster")
                make(x, y, OBJ_MONSTER, 0, -1, 30, g.monster_sprites, 0);
            else if (s == "flame" && in >> a)
                make(x, y, OBJ_FLAME, 0, a, 5, g.flame_sprites[0], 0);
            else if (s == "block" && in >> a)
                make(x, y, OBJ_BLOCK, 0, a, 0, g.block_sprites, 1);
            else if (s == "bonus" && in >> a) {
                make(x, y, OBJ_BONUS, a, 5, 0, g.bonus_sprites, a);
                g.map->cells[y][x] = CELL_BONUS;
            } else
                throw std::runtime_error("bad put");
        } else if (word == "set" && in >> s >> x >> y) {
            obj *o = at(x, y, s == "mover");
            in >> s >> a;
            const char *names[] = {"off_x", "off_y", "param1", "param2", "timer"};
            int8_t *fields[] = {&o->off_x, &o->off_y, &o->param1, &o->param2, &o->timer};
            for (int i = 0; i < 5; i++)
                if (s == names[i]) *fields[i] = (int8_t)a;
        } else
            ticks(std::stoi(word), (in >> s, s));
    }
};

std::string play(const std::string &path) {
    std::ifstream in(path);
    if (!in) throw std::runtime_error("cannot read " + path);
    player_run run;
    std::string line, word;
    std::vector<std::string> rows;
    bool in_map = false, raw = false;
    while (std::getline(in, line)) {
        if (in_map) {
            if (line != "end") {
                rows.push_back(line);
                continue;
            }
            in_map = false;
            std::vector<uint8_t> bytes = map_bytes(rows);
            run.start(raw ? raw_map(bytes) : load_map_from_memory(bytes.data(), bytes.size()));
            continue;
        }
        if (line.empty() || line[0] == '#') continue;
        std::istringstream words(line);
        words >> word;
        if (word == "seed")
            words >> run.seed;
        else if (word == "time_limit")
            words >> run.time_limit;
        else if (word == "block_frames")
            words >> run.block_frames;
        else if (word == "map" || word == "raw_map") {
            in_map = true;
            raw = word == "raw_map";
            rows.clear();
        } else if (word == "map_file" && words >> word) { // NAME or maps/NAME.czm
            if (word.rfind("maps/", 0) == 0) word = word.substr(5, word.size() - 9);
            std::ifstream text(CINDERMAZE_SOURCE_DIR "/assets/maps/" + word + ".txt");
            for (rows.clear(); std::getline(text, line);)
                rows.push_back(line);
            std::vector<uint8_t> bytes = map_bytes(rows);
            run.start(load_map_from_memory(bytes.data(), bytes.size()));
        } else
            run.command(word, words);
    }
    run.finish();
    return run.out.str();
}

class golden : public testing::TestWithParam<std::string> {};

TEST_P(golden, replay_matches_its_golden_file) {
    const std::string base = golden_dir + "/" + GetParam();
    std::string got = play(base + ".replay");
    const char *update = getenv("CINDERMAZE_UPDATE_GOLDEN");
    if (update && *update) return write_text(base + ".golden", got);
    std::vector<uint8_t> want = read_file(base + ".golden");
    if (got != std::string(want.begin(), want.end())) {
        temp_dir tmp;
        write_text(tmp.file("got"), got);
        run_command("diff -u " + base + ".golden " + tmp.file("got") + " | head -40");
        FAIL() << GetParam() << " no longer plays as its golden file says; if the change of "
               << "play is intended, run tests/golden/update.sh";
    }
}

// Each shipped map has its replay win_NAME (01-cendres: win_01_cendres), which wins it at
// the default settings.
TEST(shipped_maps, each_is_won_by_its_replay) {
    std::ifstream list(CINDERMAZE_SOURCE_DIR "/assets/maps/maps.list");
    std::string name, rest;
    int maps = 0;
    while (list >> name && std::getline(list, rest)) {
        if (name[0] == '#') continue;
        std::string script = "win_" + name;
        std::replace(script.begin(), script.end(), '-', '_');
        std::string run = play(golden_dir + "/" + script + ".replay");
        EXPECT_NE(run.find("\nend " + std::to_string(END_WON) + "\ntime_left"), std::string::npos)
            << name << " is not won";
        maps++;
    }
    EXPECT_GE(maps, 8);
}

INSTANTIATE_TEST_SUITE_P(replays, golden, testing::ValuesIn(replay_names()),
                         [](const testing::TestParamInfo<std::string> &info) {
                             return info.param;
                         });

// create_map_objects on a map made by hand: 1 for a first cell that makes nothing or no
// player start, and nothing left behind.
TEST(setup, maps_without_a_first_object_or_a_player_start_are_refused) {
    for (auto rows : {std::vector<std::string>{".####", "#P.D#", "#####"},
                      std::vector<std::string>{"#####", "#.MD#", "#####"}}) {
        ::map *m = raw_map(map_bytes(rows));
        config cfg{};
        game g;
        init_game_state(&g, &cfg, m, 3);
        EXPECT_EQ(create_map_objects(&g), 1) << rows[0];
        EXPECT_EQ(g.player, nullptr);
        for (int r = 0; r < m->height; r++)
            for (int c = 0; c < m->width; c++) {
                suppr_obj(m, m->fixed_grid[r][c], &g.object_count);
                suppr_obj(m, m->mover_grid[r][c], &g.object_count);
            }
        EXPECT_EQ(g.object_count, 0u);
        free_map(m);
    }
}

TEST(setup, freeing_the_objects_frees_them_all_and_twice_is_harmless) {
    world w(raw_map(map_bytes({"#####", "#P?M#", "#.D.#", "#####"})));
    EXPECT_EQ(w.g.object_count, 18u);
    free_game_objects(&w.g);
    EXPECT_EQ(w.g.object_count, 0u);
    EXPECT_EQ(w.g.player, nullptr);
    free_game_objects(&w.g);
}

} // namespace
