// A private X server per test process.
#include "xvfb.h"

#include <allegro.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

bool xvfb_start(xvfb_server *server, int width, int height) {
    int fds[2];
    if (pipe(fds) != 0)
        return false;
    pid_t pid = fork();
    if (pid < 0)
        return false;
    if (pid == 0) {
        close(fds[0]);
        int devnull = open("/dev/null", O_RDWR);
        dup2(devnull, 0);
        dup2(devnull, 1);
        dup2(devnull, 2);
        char fd_text[16], screen[64];
        snprintf(fd_text, sizeof fd_text, "%d", fds[1]);
        snprintf(screen, sizeof screen, "%dx%dx24", width, height);
        // No auto-repeat: a key held until its effect shows is one press.
        execlp("Xvfb", "Xvfb", "-displayfd", fd_text, "-screen", "0", screen, "-nolisten",
               "tcp", "-noreset", "-r", (char *)nullptr);
        _exit(127);
    }
    close(fds[1]);
    char text[32] = {0};
    size_t got = 0;
    struct pollfd p = {fds[0], POLLIN, 0};
    while (got < sizeof text - 1 && poll(&p, 1, 10000) > 0) {
        ssize_t n = read(fds[0], text + got, sizeof text - 1 - got);
        if (n <= 0)
            break;
        got += (size_t)n;
        if (strchr(text, '\n'))
            break;
    }
    close(fds[0]);
    if (got == 0) {
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
        return false;
    }
    server->pid = pid;
    server->display = atoi(text);
    server->name = ":" + std::to_string(server->display);
    return true;
}

void xvfb_stop(xvfb_server *server) {
    if (server->pid > 0) {
        kill(server->pid, SIGTERM);
        waitpid(server->pid, nullptr, 0);
    }
    server->pid = 0;
}

static xvfb_server process_server;

static void stop_process_server() { xvfb_stop(&process_server); }

bool use_private_display(int width, int height) {
    if (process_server.pid > 0)
        return true;
    if (!xvfb_start(&process_server, width, height))
        return false;
    setenv("DISPLAY", process_server.name.c_str(), 1);
    atexit(stop_process_server);
    return true;
}

bool allegro_on_private_display(const std::string &message_log, int color_depth) {
    if (!use_private_display())
        return false;
    std::string path = std::string(CINDERMAZE_STUB_DIR) + ":" + (getenv("PATH") ? getenv("PATH") : "");
    setenv("PATH", path.c_str(), 1);
    setenv("XMESSAGE_LOG", message_log.c_str(), 1);
    if (allegro_init() != 0)
        return false;
    set_color_depth(color_depth);
    return true;
}

std::vector<std::string> recorded_messages(const std::string &message_log) {
    std::vector<std::string> messages;
    FILE *f = fopen(message_log.c_str(), "rb");
    if (!f)
        return messages;
    std::string text;
    int c;
    while ((c = fgetc(f)) != EOF)
        text.push_back((char)c);
    fclose(f);
    size_t start = 0, end;
    while ((end = text.find("\n\036\n", start)) != std::string::npos) {
        std::string message = text.substr(start, end - start);
        while (!message.empty() && message.back() == '\n')
            message.pop_back();
        messages.push_back(message);
        start = end + 3;
    }
    return messages;
}
