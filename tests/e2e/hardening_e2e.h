// Shared by the hardening end-to-end tests: a whole walk through the program (menu, map
// chooser, a game with a bomb, back to the menu, quit) that stops wherever the program
// ends, the messages it showed, and the settings file it must never spoil.
#pragma once

#include "app_e2e.h"
#include "directory.h"

#include <cstdlib>
#include <string>
#include <vector>

namespace hardening {

using namespace app_e2e;

// Built with AddressSanitizer: the program runs several times slower, so waits are longer
// and the longest tests keep to one case of each kind.
#if defined(__SANITIZE_ADDRESS__)
const bool SANITIZED = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
const bool SANITIZED = true;
#else
const bool SANITIZED = false;
#endif
#else
const bool SANITIZED = false;
#endif

inline double slow(double seconds) { return SANITIZED ? seconds * 2.5 : seconds; }

// Where a walk through the program stopped.
enum walk_end {
    WALK_ENDED_EARLY,   // the program ended before the walk was over
    WALK_DONE,          // back in the menu after a game, and quit from there
    WALK_STUCK,         // still running, but a screen never came
};

// The position of maps/<name>.czm in the chooser's list (name order,
// which the program and the test read alike), -1 when it is not listed.
inline int chooser_index(app_run *app, const std::string &name) {
    char **files = nullptr;
    int count = list_dir_ext(app->run.dir.file("maps").c_str(), ".czm", &files);
    int found = -1;
    for (int i = 0; i < count; i++)
        if (std::string(files[i]).size() >= name.size() + 5 &&
            std::string(files[i]).compare(std::string(files[i]).size() - name.size() - 5,
                                          std::string::npos, "/" + name + ".czm") == 0)
            found = i;
    free_file_list(files, count);
    return found;
}

// Waits until the program has left the menu (its buttons are no longer on the screen).
inline bool wait_menu_gone(app_run *app, double seconds) {
    return app->wait_for([&](const screenshot &s) { return app->highlighted(s) == -2; }, seconds);
}

// Menu, chooser (stepping `steps` maps forward), a game with a bomb laid and the player
// walking, the quit key, the menu again, Escape; without `play`, the chooser is left with
// Escape. Stops as soon as the program has ended.
inline walk_end walk_through(app_run *app, int steps = 0, bool play = true) {
    if (!e2e_launch(&app->run)) return WALK_STUCK;
    if (!app->wait_mode(800, 600, slow(10)) || !app->wait_menu(slow(10)))
        return e2e_running(&app->run) ? WALK_STUCK : WALK_ENDED_EARLY;
    app->key("Down");
    if (!app->wait_highlighted(PLAY, slow(3)))
        return e2e_running(&app->run) ? WALK_STUCK : WALK_ENDED_EARLY;
    app->key("Return");
    // The chooser: the go sound, when on, plays a second before it opens; its keys count
    // once its buttons are drawn.
    if (!wait_menu_gone(app, slow(5)) ||
        !app->wait_for(
            [&](const screenshot &s) { return app->shows(s, "graphics/prec_off.bmp", 9, 555); },
            slow(5)))
        return e2e_running(&app->run) ? WALK_STUCK : WALK_ENDED_EARLY;
    for (int i = 0; i < steps && e2e_running(&app->run); i++)
        app->key("Left");
    if (!play) {
        app->key("Escape");
        if (!app->wait_menu(slow(10)))
            return e2e_running(&app->run) ? WALK_STUCK : WALK_ENDED_EARLY;
        app->key("Escape");
        return e2e_wait_exit(&app->run, slow(10)) ? WALK_DONE : WALK_STUCK;
    }
    app->key("Return");
    // The game: set-up, then a bomb and a few steps.
    sleep_seconds(slow(1.5));
    if (!e2e_running(&app->run)) return WALK_ENDED_EARLY;
    app->key("space");
    e2e_key_down(&app->run, "Right");
    sleep_seconds(0.3);
    e2e_key_up(&app->run, "Right");
    e2e_key_down(&app->run, "Down");
    sleep_seconds(0.3);
    e2e_key_up(&app->run, "Down");
    app->key("Escape");
    if (!app->wait_menu(slow(10)))
        return e2e_running(&app->run) ? WALK_STUCK : WALK_ENDED_EARLY;
    app->key("Escape");
    if (!e2e_wait_exit(&app->run, slow(10))) return WALK_STUCK;
    return WALK_DONE;
}

// "Erreur : <text>\nAllegro_error : ..." as the fatal error sequence shows it.
inline bool is_fatal_message(const std::string &message, const std::string &text) {
    return message.rfind("Erreur : " + text + "\nAllegro_error : ", 0) == 0;
}

inline std::vector<uint8_t> settings_bytes(const app_run &app) {
    return read_file(app.settings_path());
}

} // namespace hardening
