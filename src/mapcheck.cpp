// Checks a map as the game will play it.
#include "mapcheck.h"

#include "maps.h"

#include <cstdio>
#include <cstdlib>
#include <deque>

static std::string cell_name(int r, int c) {
    char buf[48];
    snprintf(buf, sizeof buf, "cell (row %d, column %d)", r, c);
    return buf;
}

static std::string code_name(uint8_t code) {
    switch (code) {
    case CELL_WALL:
        return "a wall";
    case CELL_BLOCK:
        return "a block";
    case CELL_BONUS:
        return "a hidden bonus";
    case CELL_PLAYER:
        return "the player start";
    case CELL_MONSTER:
        return "a monster";
    case CELL_DIAMOND:
        return "a diamond";
    case (uint8_t)CELL_EMPTY:
        return "floor";
    default: {
        char buf[24];
        snprintf(buf, sizeof buf, "code %d", code);
        return buf;
    }
    }
}

struct grid {
    int h, w;
    const uint8_t *cells;
    uint8_t at(int r, int c) const { return cells[r * w + c]; }
};

// Cells a player can stand on once the game is set up.
static bool walkable(uint8_t code) {
    return code == CELL_PLAYER || code == CELL_MONSTER || cell_passable((int8_t)code);
}
// Cells a player can open up with bombs: blocks and hidden bonuses burn away.
static bool bombable(uint8_t code) {
    return walkable(code) || code == CELL_BLOCK;
}

static std::vector<int> flood(const grid &g, int start, bool (*open)(uint8_t)) {
    std::vector<int> dist(g.h * g.w, -1);
    std::deque<int> q;
    dist[start] = 0;
    q.push_back(start);
    while (!q.empty()) {
        int k = q.front();
        q.pop_front();
        int r = k / g.w, c = k % g.w;
        static const int dr[4] = {-1, 1, 0, 0}, dc[4] = {0, 0, -1, 1};
        for (int d = 0; d < 4; d++) {
            int nr = r + dr[d], nc = c + dc[d];
            if (nr < 0 || nc < 0 || nr >= g.h || nc >= g.w) continue;
            int n = nr * g.w + nc;
            if (dist[n] >= 0 || !open(g.at(nr, nc))) continue;
            dist[n] = dist[k] + 1;
            q.push_back(n);
        }
    }
    return dist;
}

// Cells the flames of a range-2 bomb at (r, c) reach: only walls stop them.
static bool in_blast(const grid &g, int r, int c, int br, int bc) {
    if (r != br && c != bc) return false;
    int dr = (r > br) - (r < br), dc = (c > bc) - (c < bc);
    int d = abs(r - br) + abs(c - bc);
    if (d > 2) return false;
    for (int k = 1; k <= d; k++)
        if (g.at(br + dr * k, bc + dc * k) == CELL_WALL) return false;
    return true;
}

static void add(std::vector<map_problem> *out, map_fault f, int r, int c, const std::string &t) {
    out->push_back(map_problem{f, r, c, t});
}

// The faults a single cell shows by itself: border, code 8, a second start.
static void check_cells(const grid &g, std::vector<map_problem> *out, int *start, int *diamonds) {
    for (int r = 0; r < g.h; r++)
        for (int c = 0; c < g.w; c++) {
            uint8_t code = g.at(r, c);
            bool border = r == 0 || c == 0 || r == g.h - 1 || c == g.w - 1;
            if (border && code != CELL_WALL)
                add(out, FAULT_BORDER, r, c,
                    cell_name(r, c) + ": the border must be wall, it is " + code_name(code));
            if (code == CELL_BOMB)
                add(out, FAULT_BOMB_CODE, r, c,
                    cell_name(r, c) + ": code 8 is a bomb during play, not a map cell");
            if (code == CELL_PLAYER) {
                if (*start >= 0)
                    add(out, FAULT_SECOND_START, r, c,
                        cell_name(r, c) + ": a second player start (the first is at " +
                            cell_name(*start / g.w, *start % g.w) + ")");
                else
                    *start = r * g.w + c;
            }
            if (code == CELL_DIAMOND) (*diamonds)++;
        }
}

// Diamonds out of reach, monsters too near, a start the first bomb cannot be escaped from.
static void check_play(const grid &g, int start, std::vector<map_problem> *out) {
    int sr = start / g.w, sc = start % g.w;
    std::vector<int> reach = flood(g, start, bombable);
    std::vector<int> walk = flood(g, start, walkable);
    bool needs_bombs = false;
    for (int r = 0; r < g.h; r++)
        for (int c = 0; c < g.w; c++) {
            uint8_t code = g.at(r, c);
            int k = r * g.w + c;
            if (code == CELL_DIAMOND && reach[k] < 0)
                add(out, FAULT_UNREACHABLE, r, c,
                    cell_name(r, c) + ": this diamond cannot be reached from the player "
                                      "start, even by bombing through blocks");
            if (code == CELL_DIAMOND && walk[k] < 0 && reach[k] >= 0) needs_bombs = true;
            if (code == CELL_MONSTER && walk[k] >= 0 && walk[k] <= 3)
                add(out, FAULT_MONSTER_NEAR, r, c,
                    cell_name(r, c) + ": a monster starts within 3 steps of the player start");
        }
    if (!needs_bombs) return;
    for (int k = 0; k < g.h * g.w; k++)
        if (walk[k] >= 0 && !in_blast(g, k / g.w, k % g.w, sr, sc)) return;
    add(out, FAULT_BOXED_IN, sr, sc,
        cell_name(sr, sc) + ": the player start is boxed in: a bomb laid there "
                            "catches the player wherever it walks");
}

std::vector<map_problem> find_map_problems(const uint8_t *bytes, size_t length,
                                           const map_check_options &opt) {
    std::vector<map_problem> out;
    switch (map_bytes_shape(bytes, length)) {
    case MAP_NO_SIZES:
        add(&out, FAULT_SHORT, -1, -1, "the file is shorter than its two size bytes");
        return out;
    case MAP_NO_CELLS:
        add(&out, FAULT_EMPTY, -1, -1, "the map has a height or a width of 0");
        return out;
    case MAP_TRUNCATED: {
        char buf[128];
        snprintf(buf, sizeof buf,
                 "the file is too short: %d rows of %d cells need %zu bytes, it has %zu", bytes[0],
                 bytes[1], map_file_size(bytes[0], bytes[1]), length);
        add(&out, FAULT_TRUNCATED, -1, -1, buf);
        return out;
    }
    case MAP_WHOLE:
        break;
    }
    grid g{bytes[0], bytes[1], bytes + 2};
    int start = -1, diamonds = 0;
    check_cells(g, &out, &start, &diamonds);
    if (start < 0) add(&out, FAULT_NO_START, -1, -1, "the map has no player start (P)");
    if (diamonds == 0)
        add(&out, FAULT_NO_DIAMOND, -1, -1,
            "the map has no diamond (D): the game would be won at once");
    if (opt.screen_w > 0 &&
        !map_fits_screen(g.w, g.h, opt.screen_w, opt.screen_h, opt.hud_text_h)) {
        char buf[192];
        snprintf(buf, sizeof buf,
                 "the map (%d x %d cells, %d x %d pixels) does not fit a %d x %d screen with "
                 "nothing of the head-up display (%d pixels tall) over it",
                 g.w, g.h, g.w * CELL_PIXELS, g.h * CELL_PIXELS, opt.screen_w, opt.screen_h,
                 hud_band_height(opt.hud_text_h));
        add(&out, FAULT_SCREEN, -1, -1, buf);
    }
    // The game's own verdict, in case it refuses something the messages above missed.
    const char *game = map_bytes_problem(bytes, length);
    if (game && out.empty())
        add(&out, FAULT_GAME, -1, -1, std::string("the game refuses the map: ") + game);
    if (out.empty() && start >= 0) check_play(g, start, &out);
    return out;
}

static bool cell_fault(map_fault f) {
    return f == FAULT_BORDER || f == FAULT_BOMB_CODE || f == FAULT_SECOND_START;
}

std::vector<std::string> check_map(const uint8_t *bytes, size_t length,
                                   const map_check_options &opt) {
    std::vector<std::string> out;
    int borders = 0;
    bool told = false;
    for (const map_problem &p : find_map_problems(bytes, length, opt)) {
        // An open border is told for its first eight cells, then counted.
        if (!cell_fault(p.fault) && !told && borders > 8) {
            out.push_back("... and " + std::to_string(borders - 8) + " more open border cells");
            told = true;
        }
        if (p.fault == FAULT_BORDER && ++borders > 8) continue;
        out.push_back(p.text);
    }
    if (!told && borders > 8)
        out.push_back("... and " + std::to_string(borders - 8) + " more open border cells");
    return out;
}

std::string map_summary(const uint8_t *bytes, size_t length) {
    if (length < 2) return "";
    int h = bytes[0], w = bytes[1];
    int count[256] = {0};
    for (size_t k = 2; k < length && k < map_file_size(h, w); k++)
        count[bytes[k]]++;
    char buf[192];
    snprintf(
        buf, sizeof buf,
        "%d x %d cells (%d x %d pixels), %d diamonds, %d monsters, %d blocks, %d hidden bonuses", w,
        h, w * CELL_PIXELS, h * CELL_PIXELS, count[CELL_DIAMOND], count[CELL_MONSTER],
        count[CELL_BLOCK], count[CELL_BONUS]);
    return buf;
}
