// A private X server per test process, so that tests never share a keyboard focus.
#pragma once

#include <string>
#include <sys/types.h>

struct xvfb_server {
    pid_t pid = 0;
    int display = -1;
    std::string name; // ":N"
};

// Starts Xvfb on a free display number; false when it could not start.
bool xvfb_start(xvfb_server *server, int width = 1280, int height = 1024);
void xvfb_stop(xvfb_server *server);
// Starts a server for the rest of the process and points DISPLAY at it.
bool use_private_display(int width = 1280, int height = 1024);
