// Files written together, whole or not at all: whatever fails, the earlier files stay as
// they were and no temporary file is left behind.
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

TEST(files, a_file_is_read_whole_and_a_missing_one_is_told) {
    temp_dir dir;
    std::vector<uint8_t> bytes(10000), got;
    for (size_t i = 0; i < bytes.size(); i++)
        bytes[i] = (uint8_t)(i * 7);
    ASSERT_TRUE(write_file_whole(dir.file("f").c_str(), bytes.data(), bytes.size()));
    EXPECT_TRUE(read_file_bytes(dir.file("f").c_str(), &got));
    EXPECT_EQ(got, bytes);
    EXPECT_FALSE(read_file_bytes(dir.file("missing").c_str(), &got));
    EXPECT_FALSE(read_file_bytes(dir.path.c_str(), &got)); // a folder is no file
}

} // namespace
