// The map editor's files: a shipped map is never written over, a saved map is its three
// files and nothing else.
#include "editeur_files.h"
#include "maptext.h"
#include "test_util.h"

#include <gtest/gtest.h>

#include <algorithm>

static const std::string RUN = CINDERMAZE_RUN_DIR;

struct EditeurFiles : ::testing::Test {
    temp_dir dir;
    edit_map m;
    void SetUp() override {
        allegro_for_tests(32);
        run_command("cp -r '" + RUN + "/graphics' '" + dir.path + "'");
        make_dirs(dir.file("maps"));
        make_dirs(dir.file("thbs"));
        run_command("cp '" + RUN + "/maps/01-premiers-pas.czm' '" + RUN + "/maps/01-premiers-pas.bmp' '" +
                    dir.file("maps") + "'");
        write_text(dir.file("maps.list"), "01-premiers-pas cinder 800x600\n");
        std::string text = "#####\n#P.D#\n#####\n", error;
        std::vector<uint8_t> bytes;
        ASSERT_TRUE(parse_map_text(text.data(), text.size(), &bytes, &error));
        ASSERT_TRUE(edit_load(&m, bytes.data(), bytes.size(), &error));
    }
    std::vector<std::string> files() {
        std::vector<std::string> out;
        for (const char *sub : {"maps", "thbs"})
            for (const char *f : {"01-premiers-pas.czm", "01-premiers-pas.bmp", "mine.czm", "mine.bmp",
                                  "mine.czm.tmp", "mine.tmp.bmp"})
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
    EXPECT_NE(reason.find("choisissez un autre nom"), std::string::npos) << reason;
    EXPECT_FALSE(edit_save(&m, "../mine", "maps/01-premiers-pas.bmp", &reason));
    EXPECT_EQ(files(), before);
    EXPECT_EQ(read_file("maps/01-premiers-pas.czm"), shipped);

    ASSERT_TRUE(edit_save(&m, "mine", "maps/01-premiers-pas.bmp", &reason)) << reason;
    EXPECT_EQ(read_file("maps/mine.czm"), edit_bytes(&m));
    EXPECT_EQ(read_file("maps/mine.bmp"), read_file("maps/01-premiers-pas.bmp"));
    std::vector<std::string> after = files();
    EXPECT_EQ(after.size(), before.size() + 3); // no temporary file left
    EXPECT_NE(std::find(after.begin(), after.end(), "thbs/mine.bmp"), after.end());

    // Without the list of shipped maps nothing is saved.
    remove("maps.list");
    EXPECT_FALSE(edit_save(&m, "other", "maps/01-premiers-pas.bmp", &reason));
    EXPECT_FALSE(file_exists("maps/other.czm"));
}
