// Rule tests, mostly scenarios: scripts of games played tick by tick from a fixed seed
// (tests/golden/*.replay, the shipped maps' routes assets/maps/*.route). Each rule a script
// names is a test, passed when its expectations hold; the course is compared with
// tests/golden/NAME.golden (update.sh rewrites them). Commands: tools/route.cpp and below.
#include "maps.h"
#include "objets.h"
#include "records.h"
#include "route.h"
#include "test_util.h"

#include <cstdlib>
#include <algorithm>
#include <cstring>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// A map record made by hand, for maps the loader refuses (no border, two starts): the
// loader takes a walled room of the same size, then the cells are set as given.
::map *raw_map(const std::vector<uint8_t> &bytes) {
    std::vector<uint8_t> room(bytes.size(), CELL_WALL);
    room[0] = bytes[0], room[1] = bytes[1], room[2 + bytes[1] + 1] = CELL_PLAYER;
    ::map *m = load_map_from_memory(room.data(), room.size());
    if (!m) throw std::runtime_error("a raw map needs at least 3 rows of 3 cells");
    for (int r = 0; r < m->height; r++)
        memcpy(m->cells[r], &bytes[2 + (size_t)r * m->width], m->width);
    return m;
}

const std::string golden_dir = std::string(CINDERMAZE_SOURCE_DIR) + "/tests/golden";

// The scenarios and the routes, as the build found them (paths from the source directory).
std::vector<std::string> replay_files() {
    std::vector<std::string> files;
    std::istringstream list(GOLDEN_REPLAYS);
    for (std::string file; std::getline(list, file, ',');)
        files.push_back(file);
    return files;
}

std::string stem(const std::string &file) {
    size_t slash = file.rfind('/') + 1;
    return file.substr(slash, file.rfind('.') - slash);
}

// The commands of rule scenarios, beside the route's own: bomb X Y FUSE RANGE; bonus KIND;
// put monster X Y | put flame|block X Y TIMER | put bonus X Y KIND; cell X Y CODE;
// set mover|fixed X Y off_x|off_y|param1|param2|timer VALUE; kill X Y (mort); remove X Y
// (suppr_obj). raw_map ROWS end: a map record made by hand, without the loader's checks.
obj *at(game &g, int x, int y, bool mover = true) {
    obj *o = mover ? map_mover(g.map, x, y) : map_fixed(g.map, x, y);
    if (!o) throw std::runtime_error("nothing at " + std::to_string(x) + "," + std::to_string(y));
    return o;
}

bool scenario_command(route_game *r, const std::string &word, std::istream &in) {
    int x = 0, y = 0, a = 0, b = 0;
    std::string s;
    game &g = r->g;
    if (word == "bonus" && in >> a)
        g.player->param1 = (int8_t)a, g.player->timer = 15;
    else if (word == "bomb" && in >> x >> y >> a >> b)
        make_bomb(g.map, g.player, &g.object_count, x, y, (uint8_t)b, (int8_t)a, g.bomb_sprites);
    else if (word == "cell" && in >> x >> y >> a)
        g.map->cells[y][x] = (int8_t)a;
    else if (word == "kill" && in >> x >> y)
        mort(g.map, at(g, x, y), &g.object_count);
    else if (word == "remove" && in >> x >> y)
        suppr_obj(g.map, at(g, x, y, false), &g.object_count);
    else if (word == "put" && in >> s >> x >> y) {
        if (s == "monster")
            make_monster(g.map, g.player, &g.object_count, x, y, g.monster_sprites, 0);
        else if (s == "flame" && in >> a)
            make_flame(g.map, g.player, &g.object_count, x, y, 0, 0, 0, (int8_t)a, 5,
                       g.flame_sprites[0], 0);
        else if (s == "block" && in >> a) { // burning, at its second picture
            obj *o = make_block(g.map, g.player, &g.object_count, x, y, g.block_sprites);
            o->timer = (int8_t)a, o->frame = 1;
        } else if (s == "bonus" && in >> a) { // just shown, its picture the kind's
            obj *o = make_bonus(g.map, g.player, &g.object_count, x, y, (int8_t)a, g.bonus_sprites);
            o->timer = 5, o->frame = (uint8_t)a, g.map->cells[y][x] = CELL_BONUS;
        } else
            throw std::runtime_error("bad put");
    } else if (word == "set" && in >> s >> x >> y) {
        obj *o = at(g, x, y, s == "mover");
        in >> s >> a;
        const char *names[] = {"off_x", "off_y", "param1", "param2", "timer"};
        int8_t *fields[] = {&o->off_x, &o->off_y, &o->param1, &o->param2, &o->timer};
        for (int i = 0; i < 5; i++)
            if (s == names[i]) *fields[i] = (int8_t)a;
    } else
        return false;
    return true;
}

// A script played: its course, and what it missed in `result`.
std::string play(const std::string &file, route_result *result) {
    std::ifstream in(CINDERMAZE_SOURCE_DIR "/" + file);
    if (!in) throw std::runtime_error("cannot read " + file);
    std::ostringstream out;
    if (!route_play(in, CINDERMAZE_SOURCE_DIR "/assets/maps", {raw_map, scenario_command}, out,
                    result))
        throw std::runtime_error(file + ": " + result->error);
    return out.str();
}

std::string test_name(std::string name) {
    std::replace(name.begin(), name.end(), '-', '_');
    return name;
}

class golden : public testing::TestWithParam<std::string> {};

TEST_P(golden, replay_matches_its_golden_file) {
    const std::string golden = golden_dir + "/" + stem(GetParam()) + ".golden";
    route_result result;
    std::string got = play(GetParam(), &result);
    const char *update = getenv("CINDERMAZE_UPDATE_GOLDEN");
    if (update && *update) return write_text(golden, got);
    std::vector<uint8_t> want = read_file(golden);
    EXPECT_EQ(got, std::string(want.begin(), want.end()))
        << GetParam() << " no longer plays as its golden file says; if the change of play is "
        << "intended, run tests/golden/update.sh";
    if (result.end != END_WON || result.map_name.empty()) return;
    // A shipped map's winning route, kept as a record, proves it on the map the game reads.
    allegro_for_tests();
    record_entry won;
    won.map_hash = result.map_hash, won.ticks = result.ticks, won.run = result.run;
    std::vector<uint8_t> bytes;
    unsigned frames = 0;
    std::string map = CINDERMAZE_RUN_DIR "/maps/" + result.map_name + ".czm";
    ASSERT_TRUE(read_map_as_played(map.c_str(), &bytes, &frames));
    EXPECT_TRUE(record_proven(&won, bytes.data(), bytes.size(), frames)) << GetParam();
}

INSTANTIATE_TEST_SUITE_P(replays, golden, testing::ValuesIn(replay_files()),
                         [](const testing::TestParamInfo<std::string> &info) {
                             return test_name(stem(info.param));
                         });

// The rules the scripts name ("rule NAME"; before the first, the script's own name), each
// with the scripts that state it.
std::map<std::string, std::set<std::string>> named_rules() {
    std::map<std::string, std::set<std::string>> rules;
    for (const std::string &file : replay_files()) {
        std::ifstream in(CINDERMAZE_SOURCE_DIR "/" + file);
        std::string rule = test_name(stem(file)), line;
        while (std::getline(in, line)) {
            if (line.rfind("rule ", 0) == 0) rule = line.substr(5);
            if (line.rfind("expect ", 0) == 0) rules[rule].insert(file);
        }
    }
    return rules;
}

std::vector<std::string> rule_names() {
    std::vector<std::string> names;
    for (const auto &r : named_rules())
        names.push_back(r.first);
    return names;
}

class rule : public testing::TestWithParam<std::string> {};

TEST_P(rule, holds) {
    std::map<std::string, std::set<std::string>> rules = named_rules();
    for (const std::string &file : rules[GetParam()]) {
        route_result result;
        play(file, &result);
        for (const route_miss &miss : result.missed)
            EXPECT_NE(miss.rule.empty() ? test_name(stem(file)) : miss.rule, GetParam())
                << file << ":" << route_miss_text(miss);
    }
}

INSTANTIATE_TEST_SUITE_P(promises, rule, testing::ValuesIn(rule_names()),
                         [](const testing::TestParamInfo<std::string> &i) { return i.param; });

// The player of scripts misses what does not hold, now or at its tick, with its line.
TEST(expectations, each_one_that_does_not_hold_is_missed_with_its_line_and_reading) {
    std::istringstream script("map\n#####\n#P.D#\n#####\nend\nrule walk\nexpect end none\n"
                              "expect at 10 offset 4 0\nexpect at 20 player 2 1\n"
                              "expect fixed 3 1 pic diamond\nexpect count diamond 2\n"
                              "rule late\nexpect at 99 end won\n15 R\n");
    std::ostringstream out;
    route_result result;
    ASSERT_TRUE(route_play(script, ".", {}, out, &result)) << result.error;
    std::vector<std::string> missed;
    for (const route_miss &miss : result.missed)
        missed.push_back(route_miss_text(miss));
    EXPECT_EQ(missed, (std::vector<std::string>{
                          "11 (walk): expect count diamond 2: got 1",
                          "8 (walk): expect at 10 offset 4 0: got -10 0",
                          "9 (walk): expect at 20 player 2 1: got the game stopped at tick 15",
                          "13 (late): expect at 99 end won: got the game stopped at tick 15"}));
}

// create_map_objects on a map made by hand: 1 for a first cell that makes nothing or no
// player start, and nothing left behind.
TEST(setup, maps_without_a_first_object_or_a_player_start_are_refused) {
    for (auto rows : {std::vector<std::string>{".####", "#P.D#", "#####"},
                      std::vector<std::string>{"#####", "#.MD#", "#####"}}) {
        ::map *m = raw_map(map_bytes(rows));
        config cfg{};
        game g;
        init_game_state(&g, &cfg, m, 3, 1);
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

// The game's own numbers (a seed's are pinned by the golden courses above, which deal bonuses
// and turn monsters with them): each number below n is as likely as the others (within 3 per
// cent): the frames, kinds and fuses drawn, and below 3 x 2^30, where a plain remainder would
// give the first third half the draws.
TEST(generator, numbers_below_n_are_evenly_spread) {
    game_rng rng;
    rng_seed(&rng, 1);
    for (uint32_t n : {2u, 3u, 7u, 10u, 3u << 30}) {
        uint32_t buckets = n > 10 ? 3 : n;
        std::vector<int> seen(buckets);
        for (uint32_t i = 0; i < buckets * 20000; i++)
            seen[rng_below(&rng, n) / (n / buckets)]++;
        for (uint32_t k = 0; k < buckets; k++)
            EXPECT_NEAR(seen[k], 20000, 600) << k << " of " << buckets << " below " << n;
    }
}

// A seed deals the same hidden bonuses whatever drew from the C library before (the
// music's pick, when the music plays): a game depends on its seed alone. Freeing the
// objects frees them all, and twice is harmless.
TEST(setup, a_seed_deals_the_same_bonuses_whatever_drew_before_and_all_are_freed) {
    std::vector<int> kinds[2];
    for (int run = 0; run < 2; run++) {
        srand(run + 1), rand();
        route_game r;
        ASSERT_TRUE(route_start(
            &r, raw_map(map_bytes({"########", "#P?????#", "#??????#", "########"})), 9, 90, 3));
        obj *o = r.g.player;
        do
            if (o->type == OBJ_BONUS) kinds[run].push_back(o->param1);
        while ((o = o->next) != r.g.player);
        EXPECT_EQ(r.g.object_count, 32u);
        for (int time = 0; time < 2; time++) {
            free_game_objects(&r.g);
            EXPECT_EQ(r.g.object_count, 0u);
            EXPECT_EQ(r.g.player, nullptr);
        }
        route_stop(&r);
    }
    EXPECT_EQ(kinds[0].size(), 11u);
    EXPECT_EQ(kinds[0], kinds[1]);
}

} // namespace
