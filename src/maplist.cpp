// The list of shipped maps.
#include "maplist.h"

#include <fstream>
#include <sstream>

bool read_map_list(const std::string &path, std::vector<map_entry> *out, std::string *error) {
    std::ifstream in(path);
    if (!in) {
        *error = path + ": cannot be read";
        return false;
    }
    std::string line;
    int number = 0;
    out->clear();
    while (std::getline(in, line)) {
        number++;
        size_t hash = line.find('#');
        if (hash != std::string::npos) line.erase(hash);
        std::istringstream words(line);
        map_entry e;
        std::string screen;
        if (!(words >> e.name)) continue;
        char x = 0;
        if (!(words >> e.theme >> screen) ||
            sscanf(screen.c_str(), "%d%c%d", &e.screen_w, &x, &e.screen_h) != 3 || x != 'x') {
            *error = path + ":" + std::to_string(number) + ": expected NAME THEME WIDTHxHEIGHT";
            return false;
        }
        out->push_back(e);
    }
    return true;
}
