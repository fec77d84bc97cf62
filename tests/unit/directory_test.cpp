// Listing a directory by extension: exact extensions in name order, the directory in front.
#include "directory.h"
#include "test_util.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::string> listed(const std::string &dir, const char *ext) {
    char **list = (char **)0x1; // left as it is when nothing matches
    int count = list_dir_ext(dir.c_str(), ext, &list);
    std::vector<std::string> names;
    for (int i = 0; i < count; i++)
        names.push_back(list[i]);
    if (count) free_file_list(list, count);
    EXPECT_TRUE(count || list == (char **)0x1);
    return names;
}

TEST(directory, lists_exact_extensions_with_the_directory_in_front) {
    temp_dir dir;
    for (const char *name : {"castle.czm", "river.czm", "castle.CZM", "old.czm.bak", "a.b.czm",
                             ".czm", "noext", "czm", "song.mid"})
        write_text(dir.file(name), "x");
    make_dirs(dir.file("folder.czm"));
    std::vector<std::string> want;
    for (const char *name : {".czm", "a.b.czm", "castle.czm", "folder.czm", "river.czm"})
        want.push_back(dir.file(name));
    EXPECT_EQ(listed(dir.path, ".czm"), want);
    EXPECT_TRUE(listed(dir.path, ".wav").empty());
    EXPECT_TRUE(listed(dir.file("missing"), ".mid").empty());
    scoped_cwd cwd(dir.path);
    EXPECT_EQ(listed(".", ".mid"), std::vector<std::string>{"./song.mid"});
}

} // namespace
