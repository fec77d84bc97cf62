// Every file the program reads, taken away alone: the program must end with that file's
// message and status 1, or play on where the file is optional (thumbnails, a map among
// others, a piece of music, sounds and music whose volume is 0), never crash, and never
// touch the settings file.
#include "hardening_e2e.h"

#include <fstream>
#include <set>
#include <sstream>

namespace {

using namespace hardening;

const char *const FOND = "Erreur de chargement de la bitmap graphics/fond.bmp : vérifiez son existence.";
const char *const MENU_BITMAPS = "Erreur de chargement des bitmaps du menu.";
const char *const MENU_SOUNDS =
    "Impossible de charger les fichiers sons du menu : essayez de désactiver le son.";
const char *const MENU_MUSIC =
    "Impossible de charger le fichier son 'musique de fond' : essayez de désactiver le son.";
const char *const DATAFILE = "Echec du chargement du datafile bktype.dat";
const char *const PREVIEW = "Ne peut charger la bitmap 'apperçu par défaut'.";
const char *const TIMER_ICON = "Echec du chargement du bitmap graphic/timer.bmp";
const char *const END_PICTURES = "Echec du chargement des bitmaps graphic/ecran_fin_*.bmp";
const char *const EFFECTS =
    "Impossible de charger les fichiers sons 'effets' : essayez de désactiver le son.";
const char *const STRIP =
    "La création des bitmaps a échoué. Essayez de libérer de la mémoire vive, de prendre une "
    "petite résolution, de choisir le mode d'affichage DOUBLE BUFFER et de désactiver le son.";
const char *const MAP_IMAGE =
    "Image de la map introuvable ou incomplète (sol, mur et deux étapes de bloc au moins) : ";

enum { EFFECTS_ON = 1, MUSIC_ON = 2 };

struct missing_file {
    std::string name;        // the test's name
    std::string file;        // relative to the run directory
    int sound;               // EFFECTS_ON, MUSIC_ON
    std::string text;        // the fatal message's text; empty: the program plays on
    std::string strip;       // a sprite strip also names itself in a message of its own
    std::string map;         // the map to choose in the chooser ("" for the first listed)
    bool representative;     // kept in sanitizer builds: one case of each kind
    bool play = true;        // the walk goes on into a game (the chooser's files need none)
};

// The test's name instead of the bytes of the record in CTest's list.
void PrintTo(const missing_file &m, std::ostream *out) { *out << m.file; }

std::string test_name(const std::string &file, const char *suffix = "") {
    std::string name;
    for (char c : file)
        name += isalnum((unsigned char)c) ? c : '_';
    return name + suffix;
}

// The shipped maps, by name, as the build compiles them.
std::vector<std::string> shipped_maps() {
    std::ifstream list(CINDERMAZE_SOURCE_DIR "/assets/maps/maps.list");
    std::vector<std::string> names;
    std::string line;
    while (std::getline(list, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream words(line);
        std::string name;
        if (words >> name) names.push_back(name);
    }
    return names;
}

std::vector<missing_file> every_file() {
    std::vector<missing_file> cases;
    auto add = [&](const std::string &file, int sound, const std::string &text, bool rep,
                   const char *suffix = "") {
        cases.push_back({test_name(file, suffix), file, sound, text, "", "", rep});
    };
    add("graphics/fond.bmp", 0, FOND, true);
    for (int i = 0; i < 4; i++)
        for (const char *state : {"on", "off"})
            add("graphics/b" + std::to_string(i) + "_" + state + ".bmp", 0, MENU_BITMAPS,
                i == 0 && state[1] == 'n');
    for (const char *button : {"prec_on", "prec_off", "suiv_on", "suiv_off"})
        add(std::string("graphics/") + button + ".bmp", 0, MENU_BITMAPS,
            std::string(button) == "suiv_off");
    add("graphics/surprise.bmp", 0, PREVIEW, true);
    add("bktype.dat", 0, DATAFILE, true);
    add("graphics/timer.bmp", 0, TIMER_ICON, true);
    add("graphics/fin_gagne.bmp", 0, END_PICTURES, false);
    add("graphics/fin_perd.bmp", 0, END_PICTURES, true);
    for (const char *strip :
         {"bonus", "player1", "bombs1", "diamond", "monster", "explo_ctr", "explo_dir"}) {
        std::string file = std::string("graphics/") + strip + ".bmp";
        cases.push_back({test_name(file), file, 0, STRIP, "Ne peut charger la bitmap " + file, "",
                         std::string(strip) == "explo_dir"});
    }
    // Sounds: needed with the effects on, never opened with the effects at 0.
    for (const char *sound : {"focus", "go", "quit", "change"}) {
        std::string file = std::string("sounds/") + sound + ".wav";
        add(file, EFFECTS_ON, MENU_SOUNDS, std::string(sound) == "change");
        add(file, 0, "", false, "_silent");
        cases.back().play = false; // the menus' own sounds
    }
    for (const char *sound : {"drop", "bonus", "diamant", "explosion", "fin_gagne", "fin_perd"}) {
        std::string file = std::string("sounds/") + sound + ".wav";
        add(file, EFFECTS_ON, EFFECTS, std::string(sound) == "fin_perd");
        add(file, 0, "", std::string(sound) == "explosion", "_silent");
    }
    add("sounds/MENU.mid", MUSIC_ON, MENU_MUSIC, true);
    add("sounds/MENU.mid", 0, "", false, "_silent");
    cases.back().play = false;
    // A game draws its piece from the music directory: the others are still there.
    for (const char *piece : {"braises", "galerie", "fournaise"})
        add(std::string("music/") + piece + ".mid", MUSIC_ON, "", std::string(piece) == "galerie");
    // The library's own settings and the instruments of its synthesiser.
    add("allegro.cfg", MUSIC_ON | EFFECTS_ON, "", true);
    add("freepats.cfg", MUSIC_ON, "", true);
    std::vector<std::string> maps = shipped_maps();
    for (size_t i = 0; i < maps.size(); i++) {
        const std::string &m = maps[i];
        bool first = i == 0;
        add("maps/" + m + ".czm", 0, "", first);
        add("thbs/" + m + ".bmp", 0, "", first);
        cases[cases.size() - 2].play = cases[cases.size() - 1].play = false;
        cases.push_back({test_name("maps/" + m + ".bmp"), "maps/" + m + ".bmp", 0,
                         MAP_IMAGE + ("maps/" + m + ".bmp"), "", m, i + 1 == maps.size()});
    }
    return cases;
}

class missing : public ::testing::TestWithParam<missing_file> {};

TEST_P(missing, ends_with_its_message_or_plays_on) {
    const missing_file &m = GetParam();
    if (SANITIZED && !m.representative)
        GTEST_SKIP() << "one case of each kind in sanitizer builds";
    config cfg = silent_settings();
    cfg.gfx_card = GFX_AUTODETECT_WINDOWED;
    cfg.effects_volume = m.sound & EFFECTS_ON ? 200 : 0;
    cfg.music_volume = m.sound & MUSIC_ON ? 150 : 0;
    app_run app;
    ASSERT_TRUE(app.prepare(&cfg));
    std::vector<uint8_t> settings = settings_bytes(app);
    int steps = 0;
    if (!m.map.empty()) {
        steps = chooser_index(&app, m.map);
        ASSERT_GE(steps, 0) << m.map;
    }
    ASSERT_EQ(remove(app.run.dir.file(m.file).c_str()), 0) << m.file << " is not in the data";

    walk_end end = walk_through(&app, steps, m.play);
    std::vector<std::string> messages = app.messages();
    ASSERT_NE(end, WALK_STUCK) << "the program hangs without " << m.file;
    ASSERT_TRUE(app.run.exited);
    EXPECT_LT(app.run.status, 128) << "killed by signal " << app.run.status - 128;
    if (m.text.empty()) {
        EXPECT_EQ(end, WALK_DONE);
        EXPECT_EQ(app.run.status, 0);
        EXPECT_TRUE(messages.empty()) << messages[0];
    } else {
        EXPECT_EQ(app.run.status, 1);
        size_t first = m.strip.empty() ? 0 : 1;
        ASSERT_EQ(messages.size(), first + 1);
        if (first) {
            EXPECT_EQ(messages[0].rfind(m.strip, 0), 0u) << messages[0];
        }
        EXPECT_TRUE(is_fatal_message(messages[first], m.text)) << messages[first];
    }
    EXPECT_EQ(settings_bytes(app), settings) << "the settings file was touched";
}

INSTANTIATE_TEST_SUITE_P(
    each_file_alone, missing, ::testing::ValuesIn(every_file()),
    [](const ::testing::TestParamInfo<missing_file> &info) { return info.param.name; });

// The list above must follow the data: a file the build adds must get its case.
TEST(missing_files, every_file_of_the_run_directory_has_its_case) {
    std::set<std::string> covered;
    for (const missing_file &m : every_file())
        covered.insert(m.file);
    FILE *p = popen("cd '" CINDERMAZE_RUN_DIR "' && find . -type f ! -path './save/*' "
                    "! -name cindermaze | sed 's|^\\./||' | sort",
                    "r");
    ASSERT_NE(p, nullptr);
    char line[4096];
    int files = 0;
    while (fgets(line, sizeof line, p)) {
        std::string file(line);
        file.erase(file.find_last_not_of("\n") + 1);
        files++;
        EXPECT_TRUE(covered.count(file)) << file << " has no case";
    }
    pclose(p);
    EXPECT_GT(files, 40);
}

} // namespace
