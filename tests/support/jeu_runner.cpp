// Test program: plays one or more games of jeu on a map, in a window, with the settings
// of a given file, and writes how each game returned to a report file.
//
//   jeu_runner MAP [--config FILE] [--size WxH] [--games N] [--virtual-h H] [--seed N]
//              [--report FILE]
//
// --size replaces the screen size of the settings. --virtual-h asks for a screen taller than the
// window, so that video pages (page flipping) can be made under a windowed driver.
#include "config.h"
#include "jeu.h"
#include "volume.h"

#include <allegro.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

struct runner_options {
    const char *map = nullptr;
    const char *config_file = nullptr;
    const char *report = nullptr;
    int games = 1;
    int screen_w = 0, screen_h = 0;
    int virtual_h = 0;
    unsigned seed = 0;
    bool seeded = false;
};

static bool parse_options(int argc, char **argv, runner_options *o) {
    for (int i = 1; i < argc; i++) {
        const char *value = i + 1 < argc ? argv[i + 1] : nullptr;
        if (!strcmp(argv[i], "--config") && value)
            o->config_file = argv[++i];
        else if (!strcmp(argv[i], "--report") && value)
            o->report = argv[++i];
        else if (!strcmp(argv[i], "--size") && value)
            sscanf(argv[++i], "%dx%d", &o->screen_w, &o->screen_h);
        else if (!strcmp(argv[i], "--games") && value)
            o->games = atoi(argv[++i]);
        else if (!strcmp(argv[i], "--virtual-h") && value)
            o->virtual_h = atoi(argv[++i]);
        else if (!strcmp(argv[i], "--seed") && value) {
            o->seed = (unsigned)strtoul(argv[++i], nullptr, 10);
            o->seeded = true;
        } else if (argv[i][0] != '-' && !o->map)
            o->map = argv[i];
        else
            return false;
    }
    return o->map != nullptr;
}

// The record stored byte for byte in the file, or the defaults when there is none.
static void read_settings(const char *path, config *cfg) {
    default_config(cfg);
    if (!path) return;
    FILE *f = fopen(path, "rb");
    if (!f) return;
    size_t got = fread(cfg, 1, sizeof *cfg, f);
    fclose(f);
    if (got != sizeof *cfg) default_config(cfg);
}

static void report_line(const char *path, const char *line) {
    FILE *f = path ? fopen(path, "a") : stdout;
    if (!f) return;
    fprintf(f, "%s\n", line);
    if (f != stdout) fclose(f);
}

static bool start_library(config *cfg, const runner_options *o, const char *argv0) {
    if (allegro_init() != 0) {
        fprintf(stderr, "jeu_runner: no system driver (is DISPLAY set?)\n");
        return false;
    }
    set_uformat(U_ASCII);
    int depth = desktop_color_depth();
    set_color_depth(depth ? depth : 24);
    if (set_gfx_mode(GFX_AUTODETECT_WINDOWED, cfg->screen_w, cfg->screen_h, 0, o->virtual_h)) {
        fprintf(stderr, "jeu_runner: no %dx%d window: %s\n", cfg->screen_w, cfg->screen_h,
                allegro_error);
        return false;
    }
    set_window_title("[ Cindermaze ]");
    install_timer();
    install_keyboard();
    srand(o->seeded ? o->seed : (unsigned)time(nullptr));
    // As at the game's start: without a sound card the game runs silent.
    if (install_sound(DIGI_AUTODETECT, MIDI_AUTODETECT, argv0) != 0) {
        cfg->effects_volume = 0;
        cfg->music_volume = 0;
        install_sound(DIGI_NONE, MIDI_NONE, argv0);
    }
    apply_volumes(cfg);
    return true;
}

int main(int argc, char **argv) {
    runner_options o;
    if (!parse_options(argc, argv, &o)) {
        fprintf(stderr, "usage: jeu_runner MAP [--config FILE] [--size WxH] [--games N] "
                        "[--virtual-h H] [--seed N] [--report FILE]\n");
        return 2;
    }
    config *cfg = (config *)calloc(1, sizeof(config));
    read_settings(o.config_file, cfg);
    if (o.screen_w > 0 && o.screen_h > 0) {
        cfg->screen_w = o.screen_w;
        cfg->screen_h = o.screen_h;
    }
    if (!start_library(cfg, &o, argv[0])) return 3;
    char line[256];
    snprintf(line, sizeof line, "digi %s", digi_driver ? digi_driver->name : "none");
    report_line(o.report, line);
    for (int n = 1; n <= o.games; n++) {
        auto start = std::chrono::steady_clock::now();
        int32_t result = jeu(cfg, o.map);
        auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                      std::chrono::steady_clock::now() - start)
                      .count();
        snprintf(line, sizeof line, "game %d result %d display_method %d ms %lld", n, (int)result,
                 (int)cfg->display_method, (long long)ms);
        report_line(o.report, line);
        if (result != 0) return 1; // the set-up failed and has shut the library down
    }
    return 0;
}
END_OF_MAIN()
