// The program against what a player's machine may hold: each kind of missing or broken
// file with its message, a refused map, settings records no screen writes, kills during
// saves, a storm of random input, and Valgrind's memcheck. Their long forms (label soak) set
// CINDERMAZE_SETTINGS_STARTS, _KILL_ROUNDS, _STORM_SECONDS and _VALGRIND_SESSION.
#include "e2e.h"

#include <allegro.h>
#include <chrono>
#include <climits>
#include <fnmatch.h>
#include <gtest/gtest.h>
#include <random>

namespace {

double env_number(const char *name, double fallback) {
    const char *value = getenv(name);
    return value && *value ? atof(value) : fallback;
}

// The menu's or the chooser's background is on the screen (not a game).
bool background_shows(e2e_run *run, const screenshot &s) {
    return e2e_match(run, s, "graphics/fond.bmp", 0, 0) > 0.5;
}

// Menu, chooser, the first map, the quit key, the menu again, Escape: true when the walk
// got through; it stops where the program ends.
bool walk_through(e2e_run *run) {
    return e2e_launch(run) && e2e_wait_menu(run) && e2e_menu_choose(run, MENU_PLAY) &&
           e2e_wait(run, [&](const screenshot &s) { return background_shows(run, s); }) &&
           e2e_hold(run, "Return",
                    [&](const screenshot &s) { return !background_shows(run, s); }) &&
           e2e_hold(run, "Escape", e2e_lit(run, MENU_ANY), 15) && e2e_quit_from_menu(run);
}

struct file_kind {
    const char *name;
    const char *files;      // the built files of this kind, as shell patterns
    const char *taken;      // the one taken away (or broken) for the test
    int effects, music;     // volumes of the record
    const char *message;    // the fatal message, "" when the program plays on
    const char *first = ""; // a message shown before it, if any
};

const file_kind KINDS[] = {
    {"menu_background", "graphics/fond.bmp", "graphics/fond.bmp", 0, 0,
     "Erreur de chargement de la bitmap graphics/fond.bmp : v\351rifiez son existence."},
    {"buttons", "graphics/b?_o*.bmp graphics/prec_o*.bmp graphics/suiv_o*.bmp",
     "graphics/suiv_off.bmp", 0, 0, "Erreur de chargement des bitmaps du menu."},
    {"menu_sounds", "sounds/focus.wav sounds/go.wav sounds/quit.wav sounds/change.wav",
     "sounds/quit.wav", 200, 0,
     "Impossible de charger les fichiers sons du menu : essayez de d\351sactiver le son."},
    {"menu_music", "sounds/MENU.mid", "sounds/MENU.mid", 0, 150,
     "Impossible de charger le fichier son 'musique de fond' : essayez de d\351sactiver le son."},
    {"font", "bktype.dat", "bktype.dat", 0, 0, "Echec du chargement du datafile bktype.dat"},
    {"font_without_a_font", "", "bktype.dat=not a font", 0, 0,
     "Echec du chargement de la font bktype."},
    {"default_preview", "graphics/surprise.bmp", "graphics/surprise.bmp", 0, 0,
     "Ne peut charger la bitmap 'apper\347u par d\351faut'."},
    {"timer_icon", "graphics/timer.bmp", "graphics/timer.bmp", 0, 0,
     "Echec du chargement du bitmap graphic/timer.bmp"},
    {"end_pictures", "graphics/fin_*.bmp", "graphics/fin_perd.bmp", 0, 0,
     "Echec du chargement des bitmaps graphic/ecran_fin_*.bmp"},
    {"game_sounds",
     "sounds/drop.wav sounds/bonus.wav sounds/diamant.wav sounds/explosion.wav "
     "sounds/fin_*.wav",
     "sounds/explosion.wav", 200, 0,
     "Impossible de charger les fichiers sons 'effets' : essayez de d\351sactiver le son."},
    {"sprite_strips",
     "graphics/bonus.bmp graphics/player1.bmp graphics/bombs1.bmp "
     "graphics/diamond.bmp graphics/monster.bmp graphics/explo_*.bmp",
     "graphics/monster.bmp", 0, 0,
     "La cr\351ation des bitmaps a \351chou\351. Essayez de lib\351rer de la m\351moire vive, de "
     "prendre une petite r\351solution, de choisir le mode d'affichage DOUBLE BUFFER et de "
     "d\351sactiver le son.",
     "Ne peut charger la bitmap graphics/monster.bmp"},
    // The folder is made again, and the defaults written in it.
    {"save_directory", "", "save", 0, 0, ""},
    // Optional: other maps, thumbnails, pieces of music, the library's settings, the
    // synthesiser's instruments, every sound when its volume is 0, the map editor's list; a
    // map's picture strip (without it the map is refused, see maps_from_outside).
    {"optional",
     "maps/*.czm maps/*.bmp thbs/*.bmp music/*.mid allegro.cfg freepats.cfg sounds/* maps.list",
     "thbs/01-premiers-pas.bmp music/galerie.mid sounds/* allegro.cfg maps.list", 0, 0, ""},
};

void PrintTo(const file_kind &k, std::ostream *out) {
    *out << k.name;
}

class missing : public ::testing::TestWithParam<file_kind> {};

TEST_P(missing, ends_with_its_message_or_plays_on) {
    const file_kind &k = GetParam();
    config cfg = quiet_settings();
    cfg.effects_volume = k.effects, cfg.music_volume = k.music;
    e2e_run run;
    ASSERT_TRUE(e2e_prepare(&run, &cfg));
    std::vector<uint8_t> settings = e2e_settings_bytes(&run);
    // The first shipped map is played: the only one left.
    run_command("cd '" + run.dir.path + "' && ls maps/*.czm | tail -n +2 | xargs rm -f");
    std::string taken = k.taken;
    if (taken.find('=') != std::string::npos) // a datafile whose only object is data, not a font
        e2e_put(&run, "bktype.dat", bytes_of("slh.ALL.\0\0\0\1DATA\0\0\0\4\0\0\0\4abc"));
    else
        ASSERT_EQ(run_command("cd '" + run.dir.path + "' && rm -r " + taken), 0);
    bool done = walk_through(&run);
    ASSERT_TRUE(e2e_wait_exit(&run, 10)) << "the program hangs";
    std::vector<std::string> messages = e2e_messages(&run);
    EXPECT_EQ(run.status, *k.message ? 1 : 0) << "ends with its message, or plays on";
    EXPECT_EQ(done, !*k.message);
    ASSERT_EQ(messages.size(), (*k.message ? 1u : 0u) + (*k.first ? 1u : 0u));
    EXPECT_TRUE(!*k.first || messages[0] == k.first) << messages[0];
    EXPECT_TRUE(!*k.message || is_fatal(messages.back(), k.message)) << messages.back();
    config defaults;
    default_config(&defaults);
    EXPECT_EQ(e2e_settings_bytes(&run), taken == "save" ? record_bytes(defaults) : settings)
        << "the settings file was touched";
}

INSTANTIATE_TEST_SUITE_P(each_kind, missing, ::testing::ValuesIn(KINDS),
                         [](const ::testing::TestParamInfo<file_kind> &info) {
                             return info.param.name;
                         });

// The kinds above must follow the data: a file the build adds must belong to one.
TEST(missing_files, every_built_file_belongs_to_a_kind) {
    std::istringstream listing(
        capture_output("cd '" CINDERMAZE_RUN_DIR "' && find . -type f ! "
                       "-path './save/*' ! -name 'cindermaze*' -printf '%P\\n'"));
    int files = 0;
    for (std::string file; std::getline(listing, file); files++) {
        bool found = false;
        for (const file_kind &k : KINDS) {
            std::istringstream patterns(k.files);
            for (std::string pattern; patterns >> pattern;)
                found |= fnmatch(pattern.c_str(), file.c_str(), FNM_PATHNAME) == 0;
        }
        EXPECT_TRUE(found) << file << " belongs to no kind";
    }
    EXPECT_GT(files, 40);
}

// Maps the game refuses (an open border, no picture strip, a strip of one frame), in full
// screen with the real message box: each answered as a player does, then the chooser again,
// where the last map plays, after the box of a display method this system lacks (triple
// buffering).
TEST(maps_from_outside, refused_maps_show_their_message_and_the_chooser_comes_back) {
    config cfg = quiet_settings();
    cfg.gfx_card = GFX_AUTODETECT_FULLSCREEN, cfg.display_method = 2;
    e2e_run run;
    ASSERT_TRUE(e2e_prepare(&run, &cfg));
    const std::vector<uint32_t> THUMBS = {0x808080, 0x707070, 0x606060, 0x9b5713};
    const std::vector<std::string> room = {"#####", "#P.D#", "#####"};
    const uint32_t FLOOR = 0x204060;
    e2e_only_maps(&run, {"a-open", "b-no-strip", "c-short", "d-good"},
                  {{"#######", "#P...D.", "#.M...#", "#######"}, room, room, room}, FLOOR, THUMBS);
    remove(run.file("maps/b-no-strip.bmp").c_str());
    e2e_put(&run, "maps/c-short.bmp", read_file(run.file("graphics/timer.bmp")));
    ASSERT_TRUE(e2e_launch(&run, {"XMESSAGE_REAL=1"}) && e2e_wait_menu(&run) &&
                e2e_menu_choose(&run, MENU_PLAY));
    auto shown = [&](const screenshot &s) { // the map whose thumbnail shows, -1 none
        for (int i = 0; i < 4; i++)
            if (e2e_count(&run, s, THUMBS[i], 320, 240, 480, 360) > 1000) return i;
        return -1;
    };
    // Round the chooser until each refused map has been tried once, in whatever order.
    for (std::vector<bool> tried(4); !tried[0] || !tried[1] || !tried[2];) {
        int map = -1;
        ASSERT_TRUE(e2e_wait(&run, [&](const screenshot &s) { return (map = shown(s)) >= 0; }));
        size_t said = e2e_messages(&run).size();
        if (map < 3 && !tried[map]) {
            ASSERT_TRUE(e2e_hold(&run, "Return", [&](const screenshot &) {
                return e2e_messages(&run).size() > said;
            }));
            ASSERT_TRUE(e2e_answer_box(&run, said == 1)) << "map " << map;
            tried[map] = true;
        } else {
            ASSERT_TRUE(
                e2e_hold(&run, "Left", [&](const screenshot &s) { return shown(s) != map; }));
        }
    }
    // The pointer still answers after the boxes: "suivant" is clicked round to the good map.
    ASSERT_TRUE(e2e_point(&run, 614 + 75, 555 + 20, [&](const screenshot &s) {
        return e2e_match(&run, s, "graphics/suiv_on.bmp", 614, 555) > 0.9;
    }));
    for (int before; (before = shown(e2e_shot(&run))) != 3;) {
        e2e_click(&run);
        ASSERT_TRUE(e2e_wait(&run, [&](const screenshot &s) { return shown(s) != before; }));
    }
    ASSERT_TRUE(e2e_hold(&run, "Return",
                         [&](const screenshot &) { return e2e_messages(&run).size() == 4; }));
    ASSERT_TRUE(e2e_answer_box(&run, false));
    ASSERT_TRUE(
        e2e_wait(&run, [&](const screenshot &s) { return e2e_count(&run, s, FLOOR) > 1000; }));
    const std::string refused = "Echec du chargement de la map. Essayez de choisir un autre map.";
    std::vector<std::string> messages = e2e_messages(&run);
    EXPECT_EQ(messages[3].rfind("Triple buffering non support", 0), 0u);
    messages.pop_back();
    EXPECT_EQ(messages, std::vector<std::string>(3, refused));
    EXPECT_TRUE(e2e_hold(&run, "Escape", e2e_lit(&run, MENU_ANY)));
    EXPECT_TRUE(e2e_quit_from_menu(&run));
}

// The safe mode's driver (a plain X11 window here) serves every screen until the player
// quits; the options save their own card, so the next start is an ordinary one.
TEST(safe_mode, the_driver_chosen_serves_the_run_and_the_options_save_their_own_card) {
    config cfg = quiet_settings();
    e2e_run run;
    ASSERT_TRUE(e2e_prepare(&run, &cfg) && e2e_launch(&run, {}, "cindermaze", {"--safemode"}) &&
                e2e_wait_window(&run, 320, 200));
    // The selector shown (white inside its frame), two drivers down from the windowed one
    // of the settings; that driver's list has one mode less before 800 x 600.
    ASSERT_TRUE(e2e_wait(
        &run, [&](const screenshot &s) { return e2e_pixel(&run, s, 100, 40) == 0xffffff; }));
    e2e_xdo(&run, "key --delay 200 Down Down Tab Up Return");
    ASSERT_TRUE(e2e_wait_menu(&run) && e2e_menu_choose(&run, MENU_OPTIONS));
    ASSERT_TRUE(e2e_hold(&run, "s", e2e_lit(&run, MENU_ANY)));
    // The dialog offers its two cards only and shows the safe mode's driver as full screen.
    cfg.gfx_card = GFX_AUTODETECT_FULLSCREEN;
    EXPECT_EQ(e2e_settings_bytes(&run), record_bytes(cfg));
    EXPECT_TRUE(e2e_quit_from_menu(&run));
}

// Settings records no screen writes, at the extremes of every field then drawn at random
// (a fixed seed; CINDERMAZE_SETTINGS_STARTS sets how many): each walks menu, chooser and
// a game, what cannot be set repaired in memory or fallen back from with a message, never
// an error; the file is left as it was.
TEST(settings_records, each_walks_menu_chooser_and_a_game) {
    const std::vector<int32_t> POOLS[] = {
        {INT_MIN, -1, 0, 1, 2, GFX_SAFE, INT_MAX, AL_ID('N', 'O', 'P', 'E')}, // card
        {-128, -1, 0, 1, 2, 3, 127},                                          // method, vsync
        {INT_MIN, -1, 0, 1, 255, 256, INT_MAX},                               // volumes
        {INT_MIN, -1, 0, 1, 200, 480, 640, 768, 1024, 4096, INT_MAX},         // sizes
        {INT_MIN, -1, 0, 1, 30, 90, 300, INT_MAX},                            // time
        {INT_MIN, -1, 0, 1, KEY_MAX - 1, KEY_MAX, INT_MAX},                   // keys
    };
    std::mt19937 rng(20261206);
    int starts = (int)env_number("CINDERMAZE_SETTINGS_STARTS", 10);
    for (int k = 0; k < starts && !HasFatalFailure(); k++) {
        int f = 0;
        auto draw = [&](int pool, int32_t random) { // the first ten go through every pool
            const std::vector<int32_t> &p = POOLS[pool];
            if (k < 10) return p[(3 * k + f++) % p.size()];
            return rng() % 3 ? random : p[rng() % p.size()];
        };
        config c = quiet_settings();
        c.gfx_card = k == 0 ? -1 : draw(0, (int32_t)rng());
        c.display_method = (int8_t)draw(1, (int32_t)rng()), c.vsync = (int8_t)draw(1, 0);
        c.music_volume = draw(2, rng() % 300), c.effects_volume = draw(2, rng() % 300);
        c.screen_w = draw(3, rng() % 1400), c.screen_h = draw(3, rng() % 1100);
        c.time_limit = draw(4, (int32_t)(rng() % 400) - 50);
        for (int a = 0; a < KEY_ACTION_COUNT; a++) { // no key the walk presses but the quit key
            int32_t key = a == 5 ? std::vector<int32_t>{INT_MIN, -1, 0, KEY_MAX, KEY_ESC}[k % 5]
                                 : draw(5, 1 + rng() % (KEY_MAX - 1));
            bool pressed = key == KEY_ESC || key == KEY_ENTER || key == KEY_DOWN;
            *config_key_field(&c, a) = pressed && a != 5 ? KEY_F12 : key;
        }
        SCOPED_TRACE("record " + std::to_string(k) + ": card " + std::to_string(c.gfx_card) +
                     " size " + std::to_string(c.screen_w) + "x" + std::to_string(c.screen_h) +
                     " method " + std::to_string(c.display_method));
        e2e_run run;
        ASSERT_TRUE(e2e_prepare(&run, &c));
        bool walked = walk_through(&run);
        ASSERT_TRUE(e2e_wait_exit(&run, 10)) << "the program hangs";
        EXPECT_TRUE(walked) << "status " << run.status;
        for (const std::string &m : e2e_messages(&run))
            EXPECT_EQ(m.find("Erreur"), std::string::npos) << m;
        EXPECT_EQ(e2e_settings_bytes(&run), record_bytes(c));
    }
}

// Killed at random moments around its saves, the program leaves the old record or the
// new one, byte for byte. A save takes well under a millisecond: the preloaded slow_io
// library makes each 56-byte write and each fsync last 150 ms, so the kills fall before,
// inside and after the saves.
TEST(kills, options_saves_and_first_starts_killed_at_random_leave_a_whole_record) {
    std::mt19937 random(4242);
    const std::vector<std::string> env = {"LD_PRELOAD=" SLOW_IO_LIBRARY,
                                          "ASAN_OPTIONS=verify_asan_link_order=0"};
    int rounds = (int)env_number("CINDERMAZE_KILL_ROUNDS", 3);
    config cfg = quiet_settings();
    cfg.time_limit = 150;
    e2e_run run;
    ASSERT_TRUE(e2e_prepare(&run, &cfg));
    int new_file = 0;
    for (int round = 0; round < rounds; round++) {
        // The options dialog: the time list one step on (it follows the pointer), then
        // "Sauvegarder et Quitter", and the kill 0 to 450 ms after the click.
        std::vector<uint8_t> before = e2e_settings_bytes(&run);
        config next;
        memcpy(&next, before.data(), sizeof next);
        next.time_limit += round % 2 ? -30 : 30;
        ASSERT_TRUE(e2e_launch(&run, env) && e2e_wait_menu(&run));
        ASSERT_TRUE(e2e_menu_choose(&run, MENU_OPTIONS) && e2e_wait_window(&run, 640, 480));
        ASSERT_TRUE(e2e_wait(&run, [&](const screenshot &s) { // the dialog is drawn
            return e2e_count(&run, s, 0, 0, 0, 640, 480) < 100000;
        }));
        e2e_move(&run, 242, 257);
        e2e_hold(&run, round % 2 ? "Up" : "Down", [](const screenshot &) { return true; });
        e2e_move(&run, 272, 462);
        e2e_click(&run);
        usleep(std::uniform_int_distribution<int>(0, 450000)(random));
        e2e_kill(&run);
        std::vector<uint8_t> now = e2e_settings_bytes(&run);
        EXPECT_TRUE(now == before || now == record_bytes(next)) << "round " << round;
        new_file += now == record_bytes(next);
    }
    printf("kills: %d options saves, %d of them with the new record\n", rounds, new_file);
    // A first start writes the defaults: killed in its first 400 ms, no file or the whole.
    config defaults;
    for (default_config(&defaults); rounds-- > 0;) {
        remove(run.file("save/config.czc").c_str());
        ASSERT_TRUE(e2e_launch(&run, env));
        usleep(std::uniform_int_distribution<int>(0, 400000)(random));
        e2e_kill(&run);
        std::vector<uint8_t> now = e2e_settings_bytes(&run);
        EXPECT_TRUE(now.empty() || now == record_bytes(defaults)) << "a first start";
    }
}

// Random keys, pointer moves and clicks from a fixed seed on whatever screen is up: the
// program keeps running or quits cleanly (and is started again), and the settings file
// always loads back as a record the screens can write.
TEST(storm, random_input_neither_crashes_nor_spoils_the_settings) {
    double seconds = env_number("CINDERMAZE_STORM_SECONDS", 15);
    std::mt19937 random((unsigned)env_number("CINDERMAZE_STORM_SEED", 20261206));
    const char *const keys[] = {"Up", "Down", "Left", "Right", "Return", "space",
                                "Up", "Down", "Left", "Right", "Return", "Escape",
                                "p",  "y",    "Tab",  "a"};
    config cfg = quiet_settings();
    cfg.screen_w = 1024, cfg.screen_h = 768, cfg.time_limit = 30;
    e2e_run run;
    ASSERT_TRUE(e2e_prepare(&run, &cfg));
    auto plausible = [&]() {
        config c;
        std::vector<uint8_t> bytes = e2e_settings_bytes(&run);
        memcpy(&c, bytes.data(), std::min(bytes.size(), sizeof c));
        return bytes.size() == sizeof c && !repair_config(&c, sizeof c) && c.time_limit % 30 == 0 &&
               c.display_method >= 0 && c.display_method <= 2 && c.screen_w % 32 == 0;
    };
    int starts = 0, actions = 0;
    for (auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
         std::chrono::steady_clock::now() < end && !HasFailure(); actions++) {
        if (!e2e_running(&run)) {
            ASSERT_TRUE(starts == 0 || run.status == 0) << "the program ended badly";
            ASSERT_TRUE(plausible());
            ASSERT_TRUE(e2e_launch(&run));
            starts++;
            e2e_wait_window(&run, 800, 600);
        }
        auto draw = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); };
        if (int action = draw(100); action < 75) {
            const char *key = keys[draw(16)];
            e2e_xdo(&run, std::string("keydown ") + key);
            usleep(10000 + 1000 * draw(140));
            e2e_xdo(&run, std::string("keyup ") + key);
        } else if (action < 90) {
            e2e_move(&run, draw(800), draw(600));
        } else {
            e2e_click(&run);
        }
    }
    e2e_kill(&run);
    EXPECT_TRUE(plausible());
    for (const std::string &m : e2e_messages(&run))
        EXPECT_NE(m.find(" non support\351 ! Essayez"), std::string::npos) << "unexpected: " << m;
    printf("storm: %.0f s, %d actions, %d starts\n", seconds, actions, starts);
}

// Memcheck finds no fault of the game's own (allegro.supp holds the libraries'): menu, Escape;
// the long form: options left with Escape, chooser, a game a bomb at the player's feet ends.
TEST(valgrind_session, memcheck_finds_nothing) {
    if (run_command("valgrind --version >/dev/null")) GTEST_SKIP() << "no valgrind";
    config cfg = quiet_settings(); // with sound and music, so the sound code runs
    cfg.music_volume = 150, cfg.effects_volume = 200, cfg.time_limit = 120;
    e2e_run run;
    ASSERT_TRUE(e2e_prepare(&run, &cfg));
    e2e_time_scale = 8; // everything is 20 to 50 times slower
    bool walked =
        e2e_launch(&run, {}, "/bin/sh",
                   {"-c", "exec valgrind --tool=memcheck --leak-check=full --track-origins=yes "
                          "--show-leak-kinds=definite,indirect --errors-for-leak-kinds=definite,"
                          "indirect --num-callers=30 --suppressions='" CINDERMAZE_SOURCE_DIR
                          "/tests/valgrind/allegro.supp' --error-exitcode=99 "
                          "--log-file=memcheck.log ./cindermaze"}) &&
        e2e_wait_menu(&run) &&
        (!env_number("CINDERMAZE_VALGRIND_SESSION", 0) ||
         (e2e_menu_choose(&run, MENU_OPTIONS) && e2e_wait_window(&run, 640, 480) &&
          e2e_hold(&run, "Escape", e2e_lit(&run, MENU_ANY)) && e2e_menu_choose(&run, MENU_PLAY) &&
          e2e_wait(&run,
                   [&](const screenshot &s) { // the chooser, its pictures loaded
                       return e2e_match(&run, s, "graphics/prec_off.bmp", 9, 555) > 0.9;
                   }) &&
          e2e_hold(&run, "Return",
                   [&](const screenshot &s) { return !background_shows(&run, s); }) &&
          e2e_hold(&run, "space", e2e_lit(&run, MENU_ANY), 30))) &&
        e2e_quit_from_menu(&run);
    e2e_time_scale = 1;
    EXPECT_TRUE(walked) << "status " << run.status << " (99: memcheck found errors)";
    EXPECT_EQ(e2e_settings_bytes(&run), record_bytes(cfg));
    EXPECT_EQ(e2e_messages(&run), std::vector<std::string>{});
    if (HasFailure()) // the first errors and the summary
        run_command("grep -v '^==[0-9]*== *$' " + run.file("memcheck.log") +
                    " | awk 'NR <= 100 || /SUMMARY|lost:/'");
}

} // namespace
