// czmtool: compiles map text into .czm files, writes .czm files back as text,
// checks maps as the game will play them, plays a map's route, and plays a recorded run.
#include "files.h"
#include "mapcheck.h"
#include "maps.h"
#include "maptext.h"
#include "records.h"
#include "route.h"

#include <allegro.h>
#include <cerrno>
#include <fstream>
#include <sstream>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

static bool ends_with(const std::string &s, const char *suffix) {
    size_t n = strlen(suffix);
    return s.size() >= n && s.compare(s.size() - n, n, suffix) == 0;
}

static int usage() {
    fprintf(stderr,
            "usage: czmtool compile MAP.txt OUT.czm\n"
            "       czmtool decompile MAP.czm [OUT.txt]\n"
            "       czmtool check [--screen WxH] [--hud FONT_HEIGHT] MAP.czm|MAP.txt...\n"
            "       czmtool build [--screen WxH] [--hud FONT_HEIGHT] MAP.txt OUT.czm   (compile "
            "if it passes the check)\n"
            "       czmtool route [--win] [--record RECORDS.czr] ROUTE [OUT]   (its course; "
            "--win: fails unless won;\n"
            "                 --record: writes the won game of its map file as its record)\n"
            "       czmtool replay MAP.czm RECORDS.czr   (plays the map's run: its end, its time, "
            "and whether it proves its record)\n");
    return 2;
}

// Reads a map as .czm bytes, compiling it first when it is text.
static bool load_any(const char *path, std::vector<uint8_t> *bytes) {
    std::vector<uint8_t> raw;
    if (!read_file_bytes(path, &raw)) {
        fprintf(stderr, "%s: cannot be read\n", path);
        return false;
    }
    if (ends_with(path, ".czm")) {
        *bytes = raw;
        return true;
    }
    std::string error;
    if (!parse_map_text((const char *)raw.data(), raw.size(), bytes, &error)) {
        fprintf(stderr, "%s: %s\n", path, error.c_str());
        return false;
    }
    return true;
}

static int compile(const char *in, const char *out) {
    std::vector<uint8_t> raw, bytes;
    if (!read_file_bytes(in, &raw)) return fprintf(stderr, "%s: cannot be read\n", in), 1;
    std::string error;
    if (!parse_map_text((const char *)raw.data(), raw.size(), &bytes, &error))
        return fprintf(stderr, "%s:%s\n", in, (" " + error).c_str()), 1;
    if (!write_file_whole(out, bytes.data(), bytes.size()))
        return fprintf(stderr, "%s: cannot be written\n", out), 1;
    return 0;
}

static int decompile(const char *in, const char *out) {
    std::vector<uint8_t> bytes;
    if (!read_file_bytes(in, &bytes)) return fprintf(stderr, "%s: cannot be read\n", in), 1;
    std::string text, error;
    if (!format_map_text(bytes.data(), bytes.size(), &text, &error))
        return fprintf(stderr, "%s: %s\n", in, error.c_str()), 1;
    size_t used = map_file_size(bytes[0], bytes[1]);
    if (bytes.size() > used)
        fprintf(stderr, "%s: note: %zu bytes after the last row are left out\n", in,
                bytes.size() - used);
    if (!out) return fwrite(text.data(), 1, text.size(), stdout) == text.size() ? 0 : 1;
    if (!write_file_whole(out, text.data(), text.size()))
        return fprintf(stderr, "%s: cannot be written\n", out), 1;
    return 0;
}

// Options shared by check and build: --screen WxH, --hud FONT_HEIGHT.
// Returns the index of the first argument that is not an option, or -1 on a bad option.
static int parse_options(int argc, char **argv, map_check_options *opt) {
    int i = 0;
    for (; i < argc; i++) {
        if (!strcmp(argv[i], "--screen") && i + 1 < argc) {
            if (sscanf(argv[++i], "%dx%d", &opt->screen_w, &opt->screen_h) != 2) return -1;
        } else if (!strcmp(argv[i], "--hud") && i + 1 < argc) {
            opt->hud_text_h = atoi(argv[++i]);
        } else {
            break;
        }
    }
    return i;
}

// Compiles and checks; the .czm is written only when the map passes.
static int build(int argc, char **argv) {
    map_check_options opt;
    int i = parse_options(argc, argv, &opt);
    if (i < 0 || argc - i != 2) return usage();
    std::vector<uint8_t> bytes;
    if (!load_any(argv[i], &bytes)) return 1;
    std::vector<std::string> problems = check_map(bytes.data(), bytes.size(), opt);
    for (const std::string &p : problems)
        fprintf(stderr, "%s: %s\n", argv[i], p.c_str());
    if (!problems.empty()) return 1;
    if (!write_file_whole(argv[i + 1], bytes.data(), bytes.size()))
        return fprintf(stderr, "%s: cannot be written\n", argv[i + 1]), 1;
    return 0;
}

static int check(int argc, char **argv) {
    map_check_options opt;
    int failures = 0, files = 0;
    int first = parse_options(argc, argv, &opt);
    if (first < 0) return usage();
    for (int i = first; i < argc; i++) {
        files++;
        std::vector<uint8_t> bytes;
        if (!load_any(argv[i], &bytes)) {
            failures++;
            continue;
        }
        std::vector<std::string> problems = check_map(bytes.data(), bytes.size(), opt);
        for (const std::string &p : problems)
            fprintf(stderr, "%s: %s\n", argv[i], p.c_str());
        if (problems.empty())
            printf("%s: ok, %s\n", argv[i], map_summary(bytes.data(), bytes.size()).c_str());
        else
            failures++;
    }
    if (files == 0) return usage();
    return failures ? 1 : 0;
}

// The won game of a route's map file as its record, in a records file of its own.
static bool write_route_record(const route_result &result, const char *path) {
    if (result.end != END_WON || result.map_name.empty())
        return fprintf(stderr, "%s: the route wins no map file\n", path), false;
    record_entry e;
    e.map = result.map_name;
    e.map_hash = result.map_hash;
    e.ticks = result.ticks;
    e.date = (int64_t)time(nullptr);
    e.run = result.run;
    std::vector<uint8_t> bytes = records_bytes({e});
    if (write_file_whole(path, bytes.data(), bytes.size())) return true;
    return fprintf(stderr, "%s: cannot be written\n", path), false;
}

// Plays a route (its maps are read beside it) and writes its course; fails when one of
// its expectations does not hold and, with --win, unless the last game is won.
static int route(int argc, char **argv) {
    bool win = argc > 0 && !strcmp(argv[0], "--win");
    argc -= win, argv += win;
    const char *record = argc > 1 && !strcmp(argv[0], "--record") ? argv[1] : nullptr;
    if (record) argc -= 2, argv += 2;
    if (argc < 1 || argc > 2) return usage();
    std::ifstream script(argv[0]);
    if (!script) return fprintf(stderr, "%s: cannot be read\n", argv[0]), 1;
    std::string path = argv[0];
    std::string dir = path.find('/') == std::string::npos ? "." : path.substr(0, path.rfind('/'));
    std::ostringstream course;
    route_result result;
    if (!route_play(script, dir, route_hooks{}, course, &result))
        return fprintf(stderr, "%s: %s\n", argv[0], result.error.c_str()), 1;
    std::string text = course.str();
    if (argc == 1) fwrite(text.data(), 1, text.size(), stdout);
    if (argc == 2 && !write_file_whole(argv[1], text.data(), text.size()))
        return fprintf(stderr, "%s: cannot be written\n", argv[1]), 1;
    for (const route_miss &miss : result.missed)
        fprintf(stderr, "%s:%s\n", argv[0], route_miss_text(miss).c_str());
    if (win && result.end != END_WON)
        return fprintf(stderr, "%s: the route does not win its map (the game ends with %d)\n",
                       argv[0], result.end),
               1;
    if (record && !write_route_record(result, record)) return 1;
    return result.missed.empty() ? 0 : 1;
}

// Plays the run a records file holds for the map (or its only run) without a screen, with
// the map's strip beside it, and prints how it ended, its time and whether it is a record.
static int replay(const char *map_file, const char *records_file) {
    install_allegro(SYSTEM_NONE, &errno, atexit);
    std::vector<uint8_t> map_bytes, bytes;
    unsigned frames = 0;
    if (!read_map_as_played(map_file, &map_bytes, &frames))
        return fprintf(stderr, "%s: the map or its strip cannot be read\n", map_file), 1;
    std::vector<record_entry> entries;
    if (!read_file_bytes(records_file, &bytes) ||
        !parse_records(bytes.data(), bytes.size(), &entries))
        return fprintf(stderr, "%s: not a whole records file\n", records_file), 1;
    const record_entry *run = entries.size() == 1 ? &entries[0] : nullptr;
    for (const record_entry &e : entries)
        if (e.map == map_name_of(map_file)) run = &e;
    if (!run) return fprintf(stderr, "%s: no run for %s\n", records_file, map_file), 1;
    uint32_t ticks = 0;
    int end =
        play_run(map_bytes.data(), map_bytes.size(), frames, &run->run, RECORD_MAX_TICKS, &ticks);
    bool proven = record_proven(run, map_bytes.data(), map_bytes.size(), frames);
    printf("map %s\nend %s\nticks %u\ntime %s s\nrecord %s\n", run->map.c_str(),
           end_name((uint8_t)end).c_str(), ticks, record_time_text(ticks).c_str(),
           proven ? "proven" : "not proven");
    return 0;
}

int main(int argc, char **argv) {
    if (argc < 2) return usage();
    std::string cmd = argv[1];
    if (cmd == "compile" && argc == 4) return compile(argv[2], argv[3]);
    if (cmd == "decompile" && (argc == 3 || argc == 4))
        return decompile(argv[2], argc == 4 ? argv[3] : nullptr);
    if (cmd == "check") return check(argc - 2, argv + 2);
    if (cmd == "build") return build(argc - 2, argv + 2);
    if (cmd == "route") return route(argc - 2, argv + 2);
    if (cmd == "replay" && argc == 4) return replay(argv[2], argv[3]);
    return usage();
}
