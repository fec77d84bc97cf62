// Small helpers shared by the tests.
#include "test_util.h"
#include "files.h"
#include "maptext.h"

#include <allegro.h>
#include <cerrno>
#include <stdexcept>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

temp_dir::temp_dir() {
    char pattern[] = "/tmp/cindermaze-test-XXXXXX";
    path = mkdtemp(pattern) ? pattern : "/tmp";
}

temp_dir::~temp_dir() {
    if (path.rfind("/tmp/cindermaze-test-", 0) == 0) run_command("rm -rf '" + path + "'");
}

scoped_cwd::scoped_cwd(const std::string &dir) {
    char buffer[4096];
    previous = getcwd(buffer, sizeof buffer) ? buffer : "/";
    if (chdir(dir.c_str()) != 0) perror("chdir");
}

scoped_cwd::~scoped_cwd() {
    if (chdir(previous.c_str()) != 0) perror("chdir");
}

std::vector<uint8_t> read_file(const std::string &path) {
    std::vector<uint8_t> bytes;
    if (!read_file_bytes(path.c_str(), &bytes)) bytes.clear();
    return bytes;
}

void write_file(const std::string &path, const std::vector<uint8_t> &bytes) {
    write_file_whole(path.c_str(), bytes.data(), bytes.size());
}

void write_text(const std::string &path, const std::string &text) {
    write_file(path, std::vector<uint8_t>(text.begin(), text.end()));
}

bool file_exists(const std::string &path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

void make_dirs(const std::string &path) {
    run_command("mkdir -p '" + path + "'");
}

int run_command(const std::string &command) {
    int status = system(command.c_str());
    return status == -1 ? -1 : WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

void allegro_for_tests(int color_depth) {
    static bool installed = install_allegro(SYSTEM_NONE, &errno, atexit) == 0;
    (void)installed;
    set_color_depth(color_depth);
}

std::vector<uint8_t> map_bytes(const std::vector<std::string> &rows) {
    std::string text, error;
    for (const std::string &row : rows)
        text += row + "\n";
    std::vector<uint8_t> bytes;
    if (!parse_map_text(text.data(), text.size(), &bytes, &error)) throw std::runtime_error(error);
    return bytes;
}
