// Records as a player meets them: a damaged records file kept aside, a save of a record
// killed half way, a record beaten by a win (its time and "Nouveau record !" shown), the
// chooser's record watched with R, and cindermaze --replay.
#include "e2e.h"
#include "records.h"

#include <gtest/gtest.h>

namespace {

const uint32_t FLOOR = 0x0a3c14, THUMB = 0x13579b, RED = 0xff0000, YELLOW = 0xffff00;
// A long room: a run across it lasts some four seconds, time to see it played back.
const std::vector<std::string> ROOM = {std::string(24, '#'), "#P" + std::string(20, '.') + "D#",
                                       "#" + std::string(22, '.') + "#", std::string(24, '#')};

// A record of the room that stands still for 15 seconds first: any win of a player beats it.
record_entry slow_record() {
    record_entry e;
    e.map = "salle";
    std::vector<uint8_t> bytes = map_bytes(ROOM);
    e.map_hash = bytes_hash(bytes.data(), bytes.size());
    run_recorder r;
    start_recording(&r, &e.run, 3, 90);
    game_keys right{}, none{};
    right.right = true;
    for (int t = 0; t < 2500; t++)
        record_tick(&r, t < 1500 ? &none : &right);
    finish_recording(&r);
    // The test strip has six pictures: floor, wall and four of the block.
    EXPECT_EQ(play_run(bytes.data(), bytes.size(), 4, &e.run, 9000, &e.ticks), END_WON);
    return e;
}

std::vector<record_entry> kept(e2e_run *run) {
    std::vector<uint8_t> bytes = read_file(run->file("save/" RECORDS_NAME));
    std::vector<record_entry> entries;
    EXPECT_TRUE(parse_records(bytes.data(), bytes.size(), &entries));
    return entries;
}

// From the menu to the chooser showing the room.
bool open_chooser(e2e_run *run) {
    return e2e_wait_menu(run) && e2e_menu_choose(run, MENU_PLAY) &&
           e2e_wait(run, [&](const screenshot &s) { return e2e_pixel(run, s, 320, 240) == THUMB; });
}

// Enter or R in the chooser: the game's field shows, in the game's window.
bool leave_chooser(e2e_run *run, const char *key) {
    return e2e_hold(run, key,
                    [&](const screenshot &s) { return e2e_pixel(run, s, 320, 240) != THUMB; }) &&
           e2e_wait(run, [&](const screenshot &s) { return e2e_count(run, s, FLOOR) > 2000; }) &&
           e2e_wait_window(run, 800, 600);
}

// The win picture with its time line under it, in red, with or without the yellow
// "Nouveau record !".
bool win_shows(e2e_run *run, const screenshot &s, bool new_record) {
    return e2e_match(run, s, "graphics/fin_gagne.bmp", 144, 108) > 0.9 &&
           e2e_count(run, s, RED, 144, 492, 656, 530) > 50 &&
           (e2e_count(run, s, YELLOW, 144, 492, 656, 530) > 50) == new_record;
}

TEST(records, a_win_beats_the_record_and_the_record_plays_back) {
    config cfg = quiet_settings();
    e2e_run run;
    ASSERT_TRUE(e2e_prepare(&run, &cfg));
    e2e_only_maps(&run, {"salle"}, {ROOM}, FLOOR, {THUMB});
    const std::vector<uint8_t> torn = {'C', 'Z', 'R', 'E', 1, 0},
                               slow = records_bytes({slow_record()});
    e2e_put(&run, "save/" RECORDS_NAME, torn);
    // Each fsync takes 150 ms: the kill falls inside the save of the record.
    ASSERT_TRUE(e2e_launch(&run, {"LD_PRELOAD=" SLOW_IO_LIBRARY}));
    ASSERT_TRUE(open_chooser(&run));
    EXPECT_EQ(read_file(run.file("save/" RECORDS_BAD_NAME)), torn);
    EXPECT_FALSE(file_exists(run.file("save/" RECORDS_NAME)));
    write_file(run.file("save/" RECORDS_NAME), slow);
    ASSERT_TRUE(leave_chooser(&run, "Return"));
    EXPECT_TRUE(e2e_hold(
        &run, "Right",
        [&](const screenshot &) {
            return file_exists(run.file("save/" RECORDS_NAME ".tmp")) ||
                   read_file(run.file("save/" RECORDS_NAME)) != slow;
        },
        15));
    e2e_kill(&run);
    ASSERT_EQ(kept(&run).size(), 1u) << "the old record or the new one, whole";

    write_file(run.file("save/" RECORDS_NAME), slow);
    ASSERT_TRUE(e2e_launch(&run) && open_chooser(&run));
    ASSERT_TRUE(leave_chooser(&run, "Return"));
    EXPECT_TRUE(e2e_hold(
        &run, "Right", [&](const screenshot &s) { return win_shows(&run, s, true); }, 15));
    ASSERT_TRUE(e2e_wait_menu(&run));
    std::vector<uint8_t> beaten = read_file(run.file("save/" RECORDS_NAME));
    ASSERT_EQ(kept(&run).size(), 1u);
    EXPECT_LT(kept(&run)[0].ticks, slow_record().ticks);

    // R watches the record: the replay's line shows, the run wins alone, nothing is kept.
    ASSERT_TRUE(open_chooser(&run));
    ASSERT_TRUE(leave_chooser(&run, "r"));
    bool line_seen = false;
    EXPECT_TRUE(e2e_wait(
        &run,
        [&](const screenshot &s) {
            line_seen |= e2e_count(&run, s, YELLOW, 0, 560, 800, 600) > 50;
            return win_shows(&run, s, false);
        },
        15));
    EXPECT_TRUE(line_seen) << "the replay's line";
    ASSERT_TRUE(e2e_wait_menu(&run));
    EXPECT_TRUE(e2e_quit_from_menu(&run));
    EXPECT_EQ(read_file(run.file("save/" RECORDS_NAME)), beaten);

    ASSERT_TRUE(e2e_launch(&run, {}, "cindermaze", {"--replay", "save/" RECORDS_NAME}));
    ASSERT_TRUE(
        e2e_wait(&run, [&](const screenshot &s) { return e2e_count(&run, s, FLOOR) > 2000; }));
    ASSERT_TRUE(e2e_wait_window(&run, 800, 600));
    EXPECT_TRUE(e2e_wait(
        &run, [&](const screenshot &s) { return win_shows(&run, s, false); }, 15));
    EXPECT_TRUE(e2e_wait_exit(&run, 15) && run.status == 0);
    EXPECT_EQ(read_file(run.file("save/" RECORDS_NAME)), beaten);
    EXPECT_TRUE(e2e_messages(&run).empty());
}

} // namespace
