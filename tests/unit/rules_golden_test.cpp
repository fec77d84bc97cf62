// Golden replays: scripted games played tick by tick from a fixed seed, whose course and
// end state are compared with the text kept beside each script in tests/golden. When a
// change of play is intended, tests/golden/update.sh rewrites the golden files.
#include "rules_world.h"
#include "test_util.h"

#include <dirent.h>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>
#include <algorithm>

namespace {

const std::string golden_dir = std::string(CINDERMAZE_SOURCE_DIR) + "/tests/golden";

// Every *.replay file of the golden directory, by name without the extension.
std::vector<std::string> replay_names() {
    std::vector<std::string> names;
    DIR *dir = opendir(golden_dir.c_str());
    if (!dir) return names;
    while (dirent *entry = readdir(dir)) {
        std::string name = entry->d_name;
        const std::string ext = ".replay";
        if (name.size() > ext.size() &&
            name.compare(name.size() - ext.size(), ext.size(), ext) == 0)
            names.push_back(name.substr(0, name.size() - ext.size()));
    }
    closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

// A replay script:
//   seed N | time_limit N | block_frames N     settings (defaults 1, 90, 3)
//   map                                          map rows follow, up to "end"
//   map_file PATH                                a shipped map, relative to the run directory
//   N KEYS                                       hold KEYS (letters U D L R B Q, or -) N ticks
struct replay {
    unsigned seed = 1;
    int time_limit = 90;
    unsigned block_frames = 3;
    std::vector<std::string> rows;
    std::string map_file;
    std::vector<std::pair<int, std::string>> steps;
};

replay read_replay(const std::string &path) {
    std::ifstream in(path);
    if (!in) throw std::runtime_error("cannot read " + path);
    replay r;
    std::string line;
    bool in_map = false;
    while (std::getline(in, line)) {
        if (in_map) {
            if (line == "end")
                in_map = false;
            else
                r.rows.push_back(line);
            continue;
        }
        if (line.empty() || line[0] == '#') continue;
        std::istringstream words(line);
        std::string word;
        words >> word;
        if (word == "seed")
            words >> r.seed;
        else if (word == "time_limit")
            words >> r.time_limit;
        else if (word == "block_frames")
            words >> r.block_frames;
        else if (word == "map")
            in_map = true;
        else if (word == "map_file")
            words >> r.map_file;
        else {
            int ticks = std::stoi(word);
            std::string keys;
            words >> keys;
            r.steps.push_back({ticks, keys == "-" ? "" : keys});
        }
    }
    return r;
}

std::unique_ptr<world> make_world(const replay &r) {
    if (r.map_file.empty())
        return std::make_unique<world>(r.rows, r.seed, r.time_limit, r.block_frames);
    std::string path = std::string(CINDERMAZE_RUN_DIR) + "/" + r.map_file;
    if (!file_exists(path))
        throw std::runtime_error(path + " is missing: the whole project must be built");
    return std::make_unique<world>(load_map(path.c_str()), r.seed, r.time_limit, r.block_frames);
}

// Plays the script as the game loop would with one frame per tick, and tells its course:
// one line per second of play, then the whole state at the end.
std::string play(const replay &r) {
    std::unique_ptr<world> w = make_world(r);
    std::ostringstream out;
    int tick = 0;
    // For writing scripts: where each line of the script leaves the player.
    bool trace = getenv("CINDERMAZE_REPLAY_TRACE") != nullptr;
    for (const auto &step : r.steps) {
        game_keys keys = held(step.second.c_str());
        for (int k = 0; k < step.first && w->g.end_state == END_NONE; k++) {
            w->tick(keys);
            tick++;
            // A new second every 100 ticks; the step runs in the frame after the ticks.
            if (w->g.last_second != tick / 100) game_seconds_step(&w->g, tick / 100);
            w->g.frames_this_second++;
            if (tick % 100 == 0 || w->g.end_state != END_NONE) {
                obj *p = w->player();
                out << "tick " << tick << " player " << p->x << "," << p->y << " off "
                    << (int)p->off_x << "," << (int)p->off_y << " bombs " << (int)p->param3
                    << " objects " << w->g.object_count << " diamonds " << w->g.diamonds_left
                    << " time " << w->g.time_left << " end " << (int)w->g.end_state << "\n";
            }
        }
        if (trace) {
            obj *p = w->player();
            printf("%5d %-3s -> player %d,%d off %d,%d bombs %d kind %d timer %d sign %d end %d\n",
                   step.first, step.second.c_str(), p->x, p->y, p->off_x, p->off_y, p->param3,
                   p->param1, p->timer, w->g.direction_sign, w->g.end_state);
        }
    }
    out << "ticks " << tick << "\n" << w->dump();
    return out.str();
}

std::string read_text(const std::string &path) {
    std::vector<uint8_t> bytes = read_file(path);
    return std::string(bytes.begin(), bytes.end());
}

class golden : public testing::TestWithParam<std::string> {};

TEST_P(golden, replay_matches_its_golden_file) {
    const std::string name = GetParam();
    std::string got = play(read_replay(golden_dir + "/" + name + ".replay"));
    std::string golden_path = golden_dir + "/" + name + ".golden";
    const char *update = getenv("CINDERMAZE_UPDATE_GOLDEN");
    if (update && *update) {
        write_text(golden_path, got);
        return;
    }
    ASSERT_TRUE(file_exists(golden_path))
        << golden_path << " is missing: run tests/golden/update.sh";
    std::string want = read_text(golden_path);
    if (got != want) {
        temp_dir tmp;
        write_text(tmp.file("got"), got);
        std::string diff = "diff -u " + golden_path + " " + tmp.file("got") + " | head -60";
        run_command(diff);
        FAIL() << "the replay " << name << " no longer plays as its golden file says; if the "
               << "change of play is intended, run tests/golden/update.sh";
    }
}

TEST_P(golden, replay_plays_the_same_twice) {
    replay r = read_replay(golden_dir + "/" + GetParam() + ".replay");
    EXPECT_EQ(play(r), play(r));
}

// Each shipped map has its replay win_NAME (01-cendres: win_01_cendres), which wins it at the
// default settings.
TEST(shipped_maps, each_is_won_by_its_replay) {
    std::ifstream list(std::string(CINDERMAZE_SOURCE_DIR) + "/assets/maps/maps.list");
    ASSERT_TRUE(list);
    std::string name, rest;
    while (list >> name && std::getline(list, rest)) {
        if (name[0] == '#') continue;
        std::string script = "win_" + name;
        std::replace(script.begin(), script.end(), '-', '_'); // test names take no '-'
        replay r = read_replay(golden_dir + "/" + script + ".replay");
        EXPECT_EQ(r.map_file, "maps/" + name + ".czm");
        EXPECT_EQ(r.time_limit, 90);
        EXPECT_NE(play(r).find("\nend " + std::to_string(END_WON) + "\n"), std::string::npos)
            << name << " is not won";
    }
}

INSTANTIATE_TEST_SUITE_P(replays, golden, testing::ValuesIn(replay_names()),
                         [](const testing::TestParamInfo<std::string> &info) {
                             return info.param;
                         });

} // namespace
