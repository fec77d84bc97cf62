#include "e2e.h"

#include <X11/Xlib.h>
#include <allegro.h>
#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

const int MENU_BUTTON_X[4] = {137, 139, 138, 138};
const int MENU_BUTTON_Y[4] = {277, 340, 400, 508};
double e2e_time_scale = 1;

uint32_t screenshot::pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= width || y >= height) return 0;
    size_t i = 3 * ((size_t)y * width + x);
    return (uint32_t)rgb[i] << 16 | (uint32_t)rgb[i + 1] << 8 | rgb[i + 2];
}

e2e_run::~e2e_run() {
    e2e_kill(this);
    xvfb_stop(&x);
}

config quiet_settings() {
    config cfg;
    memset(&cfg, 0, sizeof cfg);
    default_config(&cfg);
    cfg.gfx_card = GFX_AUTODETECT_WINDOWED;
    cfg.music_volume = cfg.effects_volume = 0;
    return cfg;
}

void e2e_put(e2e_run *run, const std::string &name, const std::vector<uint8_t> &bytes) {
    unlink(run->file(name).c_str());
    write_file(run->file(name), bytes);
}

bool e2e_prepare(e2e_run *run, const config *cfg) {
    if (!xvfb_start(&run->x, 1024, 768)) return false;
    // Links to the shared data; the program itself copied, since Allegro reads allegro.cfg
    // beside the real executable; a save/ of its own; sound to ALSA's null device, so the
    // sound code runs without a sound card.
    bool made = run_command("cp -as '" CINDERMAZE_RUN_DIR "/.' '" + run->dir.path + "/' && cd '" +
                            run->dir.path +
                            "' && rm -rf save cindermaze cindermaze-edit allegro.cfg && mkdir save "
                            "&& cp '" CINDERMAZE_RUN_DIR "/cindermaze' '" CINDERMAZE_RUN_DIR
                            "/cindermaze-edit' . && sed 's/^\\[sound\\]$/&\\nalsa_device = null/' "
                            "'" CINDERMAZE_RUN_DIR "/allegro.cfg' > allegro.cfg") == 0;
    run->messages = run->file("messages.log");
    if (cfg) write_file(run->file("save/config.czc"), bytes_of(*cfg));
    return made;
}

void e2e_only_maps(e2e_run *run, const std::vector<std::string> &names,
                   const std::vector<std::vector<std::string>> &rows, uint32_t floor_rgb,
                   const std::vector<uint32_t> &thumb_rgb, int frames) {
    allegro_for_tests(32);
    run_command("rm -f '" + run->file("maps") + "'/* '" + run->file("thbs") + "'/*");
    for (size_t i = 0; i < names.size(); i++) {
        e2e_put(run, "maps/" + names[i] + ".czm", map_bytes(rows[i]));
        BITMAP *strip = create_bitmap(32 * frames, 32);
        for (int k = 0; k < frames; k++) {
            uint32_t rgb = k == 0 ? floor_rgb : k == 1 ? 0x5a5a78 : 0x8c4614 + 0x100000 * (k - 2);
            rectfill(strip, 32 * k, 0, 32 * k + 31, 31,
                     makecol(rgb >> 16, (rgb >> 8) & 255, rgb & 255));
        }
        if (frames) save_bitmap(run->file("maps/" + names[i] + ".bmp").c_str(), strip, nullptr);
        destroy_bitmap(strip);
        BITMAP *thumb = create_bitmap(200, 150);
        uint32_t t = thumb_rgb[i];
        clear_to_color(thumb, makecol(t >> 16, (t >> 8) & 255, t & 255));
        save_bitmap(run->file("thbs/" + names[i] + ".bmp").c_str(), thumb, nullptr);
        destroy_bitmap(thumb);
    }
}

std::vector<uint8_t> record_bytes(const config &cfg) {
    std::vector<uint8_t> bytes = bytes_of(cfg);
    bytes[6] = bytes[7] = 0;
    return bytes;
}

std::vector<uint8_t> e2e_settings_bytes(const e2e_run *run) {
    std::vector<uint8_t> bytes = read_file(run->file("save/config.czc"));
    if (bytes.size() == sizeof(config)) bytes[6] = bytes[7] = 0;
    return bytes;
}

bool e2e_launch(e2e_run *run, const std::vector<std::string> &env, const std::string &name,
                const std::vector<std::string> &args) {
    std::string program = name[0] == '/' ? name : run->file(name);
    pid_t pid = fork();
    if (pid < 0) return false;
    if (pid == 0) {
        if (chdir(run->dir.path.c_str()) != 0) _exit(126);
        setenv("DISPLAY", run->x.name.c_str(), 1);
        setenv("XMESSAGE_LOG", run->messages.c_str(), 1);
        setenv("PATH", (std::string(CINDERMAZE_STUB_DIR ":") + getenv("PATH")).c_str(), 1);
        for (const std::string &entry : env)
            putenv(strdup(entry.c_str()));
        dup2(open("/dev/null", O_RDWR), 0);
        std::vector<char *> argv = {(char *)program.c_str()};
        for (const std::string &a : args)
            argv.push_back((char *)a.c_str());
        argv.push_back(nullptr);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    run->pid = pid;
    run->exited = false;
    return true;
}

bool e2e_running(e2e_run *run) {
    if (run->pid <= 0 || run->exited) return false;
    int wstatus;
    if (waitpid(run->pid, &wstatus, WNOHANG) != run->pid) return true;
    run->exited = true;
    run->status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : 128 + WTERMSIG(wstatus);
    return false;
}

static double now() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count() / e2e_time_scale;
}

bool e2e_wait_exit(e2e_run *run, double seconds) {
    for (double end = now() + seconds; e2e_running(run) && now() < end;)
        usleep(20000);
    return run->exited;
}

void e2e_kill(e2e_run *run) {
    if (e2e_running(run)) kill(run->pid, SIGKILL);
    e2e_wait_exit(run, 10);
}

std::string capture_output(const std::string &command) {
    std::string out;
    FILE *p = popen(command.c_str(), "r");
    char buffer[4096];
    for (size_t n; p && (n = fread(buffer, 1, sizeof buffer, p)) > 0;)
        out.append(buffer, n);
    if (p) pclose(p);
    return out;
}

static std::string x_command(const e2e_run *run, const std::string &command) {
    return "DISPLAY=" + run->x.name + " " + command + " 2>/dev/null";
}

screenshot e2e_shot(e2e_run *run) {
    screenshot shot;
    std::string ppm = capture_output(x_command(run, "import -window root -depth 8 ppm:-"));
    int w = 0, h = 0, max = 0, header = 0;
    if (sscanf(ppm.c_str(), "P6 %d %d %d%n", &w, &h, &max, &header) != 3 || max != 255) return shot;
    if (ppm.size() < header + 1 + 3 * (size_t)w * h) return shot;
    shot.width = w, shot.height = h;
    shot.rgb.assign(ppm.begin() + header + 1, ppm.begin() + header + 1 + 3 * (size_t)w * h);
    return shot;
}

bool e2e_wait(e2e_run *run, const std::function<bool(const screenshot &)> &seen, double seconds) {
    for (double end = now() + seconds; now() < end && e2e_running(run);) {
        if (seen(e2e_shot(run))) return true;
        usleep(30000 * e2e_time_scale);
    }
    return false;
}

// Without a window manager a full-screen mode is a screen-sized window with the picture
// in a child, and a windowed one a top-level window with a child of the same size. The
// newest window of the size is taken: the one a change of mode has just made.
bool e2e_wait_window(e2e_run *run, int w, int h, double seconds) {
    for (double end = now() + seconds; now() < end && e2e_running(run); usleep(50000)) {
        // Lines "  0xID name: (...)  WxH+x+y  +X+Y", X and Y absolute.
        std::string tree = capture_output(x_command(run, "xwininfo -root -tree"));
        long best = 0;
        for (size_t at = 0, nl; (nl = tree.find('\n', at)) != std::string::npos; at = nl + 1) {
            std::string line = tree.substr(at, nl - at);
            size_t id_at = line.find("0x"), size_at = line.rfind(")");
            int ww, wh, x, y;
            if (id_at == std::string::npos || size_at == std::string::npos ||
                sscanf(line.c_str() + size_at + 1, " %dx%d%*d%*d +%d+%d", &ww, &wh, &x, &y) != 4)
                continue;
            long id = strtol(line.c_str() + id_at, nullptr, 16);
            if (ww == w && wh == h && id > best) {
                best = id;
                run->wx = x, run->wy = y, run->ww = w, run->wh = h, run->wid = id;
            }
        }
        if (best) return true;
    }
    return false;
}

uint32_t e2e_pixel(const e2e_run *run, const screenshot &s, int x, int y) {
    return s.pixel(run->wx + x, run->wy + y);
}

double e2e_match(e2e_run *run, const screenshot &s, const std::string &picture, int x, int y, int w,
                 int h) {
    allegro_for_tests(32);
    BITMAP *b = load_bitmap(run->file(picture).c_str(), nullptr);
    if (!b) return 0;
    BITMAP *shown = create_bitmap(w ? w : b->w, h ? h : b->h);
    stretch_blit(b, shown, 0, 0, b->w, b->h, 0, 0, shown->w, shown->h);
    int same = 0, total = 0;
    for (int j = 0; j < shown->h; j += 2)
        for (int i = 0; i < shown->w; i += 2) {
            int c = getpixel(shown, i, j);
            if (c == bitmap_mask_color(shown)) continue;
            total++;
            // Near enough: a 16-bit mode (the safe mode's) rounds each channel down.
            uint32_t seen = e2e_pixel(run, s, x + i, y + j);
            same += abs((int)(seen >> 16) - getr(c)) < 8 &&
                    abs((int)(seen >> 8 & 255) - getg(c)) < 8 &&
                    abs((int)(seen & 255) - getb(c)) < 8;
        }
    destroy_bitmap(b);
    destroy_bitmap(shown);
    return total ? (double)same / total : 0;
}

int e2e_count(const e2e_run *run, const screenshot &s, uint32_t rgb, int x0, int y0, int x1,
              int y1) {
    int n = 0;
    for (int y = y0; y < (y1 < 0 ? run->wh : y1); y++)
        for (int x = x0; x < (x1 < 0 ? run->ww : x1); x++)
            n += e2e_pixel(run, s, x, y) == rgb;
    return n;
}

void e2e_xdo(e2e_run *run, const std::string &args) {
    run_command(x_command(run, "xdotool " + args) + " >/dev/null");
}
void e2e_click(e2e_run *run) {
    e2e_xdo(run, "mousedown 1 sleep 0.1 mouseup 1");
}
// Tries five places, each a step further right, clicking at each when asked.
static bool try_near(e2e_run *run, int x, int y, int step, bool click,
                     const std::function<bool(const screenshot &)> &done) {
    for (int attempt = 0; attempt < 5; attempt++) {
        e2e_move(run, x + step * attempt, y);
        if (click) e2e_click(run);
        if (e2e_wait(run, done, 2)) return true;
    }
    return false;
}
bool e2e_point(e2e_run *run, int x, int y, const std::function<bool(const screenshot &)> &done) {
    return try_near(run, x, y, 1, false, done);
}
bool e2e_click_until(e2e_run *run, int x, int y,
                     const std::function<bool(const screenshot &)> &done) {
    return try_near(run, x, y, 3, true, done);
}
void e2e_move(e2e_run *run, int x, int y) {
    e2e_xdo(run, "mousemove " + std::to_string(run->wx + x) + " " + std::to_string(run->wy + y));
}

// A key already down when a screen starts counts there only once let go (the menus
// wait for it): a key whose effect has not shown after 3 s is let go and pressed again.
bool e2e_hold_with(e2e_run *run, const std::function<void(bool)> &hold,
                   const std::function<bool(const screenshot &)> &done, double seconds) {
    bool shown = false;
    for (double end = now() + seconds; !shown && now() < end && e2e_running(run);) {
        hold(true);
        shown = e2e_wait(run, done, std::min(3.0, end - now()));
        hold(false);
    }
    return shown;
}

bool e2e_hold(e2e_run *run, const std::string &keysym,
              const std::function<bool(const screenshot &)> &done, double seconds) {
    auto key = [&](bool down) { e2e_xdo(run, (down ? "keydown " : "keyup ") + keysym); };
    return e2e_hold_with(run, key, done, seconds);
}

int e2e_menu_highlight(e2e_run *run, const screenshot &s) {
    int lit = -1;
    for (int i = 0; i < 4; i++) {
        std::string name = "graphics/b" + std::to_string(i);
        if (e2e_match(run, s, name + "_on.bmp", MENU_BUTTON_X[i], MENU_BUTTON_Y[i]) > 0.9)
            lit = lit == -1 ? i : -2;
        else if (e2e_match(run, s, name + "_off.bmp", MENU_BUTTON_X[i], MENU_BUTTON_Y[i]) < 0.9)
            return -2;
    }
    return lit;
}

std::function<bool(const screenshot &)> e2e_lit(e2e_run *run, int button) {
    return [run, button](const screenshot &s) {
        if (!e2e_wait_window(run, 800, 600, 0.01)) return false;
        int lit = e2e_menu_highlight(run, s);
        return button == MENU_ANY ? lit != -2 : lit == button;
    };
}

std::function<bool(const screenshot &)> e2e_answer(e2e_run *run, uint32_t rgb, bool shown) {
    return [=](const screenshot &s) {
        return (e2e_count(run, s, rgb, 0, 240, 800, 380) > 30) == shown;
    };
}

bool e2e_wait_menu(e2e_run *run, int highlighted, double seconds) {
    return e2e_wait(run, e2e_lit(run, highlighted), seconds);
}

bool e2e_menu_choose(e2e_run *run, int button) {
    // From nothing highlighted, Down reaches "Jouer" first and Up reaches "Quitter".
    for (int step = 0; step < 4; step++) {
        screenshot s = e2e_shot(run);
        int lit = e2e_menu_highlight(run, s);
        if (lit == -2) return false;
        if (lit == button) break;
        int next = lit == -1 ? 0 : (lit + 1) % 4;
        e2e_hold(run, "Down",
                 [&](const screenshot &t) { return e2e_menu_highlight(run, t) == next; });
    }
    return e2e_hold(run, "Return",
                    [&](const screenshot &s) { return e2e_menu_highlight(run, s) == -2; });
}

// Allegro reads it on any window.
void e2e_close_box(e2e_run *run) {
    if (!e2e_wait_window(run, run->ww, run->wh)) return; // the newest window: a mode may be new
    Display *display = XOpenDisplay(run->x.name.c_str());
    if (!display) return;
    XSetErrorHandler([](Display *, XErrorEvent *) { return 0; }); // a window gone: no message
    XEvent event = {};
    event.xclient.type = ClientMessage, event.xclient.window = run->wid, event.xclient.format = 32;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.data.l[0] = XInternAtom(display, "WM_DELETE_WINDOW", False);
    XSendEvent(display, run->wid, False, NoEventMask, &event);
    XCloseDisplay(display);
}

bool e2e_quit_from_menu(e2e_run *run) {
    e2e_hold(
        run, "Escape", [](const screenshot &) { return false; }, 10);
    return e2e_wait_exit(run, 1) && run->status == 0;
}

// The box's place on the screen, from its line "0xID "xmessage": (...)  WxH+x+y  +X+Y".
static bool find_box(e2e_run *run, int *x, int *y, int *w, int *h) {
    std::string tree = capture_output(x_command(run, "xwininfo -root -tree"));
    size_t at = tree.find("\"xmessage\": (");
    return at != std::string::npos &&
           sscanf(tree.c_str() + tree.find(')', at) + 1, " %dx%d%*d%*d +%d+%d", w, h, x, y) == 4;
}

bool e2e_answer_box(e2e_run *run, bool click) {
    int x = 0, y = 0, w = 0, h = 0;
    auto box_shown = [&](bool shown) {
        for (double end = now() + 10; now() < end && e2e_running(run); usleep(50000))
            if (find_box(run, &x, &y, &w, &h) == shown) return true;
        return false;
    };
    if (!box_shown(true)) return false;
    // Its one button sits at the bottom left, below the text.
    int bx = x + 15, by = y + h - 16;
    e2e_xdo(run, "mousemove " + std::to_string(click ? bx : x + w / 2) + " " +
                     std::to_string(click ? by : y + h / 2) + (click ? " click 1" : " key Return"));
    return box_shown(false);
}

std::vector<std::string> e2e_messages(const e2e_run *run) {
    return recorded_messages(run->messages);
}

bool is_fatal(const std::string &message, const std::string &text) {
    return message.rfind("Erreur : " + text + "\nAllegro_error : ", 0) == 0;
}
