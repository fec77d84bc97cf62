// Files written together, whole or not at all: whatever fails, the earlier files stay as
// they were and no temporary file is left behind. A file read whole; a directory listed by
// extension: exact extensions in name order, the directory in front.
#include "directory.h"
#include "files.h"
#include "test_util.h"

#include <csignal>
#include <functional>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

// A save of three files: a/one and b/two hold a few bytes beforehand, b/three is new.
struct files_together : ::testing::Test {
    temp_dir dir;
    std::vector<uint8_t> small = std::vector<uint8_t>(100, 's');
    std::vector<uint8_t> large = std::vector<uint8_t>(20000, 'L');

    void SetUp() override {
        make_dirs(dir.file("a"));
        make_dirs(dir.file("b"));
        write_text(dir.file("a/one"), "old one");
        write_text(dir.file("b/two"), "old two");
        remove(dir.file("b/three").c_str());
    }
    bool save() {
        std::string one = dir.file("a/one"), two = dir.file("b/two"), three = dir.file("b/three");
        file_to_write files[] = {{one.c_str(), small.data(), small.size()},
                                 {two.c_str(), large.data(), large.size()},
                                 {three.c_str(), small.data(), small.size()}};
        return write_files_whole(files, 3);
    }
    // The size of every file there is, temporary ones included.
    std::string sizes() {
        std::string out;
        for (const char *name :
             {"a/one", "b/two", "b/three", "a/one.tmp", "b/two.tmp", "b/three.tmp"})
            if (file_exists(dir.file(name)))
                out += std::string(name) + "=" + std::to_string(read_file(dir.file(name)).size()) +
                       " ";
        return out;
    }
};

TEST_F(files_together, a_save_that_fails_anywhere_leaves_the_earlier_files_as_they_were) {
    const std::string unchanged = "a/one=7 b/two=7 ";
    // Past this size a write comes out short (and raises no signal).
    rlimit file_size, short_files;
    getrlimit(RLIMIT_FSIZE, &file_size);
    short_files = file_size;
    short_files.rlim_cur = 10000;
    signal(SIGXFSZ, SIG_IGN);
    const struct {
        const char *what;
        bool needs_root; // chattr +i: root cannot be kept out otherwise
        std::function<void()> spoil, mend;
        std::string after;
    } cases[] = {
        {"nothing in the way", false, [] {}, [] {}, "a/one=100 b/two=20000 b/three=100 "},
        {"a short write", false, [&] { setrlimit(RLIMIT_FSIZE, &short_files); },
         [&] { setrlimit(RLIMIT_FSIZE, &file_size); }, unchanged},
        {"a folder that cannot be written", true,
         [&] { run_command("chattr +i '" + dir.file("b") + "'"); },
         [&] { run_command("chattr -i '" + dir.file("b") + "'"); }, unchanged},
        // The first file is already in place when the second cannot go: it is put back.
        {"a file that cannot be replaced", true,
         [&] { run_command("chattr +i '" + dir.file("b/two") + "'"); },
         [&] { run_command("chattr -i '" + dir.file("b/two") + "'"); }, unchanged},
    };
    for (const auto &c : cases) {
        if (c.needs_root && geteuid() != 0) {
            printf("skipped without root: %s\n", c.what);
            continue;
        }
        SetUp();
        c.spoil();
        bool saved = save();
        c.mend();
        EXPECT_EQ(saved, c.after != unchanged) << c.what;
        EXPECT_EQ(sizes(), c.after) << c.what;
    }
}

// The names list_dir_ext gives for an extension, freed.
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

TEST(directory, lists_exact_extensions_with_the_directory_in_front_and_is_no_file) {
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
    // Every test reads files through read_file_bytes (test_util's read_file), the save above
    // one of several buffers; a missing file or a folder is none.
    std::vector<uint8_t> got;
    EXPECT_FALSE(read_file_bytes("missing", &got));
    EXPECT_FALSE(read_file_bytes(".", &got));
}

} // namespace
