// A private X server per test process.
#include "xvfb.h"

#include <allegro.h>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

bool xvfb_start(xvfb_server *server, int width, int height) {
    int fds[2];
    if (pipe(fds) != 0) return false;
    pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        int devnull = open("/dev/null", O_RDWR);
        dup2(devnull, 0), dup2(devnull, 1), dup2(devnull, 2);
        std::string fd = std::to_string(fds[1]),
                    screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
        // No auto-repeat: a key held until its effect shows is one press.
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen.c_str(),
               "-nolisten", "tcp", "-noreset", "-r", (char *)nullptr);
        _exit(127);
    }
    close(fds[1]);
    // The server writes its display number once it accepts connections.
    char text[32] = {0};
    struct pollfd p = {fds[0], POLLIN, 0};
    ssize_t got = 0;
    for (ssize_t n; pid > 0 && !strchr(text, '\n') && poll(&p, 1, 10000) > 0 &&
                    (n = read(fds[0], text + got, sizeof text - 1 - got)) > 0;)
        got += n;
    close(fds[0]);
    if (got <= 0) {
        if (pid > 0) kill(pid, SIGTERM), waitpid(pid, nullptr, 0);
        return false;
    }
    server->pid = pid;
    server->display = atoi(text);
    server->name = ":" + std::to_string(server->display);
    return true;
}

void xvfb_stop(xvfb_server *server) {
    if (server->pid > 0) kill(server->pid, SIGTERM), waitpid(server->pid, nullptr, 0);
    server->pid = 0;
}

static xvfb_server process_server;

bool allegro_on_private_display(const std::string &message_log, int color_depth) {
    if (!process_server.pid) {
        if (!xvfb_start(&process_server)) return false;
        atexit([] { xvfb_stop(&process_server); });
    }
    setenv("DISPLAY", process_server.name.c_str(), 1);
    setenv("PATH", (std::string(CINDERMAZE_STUB_DIR ":") + getenv("PATH")).c_str(), 1);
    setenv("XMESSAGE_LOG", message_log.c_str(), 1);
    if (allegro_init() != 0) return false;
    set_color_depth(color_depth);
    return true;
}

std::vector<std::string> recorded_messages(const std::string &message_log) {
    std::vector<uint8_t> bytes = read_file(message_log);
    std::string text(bytes.begin(), bytes.end());
    std::vector<std::string> messages;
    for (size_t start = 0, end; (end = text.find("\n\036\n", start)) != std::string::npos;
         start = end + 3) {
        // Allegro ends the messages it hands to xmessage with a new line.
        std::string message = text.substr(start, end - start);
        while (!message.empty() && message.back() == '\n')
            message.pop_back();
        messages.push_back(message);
    }
    return messages;
}
