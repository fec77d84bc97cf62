// The command line of the game and of the map editor: --help prints a short usage in
// French and --version the version, both without starting the library or opening a window.
#pragma once

#include <string>

// One entry of a program's usage: an option or a plain argument, and what it does. The text
// may run over several lines ("\n"); the usage indents them under the first.
struct usage_entry {
    const char *name; // "--safemode", or a plain argument in capitals ("NOM")
    const char *text;
};

// What --help says of a program, besides --help and --version, which every program has.
struct program_usage {
    const char *program; // the command's name, "cindermaze"
    const char *purpose; // a sentence or two
    const usage_entry *entries;
    int entry_count;
};

// The usage as --help prints it, in Windows-1252 like every text of the game; data_dir is
// the directory the program reads its data from and keeps its settings in.
std::string usage_text(const program_usage *usage, const std::string &data_dir);

// When an argument is --help or --version, prints the usage or the version on the standard
// output and returns true: the program then ends, with status 0.
bool answer_help_or_version(int argc, char **argv, const program_usage *usage);
