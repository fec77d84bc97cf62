// Listing a directory by extension.
#include "directory.h"
#include "test_util.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace {

std::vector<std::string> listed(const std::string &dir, const char *ext, int *count) {
    char **list = nullptr;
    *count = list_dir_ext(dir.c_str(), ext, &list);
    std::vector<std::string> names;
    for (int i = 0; i < *count; i++)
        names.push_back(list[i]);
    free_file_list(list, *count);
    std::sort(names.begin(), names.end());
    return names;
}

TEST(directory, lists_exact_extensions_with_the_directory_prefix) {
    temp_dir dir;
    for (const char *name : {"castle.czm", "river.czm", "castle.CZM", "old.czm.bak", "a.b.czm",
                             ".czm", "noext", "czm"})
        write_text(dir.file(name), "x");
    make_dirs(dir.file("folder.czm"));
    int count = 0;
    std::vector<std::string> names = listed(dir.path, ".czm", &count);
    std::vector<std::string> expected = {dir.file(".czm"), dir.file("a.b.czm"),
                                         dir.file("castle.czm"), dir.file("folder.czm"),
                                         dir.file("river.czm")};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(count, 5);
    EXPECT_EQ(names, expected);
}

TEST(directory, nothing_matching_leaves_the_list_untouched) {
    temp_dir dir;
    write_text(dir.file("song.mid"), "x");
    char **list = (char **)0x1;
    EXPECT_EQ(list_dir_ext(dir.path.c_str(), ".czm", &list), 0);
    EXPECT_EQ(list, (char **)0x1);
    EXPECT_EQ(list_dir_ext(dir.file("missing").c_str(), ".mid", &list), 0);
    EXPECT_EQ(list, (char **)0x1);
}

TEST(directory, music_names_keep_the_directory_as_given) {
    temp_dir dir;
    make_dirs(dir.file("music"));
    write_text(dir.file("music/a.mid"), "x");
    scoped_cwd cwd(dir.path);
    int count = 0;
    std::vector<std::string> names = listed("music", ".mid", &count);
    ASSERT_EQ(count, 1);
    EXPECT_EQ(names[0], "music/a.mid");
}

} // namespace
