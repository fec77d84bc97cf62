// The map editor without a screen: sizes, strokes, fills, resizing, undo and redo, the live
// check; its files: shipped maps kept, a save's three files, the list, a text's faults.
#include "editeur_files.h"
#include "editeur_model.h"
#include "maptext.h"
#include "test_util.h"

#include <algorithm>
#include <functional>
#include <gtest/gtest.h>

static edit_map from_text(const std::string &text) {
    std::vector<uint8_t> bytes = map_bytes({text});
    std::string reason;
    edit_map m;
    EXPECT_TRUE(edit_load(&m, bytes.data(), bytes.size(), &reason)) << reason;
    return m;
}

static std::string as_text(const edit_map &m) {
    std::vector<uint8_t> bytes = edit_bytes(&m);
    std::string text, error;
    format_map_text(bytes.data(), bytes.size(), &text, &error);
    return text;
}

// Each step undone in turn takes the map back through `seen`, newest first, to its start.
static void undo_back_through(edit_map *m, const std::vector<std::string> &seen) {
    for (int k = (int)seen.size() - 2; k >= 0; k--) {
        ASSERT_TRUE(edit_undo(m));
        EXPECT_EQ(as_text(*m), seen[k]);
    }
}

TEST(EditeurModel, NewMapsRangeFromFiveByFiveToTheLargestThatCanBeSaved) {
    int w, h;
    edit_max_size(800, 600, &w, &h);
    EXPECT_EQ(w * 100 + h, 2516); // 17 rows would put the field under the counters
    const int cases[][3] = {{5, 5, 1}, {4, 5, 0}, {5, 4, 0}, {25, 16, 1}, {26, 10, 0}, {10, 17, 0}};
    for (auto [cw, ch, ok] : cases) {
        edit_map m;
        EXPECT_EQ(edit_new(&m, cw, ch), ok == 1) << cw << "x" << ch;
    }
    edit_map m;
    ASSERT_TRUE(edit_new(&m, 5, 5));
    EXPECT_EQ(as_text(m), "#####\n#P..#\n#...#\n#...#\n#####\n");
    EXPECT_EQ(edit_status_line(&m), "Aucun diamant : la partie serait gagnée dès le départ.");
    EXPECT_TRUE(edit_can_save(&m));
}

TEST(EditeurModel, PaintingStrokesAndTheStart) {
    // Each step: a stroke of one piece through the listed cells; the map after it.
    struct stroke {
        int piece;
        std::vector<std::pair<int, int>> cells;
        const char *after;
    } steps[] = {
        {PIECE_DIAMOND, {{1, 5}}, "#######\n#P...D#\n#.....#\n#.....#\n#######\n"},
        {PIECE_START, {{3, 1}}, "#######\n#....D#\n#.....#\n#P....#\n#######\n"},
        {PIECE_BLOCK, {{1, 1}, {3, 5}}, "#######\n#+...D#\n#.++..#\n#P..++#\n#######\n"},
        {PIECE_WALL, {{2, 1}, {2, 2}}, "#######\n#+...D#\n###+..#\n#P..++#\n#######\n"},
        {PIECE_FLOOR, {{2, 2}}, "#######\n#+...D#\n##.+..#\n#P..++#\n#######\n"},
        {PIECE_MONSTER, {{3, 4}}, "#######\n#+...D#\n##.+..#\n#P..M+#\n#######\n"},
        {PIECE_BONUS, {{1, 2}}, "#######\n#+?..D#\n##.+..#\n#P..M+#\n#######\n"},
    };
    edit_map m = from_text("#######\n#P....#\n#.....#\n#.....#\n#######\n");
    std::vector<std::string> seen{as_text(m)};
    for (const stroke &s : steps) {
        edit_stroke_begin(&m);
        for (auto rc : s.cells)
            edit_stroke_to(&m, rc.first, rc.second, s.piece);
        edit_stroke_end(&m);
        EXPECT_EQ(as_text(m), s.after);
        seen.push_back(s.after);
    }
    // A stroke is one step back; redo walks forward again; a new change drops the redo.
    undo_back_through(&m, seen);
    ASSERT_TRUE(!edit_undo(&m) && edit_redo(&m) && edit_redo(&m));
    EXPECT_EQ(as_text(m), seen[2]);
    EXPECT_FALSE(edit_paint(&m, 3, 1, PIECE_START)); // already there: no step
    EXPECT_TRUE(edit_paint(&m, 2, 3, PIECE_WALL));
    EXPECT_FALSE(edit_redo(&m));
    EXPECT_FALSE(edit_paint(&m, 9, 9, PIECE_WALL));
}

TEST(EditeurModel, AFillAResizeAndAnImportAreOneStepEach) {
    edit_map m = from_text("#######\n#P....#\n#.....#\n#....D#\n#######\n");
    edit_map imported = from_text("#####\n#P.D#\n#####\n");
    // Each step and the map after it; null when it is refused and nothing changes.
    struct {
        std::function<bool()> step;
        const char *after;
    } steps[] = {
        {[&] { return edit_fill(&m, 2, 4, 1, 2, PIECE_BLOCK); },
         "#######\n#P+++.#\n#.+++.#\n#....D#\n#######\n"},
        {[&] { return edit_fill(&m, 2, 1, 3, 3, PIECE_START); }, // the second corner alone
         "#######\n#.+++.#\n#.+++.#\n#..P.D#\n#######\n"},
        {[&] { return edit_resize(&m, 1, 0, 0, 0); },
         "#######\n#.....#\n#.+++.#\n#.+++.#\n#..P.D#\n#######\n"},
        {[&] { return edit_resize(&m, 0, 0, 0, -1); },
         "######\n#....#\n#.+++#\n#.+++#\n#..P.#\n######\n"},
        {[&] { return edit_resize(&m, 0, -1, 2, 0); },
         "########\n#......#\n#...+++#\n#...+++#\n########\n"},
        {[&] { return edit_resize(&m, 0, 0, 0, 18); }, nullptr}, // 26 wide: cannot be saved
        {[&] { return edit_resize(&m, -1, 0, 0, 0); }, nullptr}, // 4 tall
        {[&] { return edit_fill(&m, 1, 1, 9, 1, PIECE_WALL); }, nullptr},
        {[&] { return edit_replace(&m, &imported), true; }, "#####\n#P.D#\n#####\n"},
    };
    std::vector<std::string> seen{as_text(m)};
    for (const auto &s : steps) {
        EXPECT_EQ(s.step(), s.after != nullptr) << seen.back();
        EXPECT_EQ(as_text(m), s.after ? s.after : seen.back());
        if (s.after) seen.push_back(s.after);
    }
    undo_back_through(&m, seen);
    ASSERT_TRUE(edit_redo(&m));
    EXPECT_EQ(as_text(m), seen[1]);
}

TEST(EditeurModel, TheLiveCheckMarksTheOffendingCells) {
    const std::string wall(26, '#'); // a map too wide for the game's screen
    struct {
        std::string map;
        map_fault first;
        std::vector<std::pair<int, int>> marked;
        bool can_save;
    } cases[] = {
        {"#####\n#P.D.\n#####\n", FAULT_BORDER, {{1, 4}}, false},
        {"#####\n#..D#\n#####\n", FAULT_NO_START, {}, false},
        {"#######\n#P.#.D#\n#######\n", FAULT_UNREACHABLE, {{1, 5}}, false},
        {wall + "\n#P" + std::string(22, '.') + "D#\n" + wall + "\n", FAULT_SCREEN, {}, false},
        {"#####\n#P..#\n#####\n", FAULT_NO_DIAMOND, {}, true}, // the game takes it
    };
    for (const auto &c : cases) {
        edit_map m = from_text(c.map);
        ASSERT_FALSE(m.problems.empty()) << c.map;
        EXPECT_EQ(m.problems[0].fault, c.first) << c.map;
        int marks = 0;
        for (int r = 0; r < m.h; r++)
            for (int col = 0; col < m.w; col++)
                marks += edit_marked(&m, r, col);
        EXPECT_EQ(marks, (int)c.marked.size()) << c.map;
        for (auto rc : c.marked)
            EXPECT_TRUE(edit_marked(&m, rc.first, rc.second)) << c.map;
        EXPECT_EQ(edit_can_save(&m), c.can_save) << c.map;
        EXPECT_EQ(edit_status_line(&m).rfind(edit_fault_text(c.first), 0), 0u);
    }
    edit_map good = from_text("#######\n#P...D#\n#######\n");
    EXPECT_TRUE(good.problems.empty());
    EXPECT_EQ(edit_status_line(&good), "La carte est bonne.");
    // The second kind of fault is told too, and the rest counted.
    edit_map two = from_text("#####\n#.D#.\n#####\n");
    EXPECT_EQ(edit_status_line(&two), std::string(edit_fault_text(FAULT_BORDER)) +
                                          " Aussi : " + edit_fault_text(FAULT_NO_START));
    // A long line is wrapped at spaces, never cut inside a word.
    auto letters = [](const std::string &s) { return (int)s.size(); };
    EXPECT_EQ(edit_wrap("hors d'atteinte, même en faisant", 16, letters),
              (std::vector<std::string>{"hors d'atteinte,", "même en faisant"}));
    EXPECT_EQ(edit_wrap("unmotbientroplong ici", 8, letters),
              (std::vector<std::string>{"unmotbientroplong", "ici"}));
}

static const std::string RUN = CINDERMAZE_RUN_DIR;

struct EditeurFiles : ::testing::Test {
    temp_dir dir;
    edit_map m;
    void SetUp() override {
        allegro_for_tests(32);
        run_command("cp -r '" + RUN + "/graphics' '" + dir.path + "'");
        make_dirs(dir.file("maps"));
        make_dirs(dir.file("thbs"));
        run_command("cp '" + RUN + "/maps/01-premiers-pas.czm' '" + RUN +
                    "/maps/01-premiers-pas.bmp' '" + dir.file("maps") + "'");
        write_text(dir.file("maps.list"), "01-premiers-pas cinder 800x600\n");
        m = from_text("#####\n#P.D#\n#####\n");
    }
    std::vector<std::string> files() {
        std::vector<std::string> out;
        for (const char *sub : {"maps", "thbs"})
            for (const char *f : {"01-premiers-pas.czm", "01-premiers-pas.bmp", "mine.czm",
                                  "mine.bmp", "mine.czm.tmp", "mine.tmp.bmp"})
                if (file_exists(dir.file(std::string(sub) + "/" + f)))
                    out.push_back(std::string(sub) + "/" + f);
        return out;
    }
};

TEST_F(EditeurFiles, SavingWritesTheThreeFilesAndNeverAShippedMap) {
    scoped_cwd in(dir.path);
    std::vector<std::string> before = files();
    std::vector<uint8_t> shipped = read_file("maps/01-premiers-pas.czm");
    std::string reason;
    EXPECT_FALSE(edit_save(&m, "01-premiers-pas", "maps/01-premiers-pas.bmp", &reason));
    EXPECT_EQ(reason, "« 01-premiers-pas » est une carte du jeu : choisissez un autre nom.");
    EXPECT_FALSE(edit_save(&m, "../mine", "maps/01-premiers-pas.bmp", &reason));
    EXPECT_EQ(files(), before);
    EXPECT_EQ(read_file("maps/01-premiers-pas.czm"), shipped);

    ASSERT_TRUE(edit_save(&m, "mine", "maps/01-premiers-pas.bmp", &reason)) << reason;
    EXPECT_EQ(read_file("maps/mine.czm"), edit_bytes(&m));
    EXPECT_EQ(read_file("maps/mine.bmp"), read_file("maps/01-premiers-pas.bmp"));
    std::vector<std::string> after = files();
    EXPECT_EQ(after.size(), before.size() + 3); // no temporary file left
    EXPECT_NE(std::find(after.begin(), after.end(), "thbs/mine.bmp"), after.end());

    // The list for Open and New: every map, the shipped ones marked, with their thumbnails.
    std::string listed;
    for (const edit_listed &l : edit_list_maps())
        listed += l.name + " " + l.thumbnail + " " + std::to_string(l.shipped) + "\n";
    EXPECT_EQ(listed, "01-premiers-pas thbs/01-premiers-pas.bmp 1\nmine thbs/mine.bmp 0\n");
    EXPECT_TRUE(edit_exists("mine") && !edit_exists("other"));
    // A text's fault is told in French.
    write_text("bad.txt", "#####\n#PX.#\n#####\n");
    EXPECT_FALSE(edit_import_text(&m, "bad", &reason));
    EXPECT_EQ(reason, "bad.txt n'est pas une carte : ligne 2, colonne 3 : case inconnue « X » (# "
                      "mur, + bloc, ? bonus, P départ, M monstre, D diamant, . sol, {NN} un autre "
                      "code).");

    // Without the list of shipped maps nothing is saved.
    remove("maps.list");
    EXPECT_FALSE(edit_save(&m, "other", "maps/01-premiers-pas.bmp", &reason));
    EXPECT_FALSE(file_exists("maps/other.czm"));
}
