// Any bytes as map text for the map tool: parsing either refuses them with a message or
// gives the bytes of a map file, which must write back as text that parses to the same
// bytes, and which the tool's checks must read without trouble. The bytes are also read
// as a .czm file to be written out as text, as the tool's decompile does.
#include "fuzz_check.h"
#include "mapcheck.h"
#include "maptext.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

static void check_compiled(const std::vector<uint8_t> &bytes) {
    FUZZ_CHECK(bytes.size() >= 2);
    size_t height = bytes[0], width = bytes[1];
    FUZZ_CHECK(height >= 1 && width >= 1);
    FUZZ_CHECK(bytes.size() == 2 + height * width);

    std::string text, error;
    FUZZ_CHECK(format_map_text(bytes.data(), bytes.size(), &text, &error));
    std::vector<uint8_t> again;
    FUZZ_CHECK(parse_map_text(text.data(), text.size(), &again, &error));
    FUZZ_CHECK(again == bytes);

    map_check_options options;
    options.screen_w = 800;
    options.screen_h = 600;
    std::vector<std::string> problems = check_map(bytes.data(), bytes.size(), options);
    if (problems.empty())
        FUZZ_CHECK(!map_summary(bytes.data(), bytes.size()).empty());
}

// A .czm file written as text parses back to its cells; bytes after the last row are dropped.
static void check_decompiled(const uint8_t *data, size_t size) {
    std::string text, error;
    if (!format_map_text(data, size, &text, &error)) {
        FUZZ_CHECK(!error.empty());
        return;
    }
    std::vector<uint8_t> bytes;
    FUZZ_CHECK(parse_map_text(text.data(), text.size(), &bytes, &error));
    FUZZ_CHECK(bytes.size() <= size && memcmp(bytes.data(), data, bytes.size()) == 0);
    map_check_options options;
    check_map(data, size, options);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    std::vector<uint8_t> bytes;
    std::string error;
    if (parse_map_text((const char *)data, size, &bytes, &error))
        check_compiled(bytes);
    else
        FUZZ_CHECK(error.compare(0, 5, "line ") == 0);
    check_decompiled(data, size);
    return 0;
}
