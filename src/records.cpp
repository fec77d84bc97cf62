// Records: the best time on each map, kept with the run that made it, in records.czr.
#include "records.h"

#include "files.h"
#include "maps.h"
#include "save_folder.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

// The file: "CZRE", the version (2 bytes), the entry count (4), the entries, then the hash
// of everything before it (8). An entry: the name's length (1) and the name, the map's hash
// (8), the winning tick (4), the date (8), the seed (4), the time limit (4), the steps'
// length (4) and the steps. Numbers are little-endian.
static const char RECORDS_TAG[4] = {'C', 'Z', 'R', 'E'};
static const uint16_t RECORDS_VERSION = 1;

uint64_t bytes_hash(const uint8_t *bytes, size_t length) {
    uint64_t h = 14695981039346656037ull;
    for (size_t i = 0; i < length; i++)
        h = (h ^ bytes[i]) * 1099511628211ull;
    return h;
}

static void put(std::vector<uint8_t> *out, uint64_t value, int size) {
    for (int i = 0; i < size; i++)
        out->push_back((uint8_t)(value >> (8 * i)));
}

std::vector<uint8_t> records_bytes(const std::vector<record_entry> &entries) {
    std::vector<uint8_t> out(RECORDS_TAG, RECORDS_TAG + 4);
    put(&out, RECORDS_VERSION, 2);
    put(&out, entries.size(), 4);
    for (const record_entry &e : entries) {
        put(&out, e.map.size(), 1);
        out.insert(out.end(), e.map.begin(), e.map.end());
        put(&out, e.map_hash, 8);
        put(&out, e.ticks, 4);
        put(&out, (uint64_t)e.date, 8);
        put(&out, e.run.seed, 4);
        put(&out, (uint32_t)e.run.time_limit, 4);
        put(&out, e.run.steps.size(), 4);
        out.insert(out.end(), e.run.steps.begin(), e.run.steps.end());
    }
    put(&out, bytes_hash(out.data(), out.size()), 8);
    return out;
}

// Reads the file's fields in order; `ok` turns false for good at the first that is not there.
struct record_reader {
    const uint8_t *bytes;
    size_t length, at;
    bool ok;
};

static uint64_t take(record_reader *r, int size) {
    if (!r->ok || r->length - r->at < (size_t)size) {
        r->ok = false;
        return 0;
    }
    uint64_t value = 0;
    for (int i = 0; i < size; i++)
        value |= (uint64_t)r->bytes[r->at++] << (8 * i);
    return value;
}

static const uint8_t *take_bytes(record_reader *r, size_t size) {
    if (!r->ok || r->length - r->at < size) {
        r->ok = false;
        return nullptr;
    }
    r->at += size;
    return r->bytes + r->at - size;
}

// A name names a file of the maps folder: nothing that could lead out of it.
static bool plain_name(const std::string &name) {
    return !name.empty() && name.size() <= 255 && name.find_first_of("/\\:") == std::string::npos &&
           name != "." && name != "..";
}

static bool read_entry(record_reader *r, record_entry *e) {
    size_t name_length = (size_t)take(r, 1);
    const uint8_t *name = take_bytes(r, name_length);
    if (name) e->map.assign((const char *)name, name_length);
    e->map_hash = take(r, 8);
    e->ticks = (uint32_t)take(r, 4);
    e->date = (int64_t)take(r, 8);
    e->run.seed = (uint32_t)take(r, 4);
    e->run.time_limit = (int32_t)(uint32_t)take(r, 4);
    size_t steps_length = (size_t)take(r, 4);
    const uint8_t *steps = take_bytes(r, steps_length);
    if (steps) e->run.steps.assign(steps, steps + steps_length);
    return r->ok && plain_name(e->map) && e->ticks > 0 && e->ticks <= RECORD_MAX_TICKS &&
           e->run.time_limit > 0;
}

// The entries after the version, to the end of the body; false at the first that is not whole.
static bool read_entries(record_reader *r, std::vector<record_entry> *entries) {
    uint32_t count = (uint32_t)take(r, 4);
    for (uint32_t i = 0; i < count; i++) {
        record_entry e;
        if (!read_entry(r, &e)) return false;
        entries->push_back(std::move(e));
    }
    return r->ok && r->at == r->length;
}

bool parse_records(const uint8_t *bytes, size_t length, std::vector<record_entry> *entries) {
    entries->clear();
    if (length < 18 || memcmp(bytes, RECORDS_TAG, 4) != 0) return false;
    size_t body = length - 8;
    record_reader sum = {bytes + body, 8, 0, true};
    if (take(&sum, 8) != bytes_hash(bytes, body)) return false;
    record_reader r = {bytes, body, 4, true};
    if (take(&r, 2) != RECORDS_VERSION) return false;
    if (read_entries(&r, entries)) return true;
    // Nothing of a damaged file counts.
    entries->clear();
    return false;
}

std::string map_name_of(const char *map_file) {
    const char *slash = strrchr(map_file, '/');
    std::string name = slash ? slash + 1 : map_file;
    size_t dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

std::string record_time_text(uint32_t ticks) {
    char text[32];
    snprintf(text, sizeof text, "%u,%02u", ticks / 100, ticks % 100);
    return text;
}

bool record_proven(const record_entry *entry, const uint8_t *map_bytes, size_t length,
                   unsigned block_frames) {
    if (entry->map_hash != bytes_hash(map_bytes, length)) return false;
    uint32_t ticks = 0;
    int end = play_run(map_bytes, length, block_frames, &entry->run, entry->ticks, &ticks);
    return end == END_WON && ticks == entry->ticks;
}

bool read_map_as_played(const char *map_file, std::vector<uint8_t> *bytes, unsigned *block_frames) {
    char *image = get_map_image_filename(map_file);
    unsigned frames = image ? map_image_frames(image) : 0;
    free(image);
    // The strip holds a floor, a wall, then the block's pictures.
    *block_frames = frames >= 2 ? frames - 2 : 0;
    return frames >= 4 && read_file_bytes(map_file, bytes);
}

// --- The file in the save folder

struct records_file {
    std::vector<uint8_t> bytes; // as read
    std::vector<record_entry> entries;
};

// The file as it was is kept aside before it is given up or rewritten without a record.
static bool keep_aside(const records_file *f) {
    std::string bad = save_file(RECORDS_BAD_NAME);
    return write_file_whole(bad.c_str(), f->bytes.data(), f->bytes.size());
}

// The records kept; a damaged file is kept aside and counts as none. False when the file
// must not be written over: it is there but cannot be read, or damaged and could not be
// kept aside.
static bool load_records(records_file *f) {
    std::string path = save_file(RECORDS_NAME);
    f->entries.clear();
    errno = 0;
    if (!read_file_bytes(path.c_str(), &f->bytes)) return errno == ENOENT;
    if (parse_records(f->bytes.data(), f->bytes.size(), &f->entries)) return true;
    return keep_aside(f) && remove(path.c_str()) == 0;
}

static bool write_records(const std::vector<record_entry> &entries) {
    std::vector<uint8_t> bytes = records_bytes(entries);
    return write_file_whole(save_file(RECORDS_NAME).c_str(), bytes.data(), bytes.size());
}

static std::vector<record_entry>::iterator entry_of(records_file *f, const std::string &name) {
    for (auto it = f->entries.begin(); it != f->entries.end(); ++it)
        if (it->map == name) return it;
    return f->entries.end();
}

bool find_record(const char *map_file, record_entry *record) {
    records_file f;
    load_records(&f);
    auto it = entry_of(&f, map_name_of(map_file));
    std::vector<uint8_t> bytes;
    unsigned frames = 0;
    if (it == f.entries.end() || !read_map_as_played(map_file, &bytes, &frames)) return false;
    // An edited map starts without a record; the record stays for the map it was won on.
    if (it->map_hash != bytes_hash(bytes.data(), bytes.size())) return false;
    if (record_proven(&*it, bytes.data(), bytes.size(), frames)) {
        *record = *it;
        return true;
    }
    f.entries.erase(it);
    if (keep_aside(&f)) write_records(f.entries);
    return false;
}

bool offer_record(const char *map_file, const game_run *run, uint32_t ticks) {
    std::vector<uint8_t> bytes;
    unsigned frames = 0;
    if (!read_map_as_played(map_file, &bytes, &frames)) return false;
    record_entry won;
    won.map = map_name_of(map_file);
    won.map_hash = bytes_hash(bytes.data(), bytes.size());
    won.ticks = ticks;
    won.date = (int64_t)time(nullptr);
    won.run = *run;
    // Only a run that proves itself is kept; a tie leaves the first record.
    if (!plain_name(won.map) || !record_proven(&won, bytes.data(), bytes.size(), frames))
        return false;
    record_entry best;
    if (find_record(map_file, &best) && best.ticks <= ticks) return false;
    records_file f;
    if (!load_records(&f)) return false;
    auto it = entry_of(&f, won.map);
    if (it != f.entries.end())
        *it = won;
    else
        f.entries.push_back(won);
    return write_records(f.entries);
}
