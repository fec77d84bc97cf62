// Games of the real program, from the menu through the chooser, to each of their ends and
// back to the menu, where the pointer left nothing of the chooser or the game; the sound
// heard, captured through ALSA's file device.
#include "e2e.h"

#include <algorithm>
#include <allegro.h>
#include <gtest/gtest.h>

namespace {

const uint32_t FLOOR = 0x0a3c14, THUMB = 0x13579b;

// Everything played goes to run/played.raw instead of the null device.
std::vector<std::string> capture_sound(e2e_run *run) {
    e2e_put(run, "allegro.cfg", read_file(CINDERMAZE_RUN_DIR "/allegro.cfg"));
    write_text(run->file("asound.conf"), "pcm.!default { type file slave { pcm { type null } } "
                                         "file \"" +
                                             run->file("played.raw") + "\" format \"raw\" }\n");
    return {"ALSA_CONFIG_PATH=" + run->file("asound.conf")};
}

// Words of 16-bit sound played in `span` bytes from byte `from` on, and how many are far from
// the first word played (the mixer's silence); while the program runs, waits for all of them.
const size_t SPAN = 256 * 1024; // 0.67 s
std::pair<size_t, size_t> loudness(e2e_run *run, size_t from, size_t span = SPAN) {
    std::vector<uint8_t> b = read_file(run->file("played.raw")); // if it has ended
    e2e_wait(run, [&](const screenshot &) {
        return (b = read_file(run->file("played.raw"))).size() >= from + span;
    });
    size_t words = 0, loud = 0;
    for (size_t i = from & ~(size_t)1; i + 1 < std::min(b.size(), from + span); i += 2, words++)
        loud += abs((int16_t)(b[i] | b[i + 1] << 8) - (int16_t)(b[0] | b[1] << 8)) > 64;
    return {words, loud};
}

struct game_end {
    const char *name;
    std::vector<std::string> rows;
    int time_limit, display_method, effects;
    const char *key;   // held until the end shows
    const char *shows; // "win", "lose", "too big", or "menu"
    std::vector<std::string> messages;
};

const std::vector<std::string> ROOM = {"####################", "#P.................#",
                                       "#..................#", "#................D.#",
                                       "####################"};

const char *const PAGE_FLIPPING_REFUSED =
    "Page flipping non support\351 ! Essayez en plein \351cran, si ce n'est pas d\351j\340 le "
    "cas, ou choisissez un autre mode vid\351o.\nPassage automatique en double buffering pour "
    "cette partie.";

std::vector<game_end> ends() {
    std::vector<std::string> won = ROOM, monster = ROOM, wide(11, "#" + std::string(24, '.') + "#");
    won[1] = "#P.D...............#";
    won[3] = "#..................#";
    monster[1] = "#P...M.............#";
    wide[0] = wide[10] = std::string(26, '#');
    wide[1] = "#P" + std::string(22, '.') + "D#";
    return {
        // The diamond's and the win's sounds are heard.
        {"won", won, 90, 0, 200, "Right", "win", {}},
        {"lost_to_a_monster", monster, 90, 0, 0, "Right", "lose", {}},
        // Time enough to see the field first: a game's seconds follow its ticks, in real time.
        {"time_up", ROOM, 8, 0, 0, "", "lose", {}},
        // A record asking for page flipping plays in double buffering, and says so once.
        {"quit_key", ROOM, 90, 1, 0, "Escape", "menu", {PAGE_FLIPPING_REFUSED}},
        {"map_too_big", wide, 90, 0, 0, "", "too big", {}},
    };
}

void PrintTo(const game_end &e, std::ostream *out) {
    *out << e.name;
}

class game : public ::testing::TestWithParam<game_end> {};

TEST_P(game, reaches_its_end_and_the_menu_comes_back) {
    const game_end &e = GetParam();
    config cfg = quiet_settings();
    cfg.time_limit = e.time_limit, cfg.display_method = (int8_t)e.display_method;
    cfg.effects_volume = e.effects;
    e2e_run run;
    ASSERT_TRUE(e2e_prepare(&run, &cfg));
    e2e_only_maps(&run, {"test"}, {e.rows}, FLOOR, {THUMB});
    ASSERT_TRUE(e2e_launch(&run, e.effects ? capture_sound(&run) : std::vector<std::string>{}));
    ASSERT_TRUE(e2e_wait_menu(&run));
    ASSERT_TRUE(e2e_menu_choose(&run, MENU_PLAY));
    ASSERT_TRUE(
        e2e_wait(&run, [&](const screenshot &s) { return e2e_pixel(&run, s, 320, 240) == THUMB; }));
    e2e_move(&run, 320, 240);
    ASSERT_TRUE(e2e_hold(&run, "Return", [&](const screenshot &s) {
        return e2e_pixel(&run, s, 320, 240) != THUMB;
    }));
    // Allegro moves its one window to the game's mode: found again once the game shows.
    auto on_screen = [](const screenshot &s, uint32_t rgb) {
        int n = 0;
        for (int i = 0; i < s.width * s.height; i++)
            n += s.pixel(i % s.width, i / s.width) == rgb;
        return n;
    };
    std::string shows = e.shows;
    if (shows != "too big") {
        ASSERT_TRUE(
            e2e_wait(&run, [&](const screenshot &s) { return on_screen(s, FLOOR) > 2000; }));
        ASSERT_TRUE(e2e_wait_window(&run, 800, 600));
        EXPECT_EQ(e2e_count(&run, e2e_shot(&run), 0x5a5a78, 0, 0, 80, 600), 0)
            << "the field is centred";
        e2e_move(&run, 410, 310);
    }
    auto end_shows = [&](const screenshot &s) {
        // The 512 x 384 win picture centred, the lose picture stretched over the screen.
        if (shows == "win") return e2e_match(&run, s, "graphics/fin_gagne.bmp", 144, 108) > 0.9;
        if (shows == "lose")
            return e2e_match(&run, s, "graphics/fin_perd.bmp", 0, 0, 800, 600) > 0.9;
        if (shows == "too big") return on_screen(s, 0xffff00) > 300;
        return e2e_lit(&run, MENU_ANY)(s);
    };
    if (*e.key)
        EXPECT_TRUE(e2e_hold(&run, e.key, end_shows, 15));
    else
        EXPECT_TRUE(e2e_wait(&run, end_shows, 15));
    EXPECT_TRUE(e2e_wait_menu(&run));
    ASSERT_TRUE(e2e_point(&run, MENU_BUTTON_X[MENU_QUIT] + 10, MENU_BUTTON_Y[MENU_QUIT] + 10,
                          e2e_lit(&run, MENU_QUIT)));
    screenshot menu = e2e_shot(&run);
    EXPECT_EQ(e2e_count(&run, menu, FLOOR) + e2e_count(&run, menu, THUMB), 0) << "patches";
    EXPECT_TRUE(e2e_quit_from_menu(&run));
    EXPECT_EQ(e2e_messages(&run), e.messages);
    size_t played = read_file(run.file("played.raw")).size(); // some of it not silence
    EXPECT_TRUE(!e.effects || loudness(&run, 0, played).second > played / 200);
}

INSTANTIATE_TEST_SUITE_P(ends, game, ::testing::ValuesIn(ends()),
                         [](const ::testing::TestParamInfo<game_end> &info) {
                             return info.param.name;
                         });

// The music raised to the top in the options (End over its slider, then 's'): heard back in
// the menu where it was 0 before; without a sound card, the saves keep the player's volumes.
TEST(sound, music_raised_in_the_options_is_heard_and_saved_without_a_card_too) {
    for (bool card : {true, false}) {
        config cfg = quiet_settings();
        cfg.effects_volume = card ? 0 : 170;
        e2e_run run;
        ASSERT_TRUE(e2e_prepare(&run, &cfg));
        std::vector<std::string> env = capture_sound(&run);
        if (!card) write_text(run.file("asound.conf"), "pcm.!default { type hw card 99 }\n");
        ASSERT_TRUE(e2e_launch(&run, env) && e2e_wait_menu(&run));
        ASSERT_TRUE(e2e_menu_choose(&run, MENU_OPTIONS) && e2e_wait_window(&run, 640, 480));
        // The dialog is drawn, its window in place (it may still move after the switch).
        auto placed = [&](const screenshot &s) {
            return e2e_wait_window(&run, 640, 480, 0.1) && e2e_pixel(&run, s, 636, 476) != 0 &&
                   e2e_count(&run, s, 0, 0, 0, 640, 480) < 100000;
        };
        ASSERT_TRUE(e2e_wait(&run, placed));
        // The focus follows the pointer, once Allegro sees it move: End until the slider moves.
        screenshot before = e2e_shot(&run);
        auto moved = [&](const screenshot &s) {
            int changed = 0;
            for (int x = 162; x < 330; x++)
                changed += e2e_pixel(&run, s, x, 297) != e2e_pixel(&run, before, x, 297);
            return changed > 3;
        };
        bool slid = false;
        for (int dx = 0; dx < 24 && !slid; dx += 3) {
            e2e_wait_window(&run, 640, 480, 0.1);
            e2e_move(&run, 240 + dx, 297);
            slid = e2e_hold(&run, "End", moved, 1.5);
        }
        ASSERT_TRUE(slid);
        ASSERT_TRUE(e2e_hold(&run, "s", e2e_lit(&run, MENU_ANY)));
        cfg.music_volume = 255; // the effects' volume kept, with or without a card
        EXPECT_EQ(e2e_settings_bytes(&run), record_bytes(cfg));
        size_t played = read_file(run.file("played.raw")).size(); // then 0.67 s, half loud
        EXPECT_TRUE(!card || loudness(&run, played).second > SPAN / 4) << "the music is heard";
        EXPECT_TRUE(e2e_quit_from_menu(&run));
    }
}

} // namespace
