// mapplan: finds a winning route for a map by playing its rules, and measures the shipped
// maps with their routes.
//   mapplan plan MAP.txt [SEED]      prints a route that wins the map (seed 1 by default)
//   mapplan measure MAP_DIR          prints a line of measures per map of MAP_DIR/maps.list
// The planner walks to the nearest diamond, or blasts the first block in the way of it,
// each step tried again later (after a wait) when a monster or a flame ends it; when no
// step works it goes back one. It plays one bomb at a time and runs from its cross.
#include "maplist.h"
#include "maptext.h"
#include "objets.h"
#include "route.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <queue>
#include <sstream>
#include <string>
#include <vector>

namespace {

const int DEFAULT_TIME_LIMIT = 90;
const unsigned SHIPPED_BLOCK_FRAMES = 5;
const int BLOCK_COST = 20; // cells of walking a bomb is worth
const int WAITS[] = {0, 10, 20, 35, 50, 75, 100, 150, 200, 300, 400};
const int TRIES_AFTER_A_DEAD_END = 3; // other moves tried when the one taken led nowhere

struct step {
    int ticks;
    std::string keys;
};

struct planner {
    std::vector<uint8_t> bytes;
    unsigned seed;
    int trials_left;
};

struct cell {
    int x, y;
};

bool same(cell a, cell b) {
    return a.x == b.x && a.y == b.y;
}

// The keys held for a step's letters (U D L R B; "-" holds none).
game_keys held_keys(const std::string &letters) {
    game_keys keys{};
    for (char c : letters) {
        keys.up |= c == 'U', keys.down |= c == 'D', keys.left |= c == 'L';
        keys.right |= c == 'R', keys.bomb |= c == 'B';
    }
    return keys;
}

// A game replayed from the start through `steps`; false when the map makes none.
bool replay(const planner *p, const std::vector<step> &steps, route_game *r) {
    map *m = load_map_from_memory(p->bytes.data(), p->bytes.size());
    if (!route_start(r, m, p->seed, DEFAULT_TIME_LIMIT, SHIPPED_BLOCK_FRAMES)) return false;
    for (const step &s : steps) {
        game_keys keys = held_keys(s.keys);
        for (int t = 0; t < s.ticks; t++)
            if (advance_game(&r->g, &keys)) return true;
    }
    return true;
}

// One tick with `keys` held, kept in `steps`; false when the game ended other than won.
bool hold(route_game *r, const std::string &keys, std::vector<step> *steps) {
    game_keys held = held_keys(keys);
    if (!steps->empty() && steps->back().keys == keys)
        steps->back().ticks++;
    else
        steps->push_back({1, keys});
    advance_game(&r->g, &held);
    return r->g.end_state == END_NONE || r->g.end_state == END_WON;
}

bool wait(route_game *r, int ticks, std::vector<step> *steps) {
    for (int t = 0; t < ticks && r->g.end_state == END_NONE; t++)
        if (!hold(r, "-", steps)) return false;
    return true;
}

cell player_cell(const route_game *r) {
    return {r->g.player->x, r->g.player->y};
}

bool passable(const route_game *r, cell c) {
    return cell_passable(map_cell(r->g.map, c.x, c.y));
}

const int DX[] = {0, 0, -1, 1}, DY[] = {-1, 1, 0, 0};
const char *const KEY = "UDLR";

// Walks one cell in direction d; the keys are swapped while the controls are reversed.
bool walk_one(route_game *r, int d, std::vector<step> *steps) {
    cell to = {r->g.player->x + DX[d], r->g.player->y + DY[d]};
    for (int t = 0; t < 80; t++) {
        int key = r->g.direction_sign < 0 ? d ^ 1 : d;
        if (!hold(r, std::string(1, KEY[key]), steps)) return false;
        if (r->g.end_state == END_WON) return true;
        const obj *p = r->g.player;
        int along = DX[d] ? p->off_x * DX[d] : p->off_y * DY[d];
        if (same(player_cell(r), to) && along >= 0) return true;
    }
    return false;
}

// Shortest ways from the player, through floor (cost 1) and blocks (BLOCK_COST), never
// through walls or bombs; `from` gives each cell's predecessor.
struct ways {
    int w, h;
    std::vector<int> cost, from;
    int at(cell c) const { return c.y * w + c.x; }
};

ways find_ways(const route_game *r, bool through_blocks) {
    const map *m = r->g.map;
    ways s{m->width, m->height, std::vector<int>(m->width * m->height, 1 << 30),
           std::vector<int>(m->width * m->height, -1)};
    typedef std::pair<int, int> item;
    std::priority_queue<item, std::vector<item>, std::greater<item>> open;
    cell start = player_cell(r);
    s.cost[s.at(start)] = 0;
    open.push({0, s.at(start)});
    while (!open.empty()) {
        item top = open.top();
        open.pop();
        if (top.first > s.cost[top.second]) continue;
        cell c = {top.second % s.w, top.second / s.w};
        for (int d = 0; d < 4; d++) {
            cell n = {c.x + DX[d], c.y + DY[d]};
            if (!map_inside(m, n.x, n.y)) continue;
            int8_t code = map_cell(m, n.x, n.y);
            int step = cell_passable(code)                    ? 1
                       : code == CELL_BLOCK && through_blocks ? BLOCK_COST
                                                              : 0;
            if (!step || top.first + step >= s.cost[s.at(n)]) continue;
            s.cost[s.at(n)] = top.first + step;
            s.from[s.at(n)] = top.second;
            open.push({top.first + step, s.at(n)});
        }
    }
    return s;
}

std::vector<cell> path_to(const ways &s, cell goal) {
    std::vector<cell> path;
    for (int k = s.at(goal); k >= 0; k = s.from[k])
        path.insert(path.begin(), {k % s.w, k / s.w});
    return path;
}

bool walk_path(route_game *r, const std::vector<cell> &path, std::vector<step> *steps) {
    for (size_t k = 1; k < path.size(); k++) {
        int d = 0;
        while (path[k].x - path[k - 1].x != DX[d] || path[k].y - path[k - 1].y != DY[d])
            d++;
        if (!walk_one(r, d, steps)) return false;
        if (r->g.end_state == END_WON) return true;
    }
    return true;
}

// Reached by a flame of a bomb of `range` laid at `bomb`: in line, no wall between.
bool in_cross(const route_game *r, cell bomb, int range, cell c) {
    if (c.x != bomb.x && c.y != bomb.y) return false;
    int dx = c.x > bomb.x   ? 1
             : c.x < bomb.x ? -1
                            : 0,
        dy = c.y > bomb.y   ? 1
             : c.y < bomb.y ? -1
                            : 0;
    int far = std::abs(c.x - bomb.x) + std::abs(c.y - bomb.y);
    if (far > range) return false;
    for (int k = 1; k <= far; k++)
        if (map_cell(r->g.map, bomb.x + dx * k, bomb.y + dy * k) == CELL_WALL) return false;
    return true;
}

bool blast_over(const route_game *r) {
    const obj *o = r->g.player->next;
    for (; o != r->g.player; o = o->next)
        if (o->type == OBJ_BOMB || o->type == OBJ_FLAME || (o->type == OBJ_BLOCK && o->timer != -1))
            return false;
    return true;
}

// Lays a bomb where the player stands, runs to the `choice`-th nearest cell out of its
// cross and waits there for the blast to end.
bool blast(route_game *r, int choice, std::vector<step> *steps) {
    cell bomb = player_cell(r);
    int range = player_bonus(r->g.player) == BONUS_SUPER_BOMB ? 30 : 2;
    if (!hold(r, "B", steps) || map_cell(r->g.map, bomb.x, bomb.y) != CELL_BOMB) return false;
    ways s = find_ways(r, false);
    std::vector<std::pair<int, int>> safe;
    for (int k = 0; k < s.w * s.h; k++)
        if (s.cost[k] < (1 << 30) && !in_cross(r, bomb, range, {k % s.w, k / s.w}))
            safe.push_back({s.cost[k], k});
    std::sort(safe.begin(), safe.end());
    if ((int)safe.size() <= choice) return false;
    int k = safe[choice].second;
    if (!walk_path(r, path_to(s, {k % s.w, k / s.w}), steps)) return false;
    for (int t = 0; t < 1500 && !blast_over(r); t++)
        if (!hold(r, "-", steps)) return false;
    return blast_over(r);
}

// The diamonds in order of the cost of reaching them, blasting blocks where needed.
std::vector<cell> diamonds_by_cost(const route_game *r, const ways &s) {
    std::vector<std::pair<int, int>> found;
    for (int k = 0; k < s.w * s.h; k++)
        if (s.cost[k] < (1 << 30) && map_cell(r->g.map, k % s.w, k / s.w) == CELL_DIAMOND)
            found.push_back({s.cost[k], k});
    std::sort(found.begin(), found.end());
    std::vector<cell> cells;
    for (auto &f : found)
        cells.push_back({f.second % s.w, f.second / s.w});
    return cells;
}

// One move towards `goal`: walk there, or walk to the first block on the way and blast it.
bool move_towards(route_game *r, cell goal, int choice, std::vector<step> *steps) {
    ways s = find_ways(r, true);
    std::vector<cell> path = path_to(s, goal);
    size_t k = 1;
    while (k < path.size() && passable(r, path[k]))
        k++;
    if (k == path.size()) return choice == 0 && walk_path(r, path, steps);
    path.resize(k);
    if (!walk_path(r, path, steps)) return false;
    if (map_cell(r->g.map, r->g.player->x, r->g.player->y) != CELL_EMPTY) return false;
    return blast(r, choice, steps);
}

int diamonds_left(const route_game *r) {
    return (int)r->g.diamonds_left;
}

int blocks_standing(const route_game *r) {
    int n = 0;
    for (int y = 0; y < r->g.map->height; y++)
        for (int x = 0; x < r->g.map->width; x++)
            n += map_cell(r->g.map, x, y) == CELL_BLOCK;
    return n;
}

bool search(planner *p, std::vector<step> *steps) {
    route_game r;
    if (!replay(p, *steps, &r)) return false;
    bool won = r.g.end_state == END_WON, lost = r.g.end_state != END_NONE && !won;
    std::vector<cell> goals =
        won || lost ? std::vector<cell>{} : diamonds_by_cost(&r, find_ways(&r, true));
    int before = diamonds_left(&r), blocks_before = blocks_standing(&r);
    route_stop(&r);
    if (won) return true;
    if (goals.size() > 3) goals.resize(3);
    int dead_ends = 0;
    for (int wait_ticks : WAITS)
        for (cell goal : goals)
            for (int choice = 0; choice < 3; choice++) {
                if (--p->trials_left < 0) return false;
                std::vector<step> tried = *steps;
                route_game t;
                replay(p, tried, &t);
                bool ok = wait(&t, wait_ticks, &tried) && move_towards(&t, goal, choice, &tried);
                ok = ok && (t.g.end_state == END_WON ||
                            (t.g.end_state == END_NONE &&
                             (diamonds_left(&t) < before || blocks_standing(&t) < blocks_before)));
                route_stop(&t);
                if (!ok) continue;
                if (search(p, &tried)) {
                    *steps = tried;
                    return true;
                }
                if (++dead_ends > TRIES_AFTER_A_DEAD_END) return false;
            }
    return false;
}

bool read_text(const std::string &path, std::string *text) {
    std::ifstream in(path);
    if (!in) return false;
    std::stringstream all;
    all << in.rdbuf();
    *text = all.str();
    return true;
}

std::string map_name(const std::string &path) {
    std::string name = path.substr(path.find_last_of('/') + 1);
    return name.substr(0, name.rfind('.'));
}

int plan(const char *path, unsigned seed) {
    std::string text, error;
    planner p{{}, seed, 20000};
    if (!read_text(path, &text) || !parse_map_text(text.data(), text.size(), &p.bytes, &error))
        return fprintf(stderr, "%s: %s\n", path, error.empty() ? "cannot be read" : error.c_str()),
               1;
    std::vector<step> steps;
    if (!search(&p, &steps)) return fprintf(stderr, "%s: no winning route found\n", path), 1;
    route_game r;
    replay(&p, steps, &r);
    std::string name = map_name(path);
    printf("# %s won at the default settings: every diamond taken by tick %u of the %d the\n"
           "# %d seconds give; found by mapplan.\nseed %u\ntime_limit %d\nblock_frames %u\n"
           "map_file maps/%s.czm\n",
           name.c_str(), r.g.ticks, DEFAULT_TIME_LIMIT * 100, DEFAULT_TIME_LIMIT, seed,
           DEFAULT_TIME_LIMIT, SHIPPED_BLOCK_FRAMES, name.c_str());
    for (const step &s : steps)
        printf("%d %s\n", s.ticks, s.keys.c_str());
    printf("expect end won\nexpect ticks %u\n", r.g.ticks);
    route_stop(&r);
    return 0;
}

// The winning tick of a map's route, as the route player reports it; -1 when it does not win.
long route_winning_tick(const std::string &dir, const std::string &name) {
    std::ifstream script(dir + "/" + name + ".route");
    std::ostringstream course;
    route_result result;
    if (!script || !route_play(script, dir, route_hooks{}, course, &result) ||
        result.end != END_WON || !result.missed.empty())
        return -1;
    std::istringstream lines(course.str());
    std::string line;
    long ticks = -1;
    while (std::getline(lines, line))
        if (line.rfind("ticks ", 0) == 0) ticks = atol(line.c_str() + 6);
    return ticks;
}

// A line of measures per shipped map, in playing order, as a Markdown table.
int measure(const std::string &dir) {
    std::vector<map_entry> maps;
    std::string error;
    if (!read_map_list(dir + "/maps.list", &maps, &error))
        return fprintf(stderr, "%s\n", error.c_str()), 1;
    std::sort(maps.begin(), maps.end(),
              [](const map_entry &a, const map_entry &b) { return a.name < b.name; });
    printf("| map | theme | what it is about | size | diamonds | monsters | blocks | hidden "
           "bonuses | route won at tick | margin (ticks of %d) "
           "|\n|---|---|---|---|---|---|---|---|---|---|\n",
           DEFAULT_TIME_LIMIT * 100);
    for (const map_entry &m : maps) {
        std::string text;
        std::vector<uint8_t> bytes;
        if (!read_text(dir + "/" + m.name + ".txt", &text) ||
            !parse_map_text(text.data(), text.size(), &bytes, &error))
            return fprintf(stderr, "%s: %s\n", m.name.c_str(), error.c_str()), 1;
        int count[256] = {};
        for (size_t k = 2; k < bytes.size(); k++)
            count[bytes[k]]++;
        // The map's own first comment line says what it is about.
        std::string about = text[0] == ';' ? text.substr(1, text.find('\n') - 1) : "";
        about.erase(0, about.find_first_not_of(' '));
        long won = route_winning_tick(dir, m.name);
        if (won < 0) return fprintf(stderr, "%s: its route does not win\n", m.name.c_str()), 1;
        printf("| %s | %s | %s | %d x %d | %d | %d | %d | %d | %ld | %ld (%ld %%) |\n",
               m.name.c_str(), m.theme.c_str(), about.c_str(), bytes[1], bytes[0],
               count[CELL_DIAMOND], count[CELL_MONSTER], count[CELL_BLOCK], count[CELL_BONUS], won,
               DEFAULT_TIME_LIMIT * 100 - won,
               (DEFAULT_TIME_LIMIT * 100 - won) * 100 / (DEFAULT_TIME_LIMIT * 100));
    }
    return 0;
}

} // namespace

int main(int argc, char **argv) {
    if (argc >= 3 && !strcmp(argv[1], "plan")) return plan(argv[2], argc > 3 ? atoi(argv[3]) : 1);
    if (argc == 3 && !strcmp(argv[1], "measure")) return measure(argv[2]);
    fprintf(stderr, "usage: mapplan plan MAP.txt [SEED] | mapplan measure MAP_DIR\n");
    return 2;
}
