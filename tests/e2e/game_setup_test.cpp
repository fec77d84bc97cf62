// The set-up of a game against missing or broken files: each ends the program with its
// message and no crash; and the sound settings that make some files unnecessary.
#include "game_e2e.h"

#include <gtest/gtest.h>

using namespace game_e2e;

namespace {

const std::vector<std::string> ROOM = {
    "##########", //
    "#P.....D.#", //
    "#........#", //
    "##########", //
};

// Plays on a broken copy of the data and expects the set-up to stop with `text`.
struct broken_game {
    game_e2e_run g;
    std::vector<std::string> messages;
    void run(const std::function<void(game_e2e_run *)> &damage, const config &cfg,
             int image_frames = 6) {
        ASSERT_TRUE(g.prepare(ROOM, "test", image_frames));
        damage(&g);
        ASSERT_TRUE(g.launch(cfg));
        ASSERT_TRUE(e2e_wait_exit(&g.run, 15));
        EXPECT_EQ(g.run.status, 1) << "the set-up failure ends the program, without a crash";
        EXPECT_TRUE(g.game_line(1).empty() || g.game_line(1).rfind("game 1 result 1", 0) == 0)
            << g.game_line(1);
        messages = g.messages();
    }
};

void expect_fatal(const std::vector<std::string> &messages, const std::string &text) {
    ASSERT_FALSE(messages.empty());
    EXPECT_EQ(messages.back().rfind("Erreur : " + text + "\nAllegro_error : ", 0), 0u)
        << messages.back();
}

void remove_file(game_e2e_run *g, const std::string &name) {
    ASSERT_EQ(remove(g->run.dir.file(name).c_str()), 0) << name;
}

TEST(game_setup, the_font_file_missing_or_without_a_font_is_fatal) {
    broken_game missing;
    missing.run([](game_e2e_run *g) { remove_file(g, "bktype.dat"); }, test_settings());
    expect_fatal(missing.messages, "Echec du chargement du datafile bktype.dat");

    // An unpacked datafile with no object at all.
    broken_game empty;
    empty.run(
        [](game_e2e_run *g) {
            write_text(g->run.dir.file("bktype.dat"), std::string("slh.ALL.\0\0\0\0", 12));
        },
        test_settings());
    expect_fatal(empty.messages, "Echec du chargement de la font bktype.");

    // A datafile whose first object is four bytes of plain data, not a font.
    broken_game not_a_font;
    not_a_font.run(
        [](game_e2e_run *g) {
            write_text(g->run.dir.file("bktype.dat"),
                       std::string("slh.ALL.\0\0\0\1DATA\0\0\0\4\0\0\0\4abcd", 28));
        },
        test_settings());
    expect_fatal(not_a_font.messages, "Echec du chargement de la font bktype.");
}

TEST(game_setup, missing_pictures_are_fatal) {
    broken_game timer;
    timer.run([](game_e2e_run *g) { remove_file(g, "graphics/timer.bmp"); }, test_settings());
    expect_fatal(timer.messages, "Echec du chargement du bitmap graphic/timer.bmp");

    broken_game end;
    end.run([](game_e2e_run *g) { remove_file(g, "graphics/fin_perd.bmp"); }, test_settings());
    expect_fatal(end.messages, "Echec du chargement des bitmaps graphic/ecran_fin_*.bmp");

    broken_game strip;
    strip.run([](game_e2e_run *g) { remove_file(g, "graphics/monster.bmp"); }, test_settings());
    ASSERT_GE(strip.messages.size(), 2u);
    EXPECT_EQ(strip.messages[strip.messages.size() - 2],
              "Ne peut charger la bitmap graphics/monster.bmp");
    expect_fatal(strip.messages,
                 "La création des bitmaps a échoué. Essayez de libérer de la mémoire vive, de "
                 "prendre une petite résolution, de choisir le mode d'affichage DOUBLE BUFFER "
                 "et de désactiver le son.");
}

TEST(game_setup, broken_music_or_a_missing_effect_is_fatal_when_its_volume_is_on) {
    config music_on = test_settings();
    music_on.music_volume = 150;
    broken_game music;
    music.run(
        [](game_e2e_run *g) {
            run_command("rm -rf '" + g->run.dir.file("music") + "'");
            make_dirs(g->run.dir.file("music"));
            write_text(g->run.dir.file("music/broken.mid"), "not a midi file");
        },
        music_on);
    expect_fatal(music.messages, "Impossible de charger le fichier son 'musique de fond' : "
                                 "essayez de désactiver le son.");

    broken_game effect;
    effect.run([](game_e2e_run *g) { remove_file(g, "sounds/explosion.wav"); }, test_settings());
    expect_fatal(effect.messages, "Impossible de charger les fichiers sons 'effets' : essayez "
                                  "de désactiver le son.");
}

// (A map file that cannot be read is no fatal error: the chooser comes back.)
TEST(game_setup, a_missing_or_narrow_map_picture_is_fatal) {
    broken_game missing;
    missing.run([](game_e2e_run *) {}, test_settings(), 0);
    expect_fatal(missing.messages, "Image de la map introuvable ou incomplète (sol, mur et deux "
                                   "étapes de bloc au moins) : maps/test.bmp");

    broken_game narrow;
    narrow.run([](game_e2e_run *) {}, test_settings(), 3);
    expect_fatal(narrow.messages, "Image de la map introuvable ou incomplète (sol, mur et deux "
                                  "étapes de bloc au moins) : maps/test.bmp");
}

TEST(game_setup, with_sound_off_the_sound_files_are_not_needed) {
    game_e2e_run g;
    ASSERT_TRUE(g.prepare(ROOM));
    run_command("rm -f '" + g.run.dir.path + "'/sounds/*.wav");
    make_dirs(g.run.dir.file("music"));
    write_text(g.run.dir.file("music/broken.mid"), "not a midi file");
    std::string capture = g.run.dir.file("capture.raw");
    std::string alsa = alsa_capture_config(g.run.dir, capture);
    config cfg = test_settings();
    cfg.effects_volume = 0;
    cfg.music_volume = 0;
    ASSERT_TRUE(g.launch(cfg, {}, {"ALSA_CONFIG_PATH=" + alsa}));
    ASSERT_TRUE(g.wait_window());
    ASSERT_TRUE(g.wait_field((800 - 320) / 2, (600 - 128) / 2));
    // A bomb laid and exploding makes no sound.
    press_key(&g.run, "space");
    e2e_key_down(&g.run, "Right");
    sleep_seconds(0.4);
    e2e_key_up(&g.run, "Right");
    sleep_seconds(3.5);
    press_key(&g.run, "Escape");
    ASSERT_TRUE(e2e_wait_exit(&g.run, 10));
    EXPECT_EQ(g.game_line(1).rfind("game 1 result 0", 0), 0u) << g.game_line(1);
    EXPECT_TRUE(g.messages().empty());
    EXPECT_EQ(loud_share(capture), 0.0);
}

TEST(game_setup, music_on_without_any_piece_of_music_plays_silently) {
    game_e2e_run g;
    ASSERT_TRUE(g.prepare(ROOM));
    run_command("rm -rf '" + g.run.dir.file("music") + "'");
    config cfg = test_settings();
    cfg.music_volume = 150;
    ASSERT_TRUE(g.launch(cfg));
    ASSERT_TRUE(g.wait_window());
    ASSERT_TRUE(g.wait_field((800 - 320) / 2, (600 - 128) / 2));
    press_key(&g.run, "Escape");
    ASSERT_TRUE(e2e_wait_exit(&g.run, 10));
    EXPECT_EQ(g.game_line(1).rfind("game 1 result 0", 0), 0u) << g.game_line(1);
    EXPECT_TRUE(g.messages().empty());
}

} // namespace
