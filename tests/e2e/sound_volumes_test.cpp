// What the real program plays, captured through ALSA's file device and measured: each
// volume governs its own sound in the menu and in a game, a change in the options is heard
// without a restart, and a run without sound keeps the player's volumes in the file.
#include "app_e2e.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>

namespace {

using namespace app_e2e;

// Captured bytes measured after each mark (two thirds of a second of sound here).
const size_t SPAN = 256 * 1024;
// A level below this is silence (the mixer's silence is exactly 0).
const int QUIET = 64;
// The music volume's slider in the 640 x 480 options dialog.
const int MUSIC_SLIDER_X = 240, MUSIC_SLIDER_Y = 297;

struct level {
    int peak = 0;
    double rms = 0;
};

// Level of the captured 16-bit unsigned words between two byte offsets.
level measure(const std::vector<uint8_t> &bytes, size_t from, size_t to) {
    level l;
    double sum = 0;
    size_t n = 0;
    for (size_t i = from & ~(size_t)1; i + 1 < std::min(to, bytes.size()); i += 2, n++) {
        int v = (bytes[i] | bytes[i + 1] << 8) - 0x8000;
        l.peak = std::max(l.peak, std::abs(v));
        sum += (double)v * v;
    }
    l.rms = n ? std::sqrt(sum / (double)n) : 0;
    return l;
}

struct listening {
    app_run app;
    std::string capture;

    // The run directory with the game's own allegro.cfg (its sound device is ALSA's default).
    bool prepare(const config &cfg) {
        if (!app.prepare(&cfg)) return false;
        run_command(std::string("cp '") + CINDERMAZE_RUN_DIR + "/allegro.cfg' '" +
                    app.run.dir.path + "/'");
        use_small_maps(&app, {"alpha"}, {0x103a5c}, {0xd02020});
        capture = app.run.dir.file("capture.raw");
        return true;
    }
    // The default device is `pcm`, an ALSA definition.
    bool start(const std::string &pcm) {
        std::string conf = app.run.dir.file("asound.conf");
        write_text(conf, "pcm.!default " + pcm + "\n");
        return e2e_launch(&app.run, {}, {"ALSA_CONFIG_PATH=" + conf}) && app.wait_mode(800, 600) &&
               app.wait_menu();
    }
    bool start_captured() {
        return start("{ type file slave { pcm { type null } } file \"" + capture +
                     "\" format \"raw\" }");
    }
    size_t mark() { return read_file(capture).size(); }
    // The level of what is played from `from` on, once a span of it has been captured.
    level heard_after(size_t from) {
        auto end = std::chrono::steady_clock::now() + std::chrono::seconds(15);
        while (mark() < from + SPAN && std::chrono::steady_clock::now() < end)
            sleep_seconds(0.05);
        EXPECT_GE(mark(), from + SPAN) << "the sound device stopped";
        return measure(read_file(capture), from, from + SPAN);
    }
    // From the highlighted "Jouer" to a game on the small map.
    bool play() {
        app.key("Return");
        if (!app.wait_for([&](const screenshot &s) { return app.pixel(s, 320, 240) == 0xd02020; }))
            return false;
        app.key("Return");
        return app.wait_for(
            [&](const screenshot &s) { return count_colour(&app, s, 0x103a5c) > 2000; }, 10);
    }
};

// Levels of one run: the menu before and after a move, then each game before and after a
// bomb.
struct heard {
    level menu, menu_move;
    std::vector<level> game, bomb;
};

struct volumes {
    int music, effects;
};

// With the music on, one game per piece of music, the music directory holding that piece
// alone; with the music at 0, one game.
const char *const PIECES[] = {"braises", "galerie", "fournaise"};

heard listen(volumes v) {
    config cfg = silent_settings();
    cfg.music_volume = v.music;
    cfg.effects_volume = v.effects;
    listening l;
    EXPECT_TRUE(l.prepare(cfg));
    std::string dir = "'" + l.app.run.dir.path + "'";
    run_command("mv " + dir + "/music " + dir + "/pieces && mkdir " + dir + "/music");
    // What the sound convention says not to load is not there to be loaded.
    if (v.effects == 0) run_command("rm -f " + dir + "/sounds/*.wav");
    if (v.music == 0) {
        run_command("rm -f " + dir + "/sounds/*.mid");
        write_text(l.app.run.dir.file("music/broken.mid"), "not a midi file");
    }
    heard h;
    if (!l.start_captured()) {
        ADD_FAILURE() << "no menu";
        return h;
    }
    h.menu = l.heard_after(l.mark());
    size_t at = l.mark();
    l.app.key("Down");
    EXPECT_TRUE(l.app.wait_highlighted(PLAY));
    h.menu_move = l.heard_after(at);
    for (int game = 0; game < (v.music ? 3 : 1); game++) {
        if (v.music)
            run_command("rm -f " + dir + "/music/* && cp " + dir + "/pieces/" + PIECES[game] +
                        ".mid " + dir + "/music/");
        if (game > 0) {
            l.app.key("Down");
            EXPECT_TRUE(l.app.wait_highlighted(PLAY));
        }
        EXPECT_TRUE(l.play());
        h.game.push_back(l.heard_after(l.mark()));
        at = l.mark();
        l.app.key("space");
        h.bomb.push_back(l.heard_after(at));
        l.app.key("Escape");
        EXPECT_TRUE(l.app.wait_menu());
    }
    EXPECT_TRUE(l.app.quits_from_menu());
    EXPECT_TRUE(l.app.messages().empty());
    printf("music %3d effects %3d | peak/rms: menu %5d/%4.0f  move %5d/%4.0f", v.music, v.effects,
           h.menu.peak, h.menu.rms, h.menu_move.peak, h.menu_move.rms);
    for (size_t i = 0; i < h.game.size(); i++)
        printf(" | game %5d/%4.0f  bomb %5d/%4.0f", h.game[i].peak, h.game[i].rms, h.bomb[i].peak,
               h.bomb[i].rms);
    printf("\n");
    return h;
}

TEST(sound_volumes, each_volume_governs_its_own_sound_in_the_menu_and_in_a_game) {
    const volumes cases[] = {{150, 0}, {75, 0}, {0, 200}, {0, 100}, {0, 0}};
    std::vector<heard> h;
    for (volumes v : cases)
        h.push_back(listen(v));
    // The music alone, every piece of it: heard with the effects at 0, where no effect is
    // ever loaded.
    for (int i : {0, 1}) {
        EXPECT_GT(h[i].menu.rms, 300) << cases[i].music;
        for (const level &game : h[i].game)
            EXPECT_GT(game.rms, 300) << cases[i].music;
    }
    // The effects alone: silence until a menu move or a bomb, then the effect.
    for (int i : {2, 3}) {
        EXPECT_LT(h[i].menu.peak, QUIET) << cases[i].effects;
        EXPECT_GT(h[i].menu_move.peak, 1000) << cases[i].effects;
        EXPECT_LT(h[i].game.at(0).peak, QUIET) << cases[i].effects;
        EXPECT_GT(h[i].bomb.at(0).peak, 1000) << cases[i].effects;
    }
    // Both at 0: silence throughout.
    for (const level &l : {h[4].menu, h[4].menu_move, h[4].game.at(0), h[4].bomb.at(0)})
        EXPECT_LT(l.peak, QUIET);
    // Half the volume, clearly quieter.
    EXPECT_LT(h[1].menu.rms, 0.7 * h[0].menu.rms);
    for (size_t piece = 0; piece < h[0].game.size() && piece < h[1].game.size(); piece++)
        EXPECT_LT(h[1].game[piece].rms, 0.7 * h[0].game[piece].rms) << PIECES[piece];
    EXPECT_LT(h[3].menu_move.peak, 0.7 * h[2].menu_move.peak);
    EXPECT_LT(h[3].bomb.at(0).peak, 0.7 * h[2].bomb.at(0).peak);
}

// Raises the music slider to its top in the options dialog and saves.
void music_to_the_top_in_the_options(app_run *app) {
    app->key("Up");
    app->key("Up");
    ASSERT_TRUE(app->wait_highlighted(OPTIONS));
    app->key("Return");
    ASSERT_TRUE(app->wait_mode(640, 480));
    // The dialog is up (the window may still move into place after the switch).
    ASSERT_TRUE(app->wait_for([&](const screenshot &s) {
        return app->wait_mode(640, 480, 0.1) && app->pixel(s, 636, 476) != 0;
    }));
    // The focus follows the pointer; Allegro may drop the first move after a mode switch.
    for (int dx : {0, 4, 8}) {
        app->move(MUSIC_SLIDER_X + dx, MUSIC_SLIDER_Y);
        sleep_seconds(0.15);
    }
    app->key("End");
    app->key("s");
    ASSERT_TRUE(app->wait_mode(800, 600));
    ASSERT_TRUE(app->wait_menu());
}

// Started with the music at 0, the menu music has never been loaded: raised in the options,
// it starts on the way back to the menu.
TEST(sound_volumes, music_raised_in_the_options_is_heard_back_in_the_menu) {
    config cfg = silent_settings();
    listening l;
    ASSERT_TRUE(l.prepare(cfg));
    ASSERT_TRUE(l.start_captured());
    music_to_the_top_in_the_options(&l.app);
    EXPECT_EQ(l.app.saved().music_volume, 255);
    EXPECT_GT(l.heard_after(l.mark()).rms, 300);
    EXPECT_TRUE(l.app.quits_from_menu());
}

// Without a sound device the run is silent, yet the saves keep the volumes of the file and
// those chosen in the options.
TEST(sound_volumes, a_run_without_sound_saves_the_players_volumes) {
    config cfg = silent_settings();
    cfg.music_volume = 90;
    cfg.effects_volume = 170;
    listening l;
    ASSERT_TRUE(l.prepare(cfg));
    ASSERT_TRUE(l.start("{ type hw card 99 }"));
    music_to_the_top_in_the_options(&l.app);
    l.app.key("Down");
    l.app.key("Down");
    ASSERT_TRUE(l.app.wait_highlighted(KEYS));
    l.app.key("Return");
    // Each answer shows in yellow for a second before the next question.
    auto answered = [&](const screenshot &s) {
        return count_colour(&l.app, s, 0xffff00, 0, 240, 800, 380) > 30;
    };
    for (const char *k : {"a", "b", "c", "d", "e", "f", "g"}) {
        l.app.key(k);
        ASSERT_TRUE(l.app.wait_for(answered, 4)) << k;
        ASSERT_TRUE(l.app.wait_for([&](const screenshot &s) { return !answered(s); }, 4)) << k;
    }
    ASSERT_TRUE(l.app.wait_menu());
    config after = l.app.saved();
    EXPECT_EQ(after.key_pause, KEY_G);
    EXPECT_EQ(after.music_volume, 255);
    EXPECT_EQ(after.effects_volume, 170);
    EXPECT_TRUE(l.app.quits_from_menu());
}

} // namespace
