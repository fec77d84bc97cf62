// Shared by the end-to-end tests of the whole program: a run of the real game from its
// menu, pictures of the run directory compared with the screen, the settings file.
#pragma once

#include "config.h"
#include "e2e.h"

#include <allegro.h>
#include <chrono>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <string>
#include <vector>

namespace app_e2e {

// The four menu buttons' top-left corners, in the 800 x 600 menu.
const int BUTTON_X[4] = {137, 139, 138, 138};
const int BUTTON_Y[4] = {277, 340, 400, 508};
enum { PLAY = 0, KEYS = 1, OPTIONS = 2, QUIT = 3 };

// Settings for quick runs: no sound, so no one-second pauses after each choice.
inline config silent_settings() {
    config cfg;
    default_config(&cfg);
    cfg.music_volume = 0;
    cfg.effects_volume = 0;
    return cfg;
}

inline std::vector<uint8_t> bytes_of(const config &cfg) {
    return std::vector<uint8_t>((const uint8_t *)&cfg, (const uint8_t *)&cfg + sizeof cfg);
}

// A picture of the run directory, as 0xRRGGBB rows (mask pixels are 0xff00ff).
struct picture {
    int w = 0, h = 0;
    std::vector<uint32_t> rgb;
};

inline picture load_picture(const std::string &path) {
    allegro_for_tests(32);
    picture p;
    BITMAP *b = load_bitmap(path.c_str(), nullptr);
    if (!b) return p;
    p.w = b->w;
    p.h = b->h;
    for (int y = 0; y < b->h; y++)
        for (int x = 0; x < b->w; x++) {
            int c = getpixel(b, x, y);
            p.rgb.push_back((uint32_t)getr(c) << 16 | (uint32_t)getg(c) << 8 | (uint32_t)getb(c));
        }
    destroy_bitmap(b);
    return p;
}

// A picture of one plain colour, written as a BMP.
inline void write_plain_picture(const std::string &path, int w, int h, uint32_t rgb) {
    allegro_for_tests(32);
    BITMAP *b = create_bitmap(w, h);
    clear_to_color(b, makecol(rgb >> 16, (rgb >> 8) & 255, rgb & 255));
    save_bitmap(path.c_str(), b, nullptr);
    destroy_bitmap(b);
}

// The real program, started from a copy of the run directory.
struct app_run {
    game_run run;
    window_geometry window;
    std::map<std::string, picture> pictures;

    // Copies the run directory; with settings, writes them as save/config.czc, else
    // leaves no settings file (the run directory may hold one from a game played there).
    // Sound goes to ALSA's null device, so that the sound paths run on machines without
    // a sound card instead of falling back to silence.
    bool prepare(const config *cfg = nullptr) {
        if (!e2e_prepare(&run, 1024, 768)) return false;
        if (cfg)
            write_file(settings_path(), bytes_of(*cfg));
        else
            remove(settings_path().c_str());
        silent_sound_device();
        return true;
    }
    void silent_sound_device() {
        std::string path = run.dir.file("allegro.cfg");
        std::vector<uint8_t> bytes = read_file(path);
        std::string text(bytes.begin(), bytes.end());
        size_t at = text.find("[sound]\n");
        if (at == std::string::npos)
            text += "\n[sound]\nalsa_device = null\n";
        else
            text.insert(at + 8, "alsa_device = null\n");
        write_text(path, text);
    }
    std::string settings_path() const { return run.dir.file("save/config.czc"); }
    config saved() const {
        config cfg;
        memset(&cfg, 0, sizeof cfg);
        std::vector<uint8_t> bytes = read_file(settings_path());
        if (bytes.size() == sizeof cfg) memcpy(&cfg, bytes.data(), sizeof cfg);
        return cfg;
    }
    // Starts the program and waits for its main menu.
    bool start(const std::vector<std::string> &args = {}) {
        return e2e_launch(&run, args) && wait_mode(800, 600) && wait_menu();
    }
    bool wait_mode(int w, int h, double seconds = 10) {
        return e2e_wait_window_size(&run, w, h, &window, seconds);
    }
    screenshot shot() { return e2e_screenshot(&run); }
    uint32_t pixel(const screenshot &s, int x, int y) const {
        return s.pixel(window.x + x, window.y + y);
    }
    const picture &picture_of(const std::string &name) {
        auto found = pictures.find(name);
        if (found == pictures.end())
            found = pictures.emplace(name, load_picture(run.dir.file(name))).first;
        return found->second;
    }
    // The share of the picture's pixels (mask aside) that the screen shows at (x, y).
    double match(const screenshot &s, const std::string &name, int x, int y) {
        const picture &p = picture_of(name);
        int same = 0, total = 0;
        for (int j = 0; j < p.h; j++)
            for (int i = 0; i < p.w; i++) {
                uint32_t want = p.rgb[(size_t)j * p.w + i];
                if (want == 0xff00ff) continue;
                total++;
                same += pixel(s, x + i, y + j) == want;
            }
        return total ? (double)same / total : 0;
    }
    bool shows(const screenshot &s, const std::string &name, int x, int y) {
        return match(s, name, x, y) > 0.9;
    }
    std::string button(int i, bool on) const {
        return "graphics/b" + std::to_string(i) + (on ? "_on.bmp" : "_off.bmp");
    }
    // The highlighted button, -1 when none is; -2 when the menu is not on the screen.
    int highlighted(const screenshot &s) {
        int lit = -1;
        for (int i = 0; i < 4; i++) {
            if (shows(s, button(i, true), BUTTON_X[i], BUTTON_Y[i]))
                lit = lit == -1 ? i : -2;
            else if (!shows(s, button(i, false), BUTTON_X[i], BUTTON_Y[i]))
                return -2;
        }
        return lit;
    }
    // Screenshots until `seen` holds, for at most `seconds`.
    bool wait_for(const std::function<bool(const screenshot &)> &seen, double seconds = 5) {
        auto end =
            std::chrono::steady_clock::now() + std::chrono::milliseconds((int)(seconds * 1000));
        do {
            if (seen(shot())) return true;
            if (!e2e_running(&run)) return false;
            sleep_seconds(0.05);
        } while (std::chrono::steady_clock::now() < end);
        return false;
    }
    bool wait_menu(double seconds = 10) {
        bool shown = wait_for([&](const screenshot &s) { return highlighted(s) != -2; }, seconds);
        // The buttons are drawn just before the menu starts reading the keys.
        sleep_seconds(0.1);
        return shown;
    }
    bool wait_highlighted(int i, double seconds = 3) {
        return wait_for([&](const screenshot &s) { return highlighted(s) == i; }, seconds);
    }
    void key(const std::string &keysym) { e2e_key(&run, keysym); }
    // To (x, y) of the window.
    void move(int x, int y) { e2e_mouse_move(&run, window.x + x, window.y + y); }
    void click() { e2e_click(&run); }
    std::vector<std::string> messages() { return e2e_messages(&run); }
    bool quits_from_menu() {
        key("Escape");
        return e2e_wait_exit(&run, 10) && run.status == 0;
    }
};

// A small playable map: walls around, the player, one diamond away from it.
inline std::vector<uint8_t> small_map_bytes() {
    const char *rows[5] = {"#######", "#P....#", "#.....#", "#....D#", "#######"};
    std::vector<uint8_t> bytes = {5, 7};
    for (const char *row : rows)
        for (const char *c = row; *c; c++)
            bytes.push_back(*c == '#' ? 0 : *c == 'P' ? 7 : *c == 'D' ? 12 : 0xff);
    return bytes;
}

// A map picture of six plain frames: the given floor, a grey wall, then block steps.
inline void write_map_picture(const std::string &path, uint32_t floor_rgb) {
    allegro_for_tests(32);
    BITMAP *strip = create_bitmap(6 * 32, 32);
    for (int k = 0; k < 6; k++) {
        uint32_t rgb = k == 0 ? floor_rgb : k == 1 ? 0x5a5a78 : 0x8c4614 + 0x100000 * (k - 2);
        rectfill(strip, 32 * k, 0, 32 * k + 31, 31,
                 makecol(rgb >> 16, (rgb >> 8) & 255, rgb & 255));
    }
    save_bitmap(path.c_str(), strip, nullptr);
    destroy_bitmap(strip);
}

// Replaces the shipped maps by small ones of the given names, each with its own floor
// colour and a plain thumbnail of its own colour.
inline void use_small_maps(app_run *app, const std::vector<std::string> &names,
                           const std::vector<uint32_t> &floors,
                           const std::vector<uint32_t> &thumbnails) {
    run_command("rm -f '" + app->run.dir.file("maps") + "'/*.czm");
    for (size_t i = 0; i < names.size(); i++) {
        write_file(app->run.dir.file("maps/" + names[i] + ".czm"), small_map_bytes());
        write_map_picture(app->run.dir.file("maps/" + names[i] + ".bmp"), floors[i]);
        write_plain_picture(app->run.dir.file("thbs/" + names[i] + ".bmp"), 200, 150,
                            thumbnails[i]);
    }
}

// How many pixels of the window have exactly this colour.
inline int count_colour(app_run *app, const screenshot &s, uint32_t rgb, int x0 = 0, int y0 = 0,
                        int x1 = -1, int y1 = -1) {
    if (x1 < 0) x1 = app->window.width;
    if (y1 < 0) y1 = app->window.height;
    int n = 0;
    for (int y = y0; y < y1; y++)
        for (int x = x0; x < x1; x++)
            n += app->pixel(s, x, y) == rgb;
    return n;
}

} // namespace app_e2e
