// End-to-end harness: the real program on a private X server.
#include "e2e.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

uint32_t screenshot::pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= width || y >= height)
        return 0;
    size_t i = 3 * ((size_t)y * width + x);
    return (uint32_t)rgb[i] << 16 | (uint32_t)rgb[i + 1] << 8 | rgb[i + 2];
}

bool screenshot::save_png(const std::string &path) const {
    std::string ppm = path + ".ppm";
    FILE *f = fopen(ppm.c_str(), "wb");
    if (!f)
        return false;
    fprintf(f, "P6\n%d %d\n255\n", width, height);
    fwrite(rgb.data(), 1, rgb.size(), f);
    fclose(f);
    int status = run_command("convert '" + ppm + "' '" + path + "'");
    remove(ppm.c_str());
    return status == 0;
}

game_run::~game_run() {
    e2e_kill(this);
    xvfb_stop(&x);
}

bool e2e_prepare(game_run *run, int screen_w, int screen_h) {
    if (!xvfb_start(&run->x, screen_w, screen_h))
        return false;
    run_command("cp -a '" CINDERMAZE_RUN_DIR "/.' '" + run->dir.path + "/'");
    run->messages = run->dir.path + "/../" + run->dir.path.substr(5) + ".messages";
    remove(run->messages.c_str());
    return true;
}

bool e2e_launch(game_run *run, const std::vector<std::string> &args,
                const std::vector<std::string> &env) {
    return e2e_launch_program(run, run->dir.path + "/cindermaze", args, env);
}

bool e2e_launch_program(game_run *run, const std::string &program,
                        const std::vector<std::string> &args, const std::vector<std::string> &env) {
    pid_t pid = fork();
    if (pid < 0)
        return false;
    if (pid == 0) {
        if (chdir(run->dir.path.c_str()) != 0)
            _exit(126);
        setenv("DISPLAY", run->x.name.c_str(), 1);
        setenv("XMESSAGE_LOG", run->messages.c_str(), 1);
        std::string path = std::string(CINDERMAZE_STUB_DIR) + ":" + (getenv("PATH") ? getenv("PATH") : "");
        setenv("PATH", path.c_str(), 1);
        for (const std::string &entry : env) {
            size_t eq = entry.find('=');
            if (eq != std::string::npos)
                setenv(entry.substr(0, eq).c_str(), entry.substr(eq + 1).c_str(), 1);
        }
        int devnull = open("/dev/null", O_RDWR);
        dup2(devnull, 0);
        std::vector<char *> argv;
        argv.push_back(const_cast<char *>(program.c_str()));
        for (const std::string &a : args)
            argv.push_back(const_cast<char *>(a.c_str()));
        argv.push_back(nullptr);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    run->pid = pid;
    run->exited = false;
    return true;
}

static void note_exit(game_run *run, int wstatus) {
    run->exited = true;
    run->status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : 128 + WTERMSIG(wstatus);
}

bool e2e_running(game_run *run) {
    if (run->pid <= 0 || run->exited)
        return false;
    int wstatus;
    pid_t done = waitpid(run->pid, &wstatus, WNOHANG);
    if (done == run->pid) {
        note_exit(run, wstatus);
        return false;
    }
    return true;
}

bool e2e_wait_exit(game_run *run, double seconds) {
    double waited = 0;
    while (e2e_running(run)) {
        if (waited >= seconds)
            return false;
        sleep_seconds(0.02);
        waited += 0.02;
    }
    return run->exited;
}

void e2e_kill(game_run *run) {
    if (e2e_running(run)) {
        kill(run->pid, SIGKILL);
        int wstatus;
        if (waitpid(run->pid, &wstatus, 0) == run->pid)
            note_exit(run, wstatus);
    }
}

int e2e_xdotool(game_run *run, const std::string &args) {
    return run_command("DISPLAY=" + run->x.name + " xdotool " + args + " >/dev/null 2>&1");
}

void e2e_key(game_run *run, const std::string &keysym) {
    e2e_key_down(run, keysym);
    sleep_seconds(0.08);
    e2e_key_up(run, keysym);
    sleep_seconds(0.08);
}

void e2e_key_down(game_run *run, const std::string &keysym) { e2e_xdotool(run, "keydown " + keysym); }
void e2e_key_up(game_run *run, const std::string &keysym) { e2e_xdotool(run, "keyup " + keysym); }

void e2e_mouse_move(game_run *run, int x, int y) {
    e2e_xdotool(run, "mousemove " + std::to_string(x) + " " + std::to_string(y));
}

void e2e_click(game_run *run, int button) {
    e2e_xdotool(run, "mousedown " + std::to_string(button));
    sleep_seconds(0.08);
    e2e_xdotool(run, "mouseup " + std::to_string(button));
}

static std::string capture(const std::string &command) {
    std::string out;
    FILE *p = popen(command.c_str(), "r");
    if (!p)
        return out;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, p)) > 0)
        out.append(buffer, n);
    pclose(p);
    return out;
}

// Absolute position and size of one window, from xwininfo (xdotool's own geometry adds
// the position twice for windows that no window manager has reparented).
static bool window_info(game_run *run, const std::string &id, window_geometry *g) {
    std::string info =
        capture("DISPLAY=" + run->x.name + " xwininfo -children -stats -id " + id + " 2>/dev/null");
    const char *fields[4] = {
        "Absolute upper-left X:", "Absolute upper-left Y:", "Width:", "Height:"};
    int *values[4] = {&g->x, &g->y, &g->width, &g->height};
    for (int i = 0; i < 4; i++) {
        size_t at = info.find(fields[i]);
        if (at == std::string::npos)
            return false;
        *values[i] = atoi(info.c_str() + at + strlen(fields[i]));
    }
    g->id = strtol(id.c_str(), nullptr, 0);
    // The root window has no parent.
    return info.find("Parent window id: 0x0 ") == std::string::npos;
}

// The window the program draws in. Without a window manager, Allegro's full-screen mode
// is a screen-sized black window with the picture in a child window centred in it, and a
// windowed mode is a top-level window at (0, 0) with a child of the same size: in both
// cases the smallest visible window is the picture.
static bool drawing_window(game_run *run, window_geometry *best) {
    std::string ids =
        capture("DISPLAY=" + run->x.name + " xdotool search --onlyvisible --name '' 2>/dev/null");
    best->width = best->height = 0;
    char *save = nullptr;
    for (char *line = strtok_r(&ids[0], "\n", &save); line; line = strtok_r(nullptr, "\n", &save)) {
        window_geometry g;
        if (!window_info(run, line, &g) || g.width <= 1 || g.height <= 1)
            continue;
        if (best->width == 0 || (long)g.width * g.height < (long)best->width * best->height)
            *best = g;
    }
    return best->width > 1 && best->height > 1;
}

bool e2e_wait_window(game_run *run, window_geometry *geometry, double seconds) {
    for (double waited = 0; waited < seconds; waited += 0.1) {
        if (drawing_window(run, geometry))
            return true;
        if (!e2e_running(run))
            return false;
        sleep_seconds(0.1);
    }
    return false;
}

bool e2e_wait_window_size(game_run *run, int width, int height, window_geometry *geometry,
                          double seconds) {
    for (double waited = 0; waited < seconds; waited += 0.1) {
        if (drawing_window(run, geometry) && geometry->width == width &&
            geometry->height == height)
            return true;
        if (!e2e_running(run))
            return false;
        sleep_seconds(0.1);
    }
    return false;
}

std::vector<std::string> e2e_window_titles(game_run *run) {
    std::vector<std::string> titles;
    std::string ids =
        capture("DISPLAY=" + run->x.name + " xdotool search --onlyvisible --name '' 2>/dev/null");
    char *save = nullptr;
    for (char *line = strtok_r(&ids[0], "\n", &save); line; line = strtok_r(nullptr, "\n", &save)) {
        std::string name = capture("DISPLAY=" + run->x.name + " xdotool getwindowname " +
                                   std::string(line) + " 2>/dev/null");
        while (!name.empty() && name.back() == '\n')
            name.pop_back();
        if (!name.empty())
            titles.push_back(name);
    }
    return titles;
}

screenshot e2e_screenshot(game_run *run) {
    screenshot shot;
    std::string file = run->dir.path + "/../" + run->dir.path.substr(5) + ".ppm";
    run_command("DISPLAY=" + run->x.name + " import -window root -depth 8 '" + file + "' >/dev/null 2>&1");
    std::vector<uint8_t> bytes = read_file(file);
    remove(file.c_str());
    // P6 header: magic, width, height, maxval, one whitespace byte.
    size_t pos = 0;
    int fields[3] = {0, 0, 0};
    if (bytes.size() < 2 || bytes[0] != 'P' || bytes[1] != '6')
        return shot;
    pos = 2;
    for (int i = 0; i < 3; i++) {
        while (pos < bytes.size() && (isspace(bytes[pos]) || bytes[pos] == '#')) {
            if (bytes[pos] == '#')
                while (pos < bytes.size() && bytes[pos] != '\n')
                    pos++;
            else
                pos++;
        }
        while (pos < bytes.size() && isdigit(bytes[pos]))
            fields[i] = fields[i] * 10 + (bytes[pos++] - '0');
    }
    pos++;
    // Only one byte per sample is read (import is asked for 8-bit samples).
    if (fields[2] != 255)
        return shot;
    shot.width = fields[0];
    shot.height = fields[1];
    size_t size = 3 * (size_t)shot.width * shot.height;
    if (pos + size > bytes.size()) {
        shot.width = shot.height = 0;
        return shot;
    }
    shot.rgb.assign(bytes.begin() + pos, bytes.begin() + pos + size);
    return shot;
}

std::vector<std::string> e2e_messages(game_run *run) { return recorded_messages(run->messages); }

void sleep_seconds(double seconds) {
    struct timespec t;
    t.tv_sec = (time_t)seconds;
    t.tv_nsec = (long)((seconds - (double)t.tv_sec) * 1e9);
    while (nanosleep(&t, &t) != 0 && errno == EINTR) {
    }
}
