// The key binding screen in the real program: seven questions, a key already given in
// the same pass refused, keys typed during an answer thrown away, the file rewritten.
#include "app_e2e.h"

namespace {

using namespace app_e2e;

const uint32_t BLUE = 0x0000ff, YELLOW = 0xffff00, RED = 0xff0000;

struct keys_e2e : ::testing::Test {
    app_run app;
    config before;

    void SetUp() override {
        before = silent_settings();
        before.gfx_card = GFX_AUTODETECT_WINDOWED;
        before.display_method = 1;
        before.vsync = 1;
        before.screen_w = 1024;
        before.screen_h = 768;
        before.time_limit = 150;
        ASSERT_TRUE(app.prepare(&before));
        ASSERT_TRUE(app.start());
        app.key("Down");
        app.key("Down");
        ASSERT_TRUE(app.wait_highlighted(KEYS));
        app.key("Return");
        ASSERT_TRUE(wait_colour(BLUE, true));
    }
    // Texts are told apart by their colours, in the band around the middle of the screen.
    int colour_count(const screenshot &s, uint32_t rgb) {
        return count_colour(&app, s, rgb, 0, 240, 800, 380);
    }
    bool wait_colour(uint32_t rgb, bool shown, double seconds = 4) {
        return app.wait_for(
            [&](const screenshot &s) { return (colour_count(s, rgb) > 30) == shown; }, seconds);
    }
    // Gives one answer: the key's name shows (yellow) for a second, then the next question.
    void answer(const std::string &keysym) {
        app.key(keysym);
        ASSERT_TRUE(wait_colour(YELLOW, true)) << keysym;
        ASSERT_TRUE(wait_colour(YELLOW, false)) << keysym;
    }
    void expect_unchanged_but_keys(const config &after) {
        EXPECT_EQ(after.gfx_card, before.gfx_card);
        EXPECT_EQ(after.display_method, before.display_method);
        EXPECT_EQ(after.vsync, before.vsync);
        EXPECT_EQ(after.music_volume, before.music_volume);
        EXPECT_EQ(after.effects_volume, before.effects_volume);
        EXPECT_EQ(after.screen_w, before.screen_w);
        EXPECT_EQ(after.screen_h, before.screen_h);
        EXPECT_EQ(after.time_limit, before.time_limit);
    }
};

// Escape is bound like any other key, and the old key of "haut" is free for "bas".
TEST_F(keys_e2e, seven_answers_are_saved_in_order_with_the_other_settings_unchanged) {
    const char *keys[7] = {"a", "Up", "c", "d", "e", "Escape", "g"};
    for (const char *k : keys)
        answer(k);
    ASSERT_TRUE(app.wait_menu());
    config after = app.saved();
    EXPECT_EQ(after.key_up, KEY_A);
    EXPECT_EQ(after.key_down, KEY_UP);
    EXPECT_EQ(after.key_left, KEY_C);
    EXPECT_EQ(after.key_right, KEY_D);
    EXPECT_EQ(after.key_bomb, KEY_E);
    EXPECT_EQ(after.key_quit, KEY_ESC);
    EXPECT_EQ(after.key_pause, KEY_G);
    expect_unchanged_but_keys(after);
    EXPECT_TRUE(app.quits_from_menu());
}

TEST_F(keys_e2e, a_key_taken_in_this_pass_is_refused_and_keys_typed_meanwhile_are_lost) {
    app.key("a");
    ASSERT_TRUE(wait_colour(YELLOW, true));
    // Typed while the answer shows: thrown away, so it does not answer "bas".
    app.key("z");
    ASSERT_TRUE(wait_colour(YELLOW, false));
    app.key("a");
    ASSERT_TRUE(wait_colour(RED, true));
    ASSERT_TRUE(wait_colour(RED, false));
    const char *rest[6] = {"b", "c", "d", "e", "f", "g"};
    for (const char *k : rest)
        answer(k);
    ASSERT_TRUE(app.wait_menu());
    config after = app.saved();
    EXPECT_EQ(after.key_up, KEY_A);
    EXPECT_EQ(after.key_down, KEY_B);
    EXPECT_EQ(after.key_pause, KEY_G);
    expect_unchanged_but_keys(after);
    EXPECT_TRUE(app.quits_from_menu());
}

// The screen's font comes from bktype.dat: a datafile without a font ends the program.
TEST(keys_screen, a_datafile_without_a_font_is_fatal) {
    config cfg = silent_settings();
    app_run app;
    ASSERT_TRUE(app.prepare(&cfg));
    ASSERT_TRUE(app.start());
    write_text(app.run.dir.file("bktype.dat"),
               std::string("slh.ALL.\0\0\0\1DATA\0\0\0\4\0\0\0\4abcd", 28));
    app.key("Down");
    app.key("Down");
    ASSERT_TRUE(app.wait_highlighted(KEYS));
    app.key("Return");
    ASSERT_TRUE(e2e_wait_exit(&app.run, 10));
    EXPECT_EQ(app.run.status, 1);
    std::vector<std::string> messages = app.messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].rfind("Erreur : Echec du chargement de la font bktype.\n", 0), 0u)
        << messages[0];
    EXPECT_EQ(read_file(app.settings_path()), bytes_of(cfg));
}

} // namespace
