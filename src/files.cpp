// Files read in one piece, and files written whole or not at all.
#include "files.h"

#include <cerrno>
#include <cstdio>
#include <string>
#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

bool read_file_bytes(const char *path, std::vector<uint8_t> *out) {
    FILE *f = fopen(path, "rb");
    if (!f) return false;
    out->clear();
    uint8_t buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, f)) > 0)
        out->insert(out->end(), buffer, buffer + n);
    bool whole = !ferror(f);
    fclose(f);
    return whole;
}

// Writes a temporary file and flushes it to the disk. *created says whether the file was
// made, and so must be removed when the save fails.
static bool write_temporary(const std::string &path, const file_to_write &file, bool *created) {
    FILE *f = fopen(path.c_str(), "wb");
    *created = f != nullptr;
    if (!f) return false;
    bool ok = fwrite(file.data, 1, file.length, f) == file.length;
    ok = fflush(f) == 0 && ok;
#ifdef _WIN32
    ok = _commit(_fileno(f)) == 0 && ok;
#else
    ok = fsync(fileno(f)) == 0 && ok;
#endif
    return fclose(f) == 0 && ok;
}

// Puts a whole file in another's place in one step. Windows' rename refuses an existing
// target; MoveFileEx replaces it, and returns only once the move is on the disk.
static bool replace_file(const char *from, const char *to) {
#ifdef _WIN32
    return MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
#else
    return rename(from, to) == 0;
#endif
}

// What a file held before a save, to be put back when a later file of the save fails.
struct earlier_contents {
    bool existed = false;
    std::vector<uint8_t> bytes;
};

// False when the file is there but cannot be read: it could not be put back.
static bool keep_earlier(const char *path, earlier_contents *earlier) {
    errno = 0;
    earlier->existed = read_file_bytes(path, &earlier->bytes);
    return earlier->existed || errno == ENOENT;
}

static void put_back(const char *path, const earlier_contents &earlier) {
    if (earlier.existed)
        write_file_whole(path, earlier.bytes.data(), earlier.bytes.size());
    else
        remove(path);
}

bool write_files_whole(const file_to_write *files, size_t count) {
    std::vector<earlier_contents> earlier(count);
    bool ok = true;
    // The last file is never put back: when it fails, none of it was put in place.
    for (size_t i = 0; ok && i + 1 < count; i++)
        ok = keep_earlier(files[i].path, &earlier[i]);
    std::vector<std::string> temporaries;
    for (size_t i = 0; ok && i < count; i++) {
        std::string temporary = std::string(files[i].path) + ".tmp";
        bool created;
        ok = write_temporary(temporary, files[i], &created);
        if (created) temporaries.push_back(temporary);
    }
    size_t placed = 0;
    while (ok && placed < count) {
        ok = replace_file(temporaries[placed].c_str(), files[placed].path);
        if (ok) placed++;
    }
    if (ok) return true;
    for (size_t i = placed; i < temporaries.size(); i++)
        remove(temporaries[i].c_str());
    for (size_t i = 0; i < placed; i++)
        put_back(files[i].path, earlier[i]);
    return false;
}

bool write_file_whole(const char *path, const void *data, size_t length) {
    file_to_write file = {path, data, length};
    return write_files_whole(&file, 1);
}
