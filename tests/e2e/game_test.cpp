// Games of the real program, from the menu through the chooser, to each of their ends and
// back to the menu; a map the game refuses.
#include "e2e.h"

#include <allegro.h>
#include <gtest/gtest.h>

namespace {

const uint32_t FLOOR = 0x0a3c14;

struct game_end {
    const char *name;
    std::vector<std::string> rows;
    int time_limit, display_method, effects;
    const char *key;   // held until the end shows
    const char *shows; // "win", "lose", "too big", or "menu"
    std::vector<std::string> messages;
};

void PrintTo(const game_end &e, std::ostream *out) {
    *out << e.name;
}

const std::vector<std::string> ROOM = {"####################", "#P.................#",
                                       "#..................#", "#................D.#",
                                       "####################"};

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
        {"time_up", ROOM, 3, 0, 0, "", "lose", {}},
        // A record asking for page flipping plays in double buffering, and says so once.
        {"quit_key",
         ROOM,
         90,
         1,
         0,
         "Escape",
         "menu",
         {"Page flipping non support\351 ! Essayez en plein \351cran, si ce n'est pas d\351j\340 "
          "le "
          "cas, ou choisissez un autre mode vid\351o.\nPassage automatique en double buffering "
          "pour "
          "cette partie."}},
        {"map_too_big", wide, 90, 0, 0, "", "too big", {}},
    };
}

class game : public ::testing::TestWithParam<game_end> {};

TEST_P(game, reaches_its_end_and_the_menu_comes_back) {
    const game_end &e = GetParam();
    config cfg = quiet_settings();
    cfg.time_limit = e.time_limit, cfg.display_method = (int8_t)e.display_method;
    cfg.effects_volume = e.effects;
    e2e_run run;
    ASSERT_TRUE(e2e_prepare(&run, &cfg));
    e2e_only_maps(&run, {"test"}, {e.rows}, FLOOR, {0x808080});
    std::vector<std::string> env;
    if (e.effects) { // everything played goes to a file instead of the null device
        std::vector<uint8_t> cfg_file = read_file(CINDERMAZE_RUN_DIR "/allegro.cfg");
        e2e_put(&run, "allegro.cfg", cfg_file);
        write_text(run.file("asound.conf"),
                   "pcm.!default { type file slave { pcm { type null } } file \"" +
                       run.file("played.raw") + "\" format \"raw\" }\n");
        env.push_back("ALSA_CONFIG_PATH=" + run.file("asound.conf"));
    }
    ASSERT_TRUE(e2e_launch(&run, env));
    ASSERT_TRUE(e2e_wait_menu(&run));
    ASSERT_TRUE(e2e_menu_choose(&run, MENU_PLAY));
    ASSERT_TRUE(e2e_wait(
        &run, [&](const screenshot &s) { return e2e_pixel(&run, s, 320, 240) == 0x808080; }));
    ASSERT_TRUE(e2e_hold(&run, "Return", [&](const screenshot &s) {
        return e2e_pixel(&run, s, 320, 240) != 0x808080;
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
    }
    auto end_shows = [&](const screenshot &s) {
        // The 512 x 384 win picture centred, the lose picture stretched over the screen.
        if (shows == "win") return e2e_match(&run, s, "graphics/fin_gagne.bmp", 144, 108) > 0.9;
        if (shows == "lose")
            return e2e_match(&run, s, "graphics/fin_perd.bmp", 0, 0, 800, 600) > 0.9;
        if (shows == "too big") return on_screen(s, 0xffff00) > 300;
        return e2e_wait_window(&run, 800, 600, 0.01) && e2e_menu_highlight(&run, s) != -2;
    };
    if (*e.key)
        EXPECT_TRUE(e2e_hold(&run, e.key, end_shows, 15));
    else
        EXPECT_TRUE(e2e_wait(&run, end_shows, 15));
    EXPECT_TRUE(e2e_wait_menu(&run));
    EXPECT_TRUE(e2e_quit_from_menu(&run));
    EXPECT_EQ(e2e_messages(&run), e.messages);
    if (e.effects) { // some of what was played is not silence
        std::vector<uint8_t> played = read_file(run.file("played.raw"));
        size_t loud = 0;
        for (size_t i = 0; i + 1 < played.size(); i += 2)
            loud += abs((int16_t)(played[i] | played[i + 1] << 8) -
                        (int16_t)(played[0] | played[1] << 8)) > 64;
        EXPECT_GT(loud, played.size() / 200);
    }
}

INSTANTIATE_TEST_SUITE_P(ends, game, ::testing::ValuesIn(ends()),
                         [](const ::testing::TestParamInfo<game_end> &info) {
                             return info.param.name;
                         });

} // namespace
