// Small helpers shared by the tests: temporary directories and whole files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A fresh directory under /tmp, removed by the destructor.
struct temp_dir {
    std::string path;
    temp_dir();
    ~temp_dir();
    temp_dir(const temp_dir &) = delete;
    temp_dir &operator=(const temp_dir &) = delete;
    std::string file(const std::string &name) const { return path + "/" + name; }
};

// Changes the working directory for the life of the object.
struct scoped_cwd {
    std::string previous;
    explicit scoped_cwd(const std::string &dir);
    ~scoped_cwd();
};

std::vector<uint8_t> read_file(const std::string &path);
void write_file(const std::string &path, const std::vector<uint8_t> &bytes);
void write_text(const std::string &path, const std::string &text);
bool file_exists(const std::string &path);
void make_dirs(const std::string &path);
// Runs a shell command, returns its exit status.
int run_command(const std::string &command);
// The bytes of a .czm file from map text rows ('#' wall, '+' block, '?' hidden bonus,
// 'P' player, 'M' monster, 'D' diamond, '.' floor, {NN} any byte); throws on bad text.
std::vector<uint8_t> map_bytes(const std::vector<std::string> &rows);
// The bytes of any plain record, as written to a file.
template <class T> std::vector<uint8_t> bytes_of(const T &record) {
    return std::vector<uint8_t>((const uint8_t *)&record, (const uint8_t *)&record + sizeof record);
}
// Installs Allegro without any device (memory bitmaps and files only), once per process.
void allegro_for_tests(int color_depth = 32);
