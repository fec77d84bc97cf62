// --help and --version, for the game and the map editor.
#include "arguments.h"

#include "config.h"
#include "cp1252.h"
#include "records.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <unistd.h>
#include <vector>

static const usage_entry HELP = {"--help", "affiche cette aide et quitte"};
static const usage_entry VERSION = {"--version", "affiche la version et quitte"};

// Each entry's name in a column, its text beside it, the text's further lines under the first.
static void add_entries(std::string *out, const std::vector<usage_entry> &entries) {
    size_t column = 0;
    for (const usage_entry &entry : entries)
        column = std::max(column, strlen(entry.name));
    std::string indent(2 + column + 2, ' ');
    for (const usage_entry &entry : entries) {
        *out += "  " + std::string(entry.name) + std::string(column + 2 - strlen(entry.name), ' ');
        for (const char *c = entry.text; *c; c++)
            *out += *c == '\n' ? "\n" + indent : std::string(1, *c);
        *out += '\n';
    }
}

std::string usage_text(const program_usage *usage, const std::string &data_dir) {
    std::string out = "Usage : " + std::string(usage->program);
    for (int i = 0; i < usage->entry_count; i++)
        out += " [" + std::string(usage->entries[i].name) + "]";
    out += "\n        " + std::string(usage->program) + " --help | --version\n\n";
    out += std::string(usage->purpose) + "\n\n";
    std::vector<usage_entry> entries(usage->entries, usage->entries + usage->entry_count);
    entries.push_back(HELP);
    entries.push_back(VERSION);
    add_entries(&out, entries);
    out += "\nCindermaze lit ses données et garde ses réglages dans le dossier d'où il est "
           "lancé,\nici " +
           data_dir + " :\n";
    add_entries(&out, {{CONFIG_FILE, "les réglages"},
                       {GAME_RECORDS_FILE, "les records et les parties qui les ont faits"},
                       {"maps/", "les cartes et leurs images"}});
    return out;
}

// The text as the terminal shows it: Windows' own code page there, UTF-8 elsewhere.
static void print_text(const std::string &text) {
#ifdef _WIN32
    fputs(text.c_str(), stdout);
#else
    fputs(cp1252_to_utf8(text).c_str(), stdout);
#endif
}

static std::string working_dir() {
    std::vector<char> path(4096);
    return getcwd(path.data(), path.size()) ? path.data() : ".";
}

bool answer_help_or_version(int argc, char **argv, const program_usage *usage) {
    for (int i = 1; i < argc; i++) {
        if (strcmp(argv[i], HELP.name) == 0) {
            print_text(usage_text(usage, working_dir()));
            return true;
        }
        if (strcmp(argv[i], VERSION.name) == 0) {
            print_text(std::string(usage->program) + " " + CINDERMAZE_VERSION + "\n");
            return true;
        }
    }
    return false;
}
