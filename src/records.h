// Records: the best time on each map, kept with the run that made it, in the save folder's
// records.czr. A record is only shown or beaten once its run, played without a screen on
// the map as it is now, wins in its recorded time.
#pragma once

#include "replay.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#define RECORDS_NAME "records.czr"
// The records file in the game's own save folder (on Windows the save folder may be another).
#define GAME_RECORDS_FILE "save/" RECORDS_NAME
// A records file that was damaged, or held a record its run did not prove, is kept aside
// under this name before the game writes another.
#define RECORDS_BAD_NAME "records.czr.bad"

// The longest record kept, an hour of play: checking it stays a matter of seconds.
const uint32_t RECORD_MAX_TICKS = 360000;

// One map's record: the map's name (its file's, without folder and extension), a hash of
// the map file's bytes, the winning tick, the day it was won (seconds since 1970), the run.
struct record_entry {
    std::string map;
    uint64_t map_hash = 0;
    uint32_t ticks = 0;
    int64_t date = 0;
    game_run run;
};

// The records file's bytes: a tag, the version, the entries, and a checksum of it all.
std::vector<uint8_t> records_bytes(const std::vector<record_entry> &entries);
// The entries of a records file; false for a short, foreign, other-version or damaged file.
bool parse_records(const uint8_t *bytes, size_t length, std::vector<record_entry> *entries);

// A hash of bytes (64-bit FNV-1a): map files and the records file's checksum.
uint64_t bytes_hash(const uint8_t *bytes, size_t length);
// maps/castle.czm -> castle.
std::string map_name_of(const char *map_file);
// A time of play as the player reads it: 4237 ticks -> "42,37".
std::string record_time_text(uint32_t ticks);

// Whether the entry's run, played on the map's bytes with `block_frames` pictures of a
// block's destruction, wins it on exactly its recorded tick.
bool record_proven(const record_entry *entry, const uint8_t *map_bytes, size_t length,
                   unsigned block_frames);
// The map file's bytes and its strip's block pictures; false when either cannot be read.
bool read_map_as_played(const char *map_file, std::vector<uint8_t> *bytes, unsigned *block_frames);

// The proven record of a map file (maps/castle.czm); false when it has none. A record its
// run does not prove is dropped from the file, the file that held it kept aside first.
bool find_record(const char *map_file, record_entry *record);
// Offers the run of a game just won on the map file in `ticks` ticks: true when it is the
// map's new record, written to the records file.
bool offer_record(const char *map_file, const game_run *run, uint32_t ticks);
