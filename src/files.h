// Files read in one piece, and files written whole or not at all: the settings, the map
// editor's maps and anything else the programs keep.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// One file of a save: where it goes and what it holds.
struct file_to_write {
    const char *path;
    const void *data;
    size_t length;
};

// Writes the files together: each goes whole to a temporary file beside it (NAME.tmp),
// flushed to the disk; only when every one is whole are they put in place, in the order
// given. On any failure the temporary files are removed, the files already put in place
// get their earlier contents back (or go, when they did not exist), and false is returned.
bool write_files_whole(const file_to_write *files, size_t count);
// The same for one file.
bool write_file_whole(const char *path, const void *data, size_t length);

// The whole contents of a file; false when it cannot be opened or read to its end.
bool read_file_bytes(const char *path, std::vector<uint8_t> *out);
