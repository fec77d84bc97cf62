// Any bytes as a records file, read as the game reads save/records.czr: a file it takes
// must be the one it would write for those records, and each record's run is played on a
// small map for a while. The same bytes are also tried with their checksum made right, so
// that the fuzzer reaches the entries behind it.
#include "fuzz_check.h"
#include "maps.h"
#include "records.h"

#include <algorithm>
#include <cstdint>
#include <vector>

// A room with blocks, a hidden bonus, a monster and two diamonds.
static const uint8_t ROOM[] = {5, 7,    0,    0,    0,    0,    0, 0, 0, //
                               0, 7,    0xff, 2,    4,    12,   0,       //
                               0, 0xff, 2,    0xff, 11,   0xff, 0,       //
                               0, 12,   0xff, 0xff, 0xff, 0xff, 0,       //
                               0, 0,    0,    0,    0,    0,    0};

// Records beyond this many ticks are left unplayed: the game checks them whole.
enum { FUZZ_TICKS = 3000 };

static void try_records(const uint8_t *data, size_t size) {
    std::vector<record_entry> entries;
    if (!parse_records(data, size, &entries)) return;
    std::vector<uint8_t> again = records_bytes(entries);
    FUZZ_CHECK(again.size() == size && std::equal(again.begin(), again.end(), data));
    for (const record_entry &e : entries) {
        uint32_t ticks = 0;
        int end = play_run(ROOM, sizeof ROOM, 3, &e.run, FUZZ_TICKS, &ticks);
        FUZZ_CHECK(end >= END_NONE && end <= END_TIME_UP && ticks <= FUZZ_TICKS);
        if (e.ticks <= FUZZ_TICKS)
            FUZZ_CHECK(!record_proven(&e, ROOM, sizeof ROOM, 3) ||
                       (end == END_WON && ticks == e.ticks));
    }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    try_records(data, size);
    std::vector<uint8_t> summed(data, data + size);
    uint64_t hash = bytes_hash(data, size);
    for (int i = 0; i < 8; i++)
        summed.push_back((uint8_t)(hash >> (8 * i)));
    try_records(summed.data(), summed.size());
    return 0;
}
