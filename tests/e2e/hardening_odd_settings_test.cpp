// Settings files edited by hand or cut short: values no screen of the program writes
// (volumes out of range, a display method of 7, a vsync of 2, a resolution no list has,
// key codes outside the key table, a file of 10 bytes) must still give a program that
// walks through its menu, chooser and a game, and quits cleanly.
#include "hardening_e2e.h"

#include <cstring>

namespace {

using namespace hardening;

struct odd_settings {
    const char *name;
    std::vector<uint8_t> bytes;
};

void PrintTo(const odd_settings &o, std::ostream *out) { *out << o.name; }

std::vector<uint8_t> record(void (*change)(config *)) {
    config cfg = silent_settings();
    cfg.gfx_card = GFX_AUTODETECT_WINDOWED;
    change(&cfg);
    return bytes_of(cfg);
}

std::vector<odd_settings> odd_files() {
    std::vector<uint8_t> cut = record([](config *) {});
    cut.resize(10);
    return {
        {"volumes_out_of_range", record([](config *c) {
             c->music_volume = 100000;
             c->effects_volume = -40;
         })},
        {"huge_effects_volume", record([](config *c) { c->effects_volume = 70000; })},
        {"display_method_7_vsync_2", record([](config *c) {
             c->display_method = 7;
             c->vsync = 2;
         })},
        {"negative_display_method", record([](config *c) { c->display_method = -3; })},
        {"resolution_of_no_list", record([](config *c) {
             c->screen_w = 720;
             c->screen_h = 400;
         })},
        {"keys_outside_the_key_table", record([](config *c) {
             c->key_up = -1;
             c->key_down = 0;
             c->key_bomb = 100000;
             c->key_quit = KEY_MAX;
         })},
        {"time_limit_of_7_seconds", record([](config *c) { c->time_limit = 7; })},
        {"file_of_10_bytes", cut},
    };
}

class odd : public ::testing::TestWithParam<odd_settings> {};

TEST_P(odd, the_program_still_walks_through_a_game_and_quits) {
    const odd_settings &o = GetParam();
    app_run app;
    ASSERT_TRUE(app.prepare());
    write_file(app.settings_path(), o.bytes);
    walk_end end = walk_through(&app);
    ASSERT_NE(end, WALK_STUCK);
    EXPECT_EQ(end, WALK_DONE);
    EXPECT_EQ(app.run.status, 0);
    // Nothing was saved: the file is as it was, however odd.
    EXPECT_EQ(settings_bytes(app), o.bytes);
    for (const std::string &message : app.messages())
        ADD_FAILURE() << "message: " << message;
}

INSTANTIATE_TEST_SUITE_P(
    settings_by_hand, odd, ::testing::ValuesIn(odd_files()),
    [](const ::testing::TestParamInfo<odd_settings> &info) { return info.param.name; });

} // namespace
