// A private X server per test process, so that tests never share a keyboard focus.
#pragma once

#include "test_util.h"

#include <string>
#include <sys/types.h>
#include <vector>

struct xvfb_server {
    pid_t pid = 0;
    int display = -1;
    std::string name; // ":N"
};

// Starts Xvfb on a free display number; false when it could not start.
bool xvfb_start(xvfb_server *server, int width = 1280, int height = 1024);
void xvfb_stop(xvfb_server *server);
// Allegro with its real system driver on a server of this process, the recording xmessage
// first in PATH writing to `message_log`.
bool allegro_on_private_display(const std::string &message_log, int color_depth = 32);
// What the recording xmessage wrote to `message_log`, one entry per message.
std::vector<std::string> recorded_messages(const std::string &message_log);
