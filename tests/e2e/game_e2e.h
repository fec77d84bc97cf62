// Shared by the end-to-end tests of a game: maps and map pictures written for a test,
// the test program that plays jeu in a window, and reading the screen back.
#pragma once

#include "config.h"
#include "e2e.h"

#include <allegro.h>
#include <chrono>
#include <cstdio>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace game_e2e {

// Colours of the map pictures the tests write: plain tiles that the shipped art never uses.
const uint32_t FLOOR_RGB = 0x0a3c14;
const uint32_t WALL_RGB = 0x5a5a78;
const uint32_t BLOCK_RGB = 0x8c4614;

// Map text: '#' wall, 'B' block, '?' hidden bonus, 'P' player, 'M' monster, 'D' diamond,
// '.' floor.
inline std::vector<uint8_t> map_bytes(const std::vector<std::string> &rows) {
    std::vector<uint8_t> bytes = {(uint8_t)rows.size(), (uint8_t)rows[0].size()};
    for (const std::string &row : rows)
        for (char c : row) {
            const char *codes = "#B?PMD";
            const uint8_t values[] = {0, 2, 4, 7, 11, 12};
            uint8_t v = 0xff;
            for (int i = 0; codes[i]; i++)
                if (codes[i] == c) v = values[i];
            bytes.push_back(v);
        }
    return bytes;
}

// The objects a map turns into: every cell but the floor.
inline int map_objects(const std::vector<std::string> &rows) {
    int n = 0;
    for (const std::string &row : rows)
        for (char c : row)
            n += c != '.';
    return n;
}

inline int colour_of(uint32_t rgb) {
    return makecol(rgb >> 16, (rgb >> 8) & 255, rgb & 255);
}

// A map picture of `frames` plain frames: floor, wall, then block steps.
inline void write_map_image(const std::string &path, int frames) {
    allegro_for_tests(32);
    BITMAP *strip = create_bitmap(32 * frames, 32);
    for (int k = 0; k < frames; k++) {
        uint32_t rgb = k == 0 ? FLOOR_RGB : k == 1 ? WALL_RGB : BLOCK_RGB + 0x100000 * (k - 2);
        rectfill(strip, 32 * k, 0, 32 * k + 31, 31, colour_of(rgb));
    }
    save_bitmap(path.c_str(), strip, nullptr);
    destroy_bitmap(strip);
}

inline config test_settings() {
    config cfg;
    default_config(&cfg);
    cfg.gfx_card = GFX_AUTODETECT_WINDOWED;
    cfg.music_volume = 0;
    return cfg;
}

// One run of the test program on a map of its own.
struct game_e2e_run {
    game_run run;
    std::string report;
    window_geometry window;
    std::chrono::steady_clock::time_point started;

    // Writes maps/<name>.czm and its picture into a copy of the run directory.
    bool prepare(const std::vector<std::string> &rows, const std::string &name = "test",
                 int image_frames = 6) {
        if (!e2e_prepare(&run, 1024, 768)) return false;
        write_file(map_path(name), map_bytes(rows));
        if (image_frames > 0) write_map_image(run.dir.file("maps/" + name + ".bmp"), image_frames);
        return true;
    }
    std::string map_path(const std::string &name = "test") const {
        return run.dir.file("maps/" + name + ".czm");
    }
    bool launch(const config &cfg, const std::vector<std::string> &extra = {},
                const std::vector<std::string> &env = {}, const std::string &name = "test") {
        std::string settings = run.dir.file("save/test.czc");
        write_file(settings,
                   std::vector<uint8_t>((const uint8_t *)&cfg, (const uint8_t *)&cfg + sizeof cfg));
        report = run.dir.file("report.txt");
        std::vector<std::string> args = {
            "maps/" + name + ".czm", "--config", settings, "--report", report, "--seed", "7"};
        args.insert(args.end(), extra.begin(), extra.end());
        started = std::chrono::steady_clock::now();
        return e2e_launch_program(&run, JEU_RUNNER, args, env);
    }
    // Waits for the window and puts the pointer in it, so that it has the keyboard.
    bool wait_window() {
        if (!e2e_wait_window(&run, &window, 10)) return false;
        e2e_mouse_move(&run, window.x + window.width / 2, window.y + window.height / 2);
        return true;
    }
    screenshot shot() { return e2e_screenshot(&run); }
    uint32_t pixel(const screenshot &s, int x, int y) const {
        return s.pixel(window.x + x, window.y + y);
    }
    // Screenshots until `seen` holds, for at most `seconds`.
    bool wait_for(const std::function<bool(const screenshot &)> &seen, double seconds,
                  screenshot *last = nullptr) {
        auto end =
            std::chrono::steady_clock::now() + std::chrono::milliseconds((int)(seconds * 1000));
        do {
            screenshot s = shot();
            if (seen(s)) {
                if (last) *last = s;
                return true;
            }
            if (!e2e_running(&run)) return false;
            sleep_seconds(0.05);
        } while (std::chrono::steady_clock::now() < end);
        return false;
    }
    // The field is up: its top-left wall cell at (x, y) of the window.
    bool wait_field(int x, int y, double seconds = 10) {
        return wait_for([&](const screenshot &s) { return pixel(s, x + 8, y + 8) == WALL_RGB; },
                        seconds);
    }
    double seconds_since_start() const {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    }
    std::vector<std::string> report_lines() const {
        std::vector<uint8_t> bytes = read_file(report);
        std::string text(bytes.begin(), bytes.end());
        std::vector<std::string> lines;
        size_t start = 0, end;
        while ((end = text.find('\n', start)) != std::string::npos) {
            lines.push_back(text.substr(start, end - start));
            start = end + 1;
        }
        return lines;
    }
    // "game N result R display_method D ms T" of game n, or "".
    std::string game_line(int n) const {
        std::string prefix = "game " + std::to_string(n) + " ";
        for (const std::string &line : report_lines())
            if (line.rfind(prefix, 0) == 0) return line;
        return "";
    }
    std::vector<std::string> messages() {
        std::vector<std::string> found = e2e_messages(&run);
        // Allegro ends every message it hands to xmessage with a new line.
        for (std::string &m : found)
            if (!m.empty() && m.back() == '\n') m.pop_back();
        return found;
    }
};

// A key pressed long enough that Allegro's input thread sees it down even on a busy
// machine (a short tap can be pressed and released between two of its reads).
inline void press_key(game_run *run, const std::string &keysym, double seconds = 0.25) {
    e2e_key_down(run, keysym);
    sleep_seconds(seconds);
    e2e_key_up(run, keysym);
    sleep_seconds(0.05);
}

// The font of the head-up display, read from the run directory's datafile.
struct hud_font_file {
    DATAFILE *data = nullptr;
    FONT *font_ = nullptr;
    explicit hud_font_file(const std::string &dir) {
        allegro_for_tests(32);
        data = load_datafile((dir + "/bktype.dat").c_str());
        font_ = data ? (FONT *)data[0].dat : nullptr;
    }
    ~hud_font_file() {
        if (data) unload_datafile(data);
    }
};

// The text as Allegro draws it on black, one colour, transparent background.
inline BITMAP *render_text(FONT *f, const std::string &text, uint32_t rgb) {
    allegro_for_tests(32);
    BITMAP *b = create_bitmap(text_length(f, text.c_str()) + 1, text_height(f));
    clear_bitmap(b);
    textout_ex(b, f, text.c_str(), 0, 0, colour_of(rgb), -1);
    return b;
}

inline uint32_t rgb_at(BITMAP *b, int x, int y) {
    int c = getpixel(b, x, y);
    return (uint32_t)getr(c) << 16 | (uint32_t)getg(c) << 8 | (uint32_t)getb(c);
}

// Every pixel of the text's box, at (x, y) of the window, is as Allegro draws the text
// over black.
inline bool shows_text_on_black(game_e2e_run *g, const screenshot &s, FONT *f,
                                const std::string &text, uint32_t rgb, int x, int y) {
    BITMAP *b = render_text(f, text, rgb);
    bool same = true;
    for (int j = 0; j < b->h && same; j++)
        for (int i = 0; i < b->w && same; i++)
            same = g->pixel(s, x + i, y + j) == rgb_at(b, i, j);
    destroy_bitmap(b);
    return same;
}

// Every pixel of the text itself is there, whatever lies around it.
inline bool shows_text(game_e2e_run *g, const screenshot &s, FONT *f, const std::string &text,
                       uint32_t rgb, int x, int y) {
    BITMAP *b = render_text(f, text, rgb);
    bool same = true;
    for (int j = 0; j < b->h && same; j++)
        for (int i = 0; i < b->w && same; i++)
            if (rgb_at(b, i, j) == rgb) same = g->pixel(s, x + i, y + j) == rgb;
    destroy_bitmap(b);
    return same;
}

// The number a head-up display counter shows at (x, 0), or -1.
inline int read_counter(game_e2e_run *g, const screenshot &s, FONT *f, int x, int most = 300) {
    // Longest first: "9" alone also matches the left of "90".
    for (int v = most; v >= 0; v--)
        if (shows_text_on_black(g, s, f, std::to_string(v), 0xff0000, x, 0)) return v;
    return -1;
}

// An ALSA set-up whose default device writes everything played into `capture`.
inline std::string alsa_capture_config(const temp_dir &dir, const std::string &capture) {
    std::string path = dir.file("asound.conf");
    write_text(path, "pcm.!default {\n"
                     "  type file\n"
                     "  slave { pcm { type null } }\n"
                     "  file \"" +
                         capture +
                         "\"\n"
                         "  format \"raw\"\n"
                         "}\n");
    return path;
}

// Share of the captured 16-bit words that differ from silence (the first word).
inline double loud_share(const std::string &capture) {
    std::vector<uint8_t> bytes = read_file(capture);
    size_t words = bytes.size() / 2;
    if (words == 0) return 0;
    uint16_t silence = (uint16_t)(bytes[0] | bytes[1] << 8);
    size_t loud = 0;
    for (size_t i = 0; i < words; i++) {
        int v = bytes[2 * i] | bytes[2 * i + 1] << 8;
        loud += v > silence + 64 || v < silence - 64;
    }
    return (double)loud / (double)words;
}

} // namespace game_e2e
