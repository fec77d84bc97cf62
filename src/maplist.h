// The list of shipped maps (assets/maps/maps.list): one map a line,
// "NAME THEME WIDTHxHEIGHT" (the smallest screen it is made for); '#' starts a comment.
#pragma once

#include <string>
#include <vector>

struct map_entry {
    std::string name, theme;
    int screen_w = 0, screen_h = 0;
};

bool read_map_list(const std::string &path, std::vector<map_entry> *out, std::string *error);
