// The settings file: its bytes, round trips, repairs and safe saving.
#include "config.h"
#include "test_util.h"

#include <allegro.h>
#include <cstring>
#include <gtest/gtest.h>

namespace {

struct config_dir : ::testing::Test {
    temp_dir dir;
    scoped_cwd *cwd = nullptr;
    void SetUp() override {
        make_dirs(dir.file("save"));
        cwd = new scoped_cwd(dir.path);
    }
    void TearDown() override { delete cwd; }
};

const uint8_t DEFAULT_FILE[56] = {
    0x01, 0, 0, 0, 0x00, 0x00, 0, 0, 0x96, 0, 0, 0, 0xc8, 0, 0, 0, 0x20, 0x03, 0, 0,
    0x58, 0x02, 0, 0, 0x5a, 0, 0, 0, 0x54, 0, 0, 0, 0x55, 0, 0, 0, 0x52, 0, 0, 0,
    0x53, 0, 0, 0, 0x4b, 0, 0, 0, 0x3b, 0, 0, 0, 0x10, 0, 0, 0};

TEST_F(config_dir, first_start_writes_the_default_file) {
    config *cfg = load_config();
    std::vector<uint8_t> bytes = read_file("save/config.czc");
    ASSERT_EQ(bytes.size(), 56u);
    for (size_t i = 0; i < 56; i++) {
        if (i != 6 && i != 7) {
            EXPECT_EQ(bytes[i], DEFAULT_FILE[i]) << "byte " << i;
        }
    }
    EXPECT_EQ(cfg->time_limit, 90);
    EXPECT_EQ(cfg->key_pause, KEY_P);
    EXPECT_FALSE(file_exists("save/config.czc.tmp"));
    free(cfg);
}

TEST_F(config_dir, every_field_survives_a_save_and_a_load) {
    config *cfg = load_config();
    make_config(cfg, 0x53414645, 2, 1, 7, 255, 1024, 768, 300, KEY_W, KEY_S, KEY_A, KEY_D,
                KEY_LCONTROL, KEY_Q, KEY_ENTER);
    config *again = load_config();
    EXPECT_EQ(memcmp(cfg, again, sizeof(config)), 0);
    EXPECT_EQ(again->gfx_card, 0x53414645);
    EXPECT_EQ(read_file("save/config.czc")[0], 0x45); // "EFAS" little-endian
    EXPECT_EQ(again->display_method, 2);
    EXPECT_EQ(again->vsync, 1);
    EXPECT_EQ(again->key_bomb, KEY_LCONTROL);
    EXPECT_EQ(again->key_pause, KEY_ENTER);
    free(cfg);
    free(again);
}

TEST_F(config_dir, bytes_are_taken_as_stored_when_in_range) {
    std::vector<uint8_t> bytes(DEFAULT_FILE, DEFAULT_FILE + 56);
    bytes[4] = 7;    // display method with no meaning: kept, the display treats it as 0
    bytes[24] = 45;  // a time limit that is not a multiple of 30
    bytes[8] = 0;    // music off
    write_file("save/config.czc", bytes);
    config *cfg = load_config();
    EXPECT_EQ(cfg->display_method, 7);
    EXPECT_EQ(cfg->time_limit, 45);
    EXPECT_EQ(cfg->music_volume, 0);
    free(cfg);
}

TEST_F(config_dir, a_short_file_takes_defaults_for_what_was_not_read) {
    std::vector<uint8_t> bytes(DEFAULT_FILE, DEFAULT_FILE + 20);
    bytes[0] = 2;    // windowed
    bytes[16] = 0x80; // screen width 640
    bytes[17] = 0x02;
    write_file("save/config.czc", bytes);
    config *cfg = load_config();
    EXPECT_EQ(cfg->gfx_card, 2);
    EXPECT_EQ(cfg->screen_w, 640);
    EXPECT_EQ(cfg->screen_h, 600);
    EXPECT_EQ(cfg->time_limit, 90);
    EXPECT_EQ(cfg->key_up, KEY_UP);
    EXPECT_EQ(cfg->key_pause, KEY_P);
    free(cfg);
}

TEST_F(config_dir, an_empty_file_gives_the_defaults) {
    write_file("save/config.czc", {});
    config *cfg = load_config();
    config defaults;
    default_config(&defaults);
    EXPECT_EQ(memcmp(cfg, &defaults, sizeof defaults), 0);
    free(cfg);
}

TEST_F(config_dir, key_codes_outside_the_key_table_are_repaired) {
    std::vector<uint8_t> bytes(DEFAULT_FILE, DEFAULT_FILE + 56);
    bytes[28] = 0;                                   // key_up 0
    bytes[32] = KEY_MAX;                             // key_down past the table
    bytes[44] = 0xff, bytes[45] = 0xff, bytes[46] = 0xff, bytes[47] = 0xff; // key_bomb -1
    bytes[52] = KEY_MAX - 1;                         // last valid code stays
    write_file("save/config.czc", bytes);
    config *cfg = load_config();
    EXPECT_EQ(cfg->key_up, KEY_UP);
    EXPECT_EQ(cfg->key_down, KEY_DOWN);
    EXPECT_EQ(cfg->key_bomb, KEY_SPACE);
    EXPECT_EQ(cfg->key_pause, KEY_MAX - 1);
    EXPECT_EQ(cfg->key_left, KEY_LEFT);
    free(cfg);
}

TEST(config_repair, reports_whether_anything_changed) {
    config cfg;
    default_config(&cfg);
    EXPECT_FALSE(repair_config(&cfg, sizeof cfg));
    cfg.key_quit = 100000;
    EXPECT_TRUE(repair_config(&cfg, sizeof cfg));
    EXPECT_EQ(cfg.key_quit, KEY_ESC);
}

TEST_F(config_dir, a_save_that_cannot_write_keeps_the_old_file) {
    config cfg;
    default_config(&cfg);
    ASSERT_TRUE(write_config_file(&cfg, "save/config.czc"));
    cfg.time_limit = 300;
    EXPECT_FALSE(write_config_file(&cfg, "missing-dir/config.czc"));
    // A directory in the way of the temporary file makes the save fail: the old file stays.
    make_dirs("save/config.czc.tmp");
    EXPECT_FALSE(write_config_file(&cfg, "save/config.czc"));
    config back;
    std::vector<uint8_t> bytes = read_file("save/config.czc");
    ASSERT_EQ(bytes.size(), sizeof back);
    memcpy(&back, bytes.data(), sizeof back);
    EXPECT_EQ(back.time_limit, 90);
}

TEST(config_keys, the_seven_actions_map_to_their_fields_in_order) {
    config cfg;
    default_config(&cfg);
    EXPECT_EQ(config_key_field(&cfg, 0), &cfg.key_up);
    EXPECT_EQ(config_key_field(&cfg, 3), &cfg.key_right);
    EXPECT_EQ(config_key_field(&cfg, 6), &cfg.key_pause);
    EXPECT_EQ(config_key_field(&cfg, 7), nullptr);
    EXPECT_EQ(config_key_field(&cfg, -1), nullptr);
}

} // namespace
