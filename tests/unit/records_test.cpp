// Records: the run of keys kept small, the records file read back or refused whatever its
// damage, a record proved by its run, and records.czr kept in the save folder.
#include "records.h"
#include "test_util.h"

#include <allegro.h>
#include <gtest/gtest.h>

namespace {

const std::vector<std::string> ROOM = {"######", "#P..D#", "#.+..#", "######"};

// A run of `ticks` ticks holding the right arrow, then `rest` ticks of none; `idle` ticks
// of none first.
game_run walk_right(uint32_t ticks, uint32_t rest = 0, uint32_t idle = 0) {
    game_run run;
    run_recorder r;
    start_recording(&r, &run, 11, 90);
    game_keys right{}, none{};
    right.right = true;
    for (uint32_t t = 0; t < idle + ticks + rest; t++)
        record_tick(&r, t >= idle && t < idle + ticks ? &right : &none);
    finish_recording(&r);
    return run;
}

// The tick a run wins the map on (0 when it does not).
uint32_t win_tick(const std::vector<std::string> &rows, const game_run &run) {
    std::vector<uint8_t> bytes = map_bytes(rows);
    uint32_t ticks = 0;
    return play_run(bytes.data(), bytes.size(), 3, &run, 5000, &ticks) == END_WON ? ticks : 0;
}

// The record of walking right across ROOM: the run, its map's hash and its winning tick.
record_entry won_room() {
    std::vector<uint8_t> bytes = map_bytes(ROOM);
    record_entry e;
    e.map = "salle";
    e.map_hash = bytes_hash(bytes.data(), bytes.size());
    e.ticks = win_tick(ROOM, walk_right(1000));
    EXPECT_GT(e.ticks, 0u);
    e.run = walk_right(e.ticks);
    e.date = 1700000000;
    return e;
}

TEST(records, a_run_keeps_each_held_key_in_a_handful_of_bytes_and_reads_back) {
    game_run held = walk_right(9000);
    EXPECT_LE(held.steps.size(), 4u);
    game_run mixed = walk_right(3, 200);
    mixed.steps.push_back(1); // a step cut short: nothing more is read
    run_reader reader;
    start_reading(&reader, &mixed);
    game_keys keys;
    std::string read;
    while (next_run_keys(&reader, &keys))
        read += keys.right ? 'R' : keys.up || keys.down || keys.left || keys.bomb ? '?' : '-';
    EXPECT_EQ(read, "RRR" + std::string(200, '-'));
}

TEST(records, the_file_reads_back_whole_and_any_damage_means_no_records) {
    record_entry e = won_room(), other = e;
    other.map = "autre";
    other.run.time_limit = 120;
    std::vector<uint8_t> good = records_bytes({e, other});
    std::vector<record_entry> got(1);
    std::vector<uint8_t> none = records_bytes({});
    EXPECT_TRUE(parse_records(none.data(), none.size(), &got) && got.empty());
    ASSERT_TRUE(parse_records(good.data(), good.size(), &got));
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(records_bytes(got), good); // every field read back
    EXPECT_EQ(got[1].run.time_limit, 120);
    // `good` with one byte changed, its checksum made right again when `rehash`.
    auto changed = [&](size_t at, int value, bool rehash) {
        std::vector<uint8_t> b = good;
        b[at] = (uint8_t)value, b.resize(b.size() - 8 * rehash);
        uint64_t h = bytes_hash(b.data(), b.size());
        for (int i = 0; rehash && i < 8; i++)
            b.push_back((uint8_t)(h >> 8 * i));
        return b;
    };
    record_entry outside = e;
    outside.map = "../config";
    const struct {
        const char *what;
        std::vector<uint8_t> bytes;
    } damaged[] = {
        {"empty", {}},
        {"short", std::vector<uint8_t>(good.begin(), good.end() - 1)},
        {"another version", changed(4, 2, true)},
        {"a bad checksum", changed(30, good[30] ^ 1, false)},
        {"a foreign file", changed(0, 'X', true)},
        {"a name that leads out of the maps, after a good record", records_bytes({e, outside})},
    };
    for (const auto &d : damaged)
        EXPECT_FALSE(parse_records(d.bytes.data(), d.bytes.size(), &got) || !got.empty()) << d.what;
}

TEST(records, a_record_is_proved_by_its_run_on_the_map_as_it_is) {
    record_entry e = won_room();
    std::vector<uint8_t> bytes = map_bytes(ROOM);
    EXPECT_TRUE(record_proven(&e, bytes.data(), bytes.size(), 3));
    std::vector<uint8_t> edited = map_bytes({"######", "#P..D#", "#..+.#", "######"});
    record_entry idle = e; // a time the run does not make: records_folder's offers
    idle.run = walk_right(0, e.ticks);
    EXPECT_FALSE(record_proven(&idle, bytes.data(), bytes.size(), 3)) << "a run that does not win";
    EXPECT_FALSE(record_proven(&e, edited.data(), edited.size(), 3)) << "a map whose bytes changed";
    EXPECT_EQ(record_time_text(5), "0,05");
}

// A run directory with maps/salle.czm and its strip: the records go to its save/.
struct records_folder : ::testing::Test {
    temp_dir dir;
    scoped_cwd cwd{dir.path};
    record_entry won = won_room();
    const char *map = "maps/salle.czm";

    void SetUp() override {
        allegro_for_tests();
        make_dirs(dir.file("maps"));
        write_file(dir.file(map), map_bytes(ROOM));
        BITMAP *strip = create_bitmap(5 * 32, 32);
        clear_bitmap(strip);
        save_bitmap(dir.file("maps/salle.bmp").c_str(), strip, nullptr);
        destroy_bitmap(strip);
    }
    uint32_t kept() {
        record_entry e;
        return find_record(map, &e) ? e.ticks : 0;
    }
    std::vector<uint8_t> file(const char *name) { return read_file(dir.file(name)); }
};

TEST_F(records_folder, the_best_time_is_kept_and_a_slower_win_or_an_idle_run_is_not) {
    EXPECT_EQ(kept(), 0u);
    game_run slower = walk_right(won.ticks, 0, 30);
    EXPECT_TRUE(offer_record(map, &won.run, won.ticks));
    EXPECT_EQ(kept(), won.ticks);
    EXPECT_FALSE(offer_record(map, &slower, won.ticks + 30));
    EXPECT_FALSE(offer_record(map, &won.run, won.ticks)) << "a tie keeps the first";
    EXPECT_FALSE(offer_record(map, &won.run, won.ticks - 1)) << "a time the run does not make";
    EXPECT_EQ(kept(), won.ticks);
    EXPECT_FALSE(file_exists(dir.file("save/" RECORDS_BAD_NAME)));
    const std::vector<std::string> edited = {"######", "#P.D.#", "#.+..#", "######"};
    write_file(dir.file(map), map_bytes(edited));
    EXPECT_EQ(kept(), 0u) << "an edited map starts without a record";
    uint32_t shorter = win_tick(edited, slower);
    EXPECT_TRUE(offer_record(map, &slower, shorter));
    EXPECT_EQ(kept(), shorter);
}

TEST_F(records_folder, a_damaged_file_or_a_record_its_run_does_not_prove_is_kept_aside) {
    record_entry forged = won, other = won;
    forged.ticks -= 5;
    other.map = "autre";
    std::vector<uint8_t> with_forged = records_bytes({other, forged});
    make_dirs(dir.file("save"));
    write_file(dir.file("save/" RECORDS_NAME), with_forged);
    EXPECT_EQ(kept(), 0u);
    EXPECT_EQ(file("save/" RECORDS_BAD_NAME), with_forged);
    EXPECT_EQ(file("save/" RECORDS_NAME), records_bytes({other})) << "the other record stays";
    std::vector<uint8_t> torn(with_forged.begin(), with_forged.begin() + 40);
    write_file(dir.file("save/" RECORDS_NAME), torn);
    EXPECT_EQ(kept(), 0u);
    EXPECT_EQ(file("save/" RECORDS_BAD_NAME), torn);
    EXPECT_FALSE(file_exists(dir.file("save/" RECORDS_NAME)));
    EXPECT_TRUE(offer_record(map, &won.run, won.ticks));
    EXPECT_EQ(kept(), won.ticks);
    // A damaged file that cannot be kept aside is never written over.
    remove(dir.file("save/" RECORDS_BAD_NAME).c_str());
    make_dirs(dir.file("save/" RECORDS_BAD_NAME));
    write_file(dir.file("save/" RECORDS_NAME), torn);
    EXPECT_FALSE(offer_record(map, &won.run, won.ticks));
    EXPECT_EQ(file("save/" RECORDS_NAME), torn);
}

} // namespace
