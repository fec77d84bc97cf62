// A private X server per test process, so that tests never share a keyboard focus.
#pragma once

#include <string>
#include <vector>
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

// Starts a private server, puts the recording xmessage first in PATH (writing to
// `message_log`) and installs Allegro with its real system driver.
bool allegro_on_private_display(const std::string &message_log, int color_depth = 32);
// What the recording xmessage wrote to `message_log`, one entry per message.
std::vector<std::string> recorded_messages(const std::string &message_log);
