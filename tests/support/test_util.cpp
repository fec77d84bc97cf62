// Small helpers shared by the tests.
#include "test_util.h"
#include "maptext.h"

#include <allegro.h>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

temp_dir::temp_dir() {
    char pattern[] = "/tmp/cindermaze-test-XXXXXX";
    char *made = mkdtemp(pattern);
    path = made ? made : "/tmp";
}

temp_dir::~temp_dir() {
    if (path.rfind("/tmp/cindermaze-test-", 0) == 0)
        run_command("rm -rf '" + path + "'");
}

scoped_cwd::scoped_cwd(const std::string &dir) {
    char buffer[4096];
    previous = getcwd(buffer, sizeof buffer) ? buffer : "/";
    if (chdir(dir.c_str()) != 0)
        perror("chdir");
}

scoped_cwd::~scoped_cwd() {
    if (chdir(previous.c_str()) != 0)
        perror("chdir");
}

std::vector<uint8_t> read_file(const std::string &path) {
    std::vector<uint8_t> bytes;
    FILE *f = fopen(path.c_str(), "rb");
    if (!f)
        return bytes;
    int c;
    while ((c = fgetc(f)) != EOF)
        bytes.push_back((uint8_t)c);
    fclose(f);
    return bytes;
}

void write_file(const std::string &path, const std::vector<uint8_t> &bytes) {
    FILE *f = fopen(path.c_str(), "wb");
    if (!f)
        return;
    if (!bytes.empty())
        fwrite(bytes.data(), 1, bytes.size(), f);
    fclose(f);
}

void write_text(const std::string &path, const std::string &text) {
    write_file(path, std::vector<uint8_t>(text.begin(), text.end()));
}

bool file_exists(const std::string &path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

void make_dirs(const std::string &path) { run_command("mkdir -p '" + path + "'"); }

int run_command(const std::string &command) {
    int status = system(command.c_str());
    if (status == -1)
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

void allegro_for_tests(int color_depth) {
    static bool installed = false;
    if (!installed) {
        install_allegro(SYSTEM_NONE, &errno, atexit);
        installed = true;
    }
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
