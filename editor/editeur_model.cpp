// The map editor's drawing: grid, pieces, strokes, rectangles, resizing, undo and redo,
// and the live check.
#include "editeur_model.h"

#include "hud_layout.h"
#include "maps.h"

#include <algorithm>
#include <cstdlib>

static const uint8_t FLOOR = (uint8_t)CELL_EMPTY;
static const uint8_t PIECE_CODES[PIECE_COUNT] = {FLOOR,        CELL_WALL,    CELL_BLOCK, CELL_BONUS,
                                                 CELL_DIAMOND, CELL_MONSTER, CELL_PLAYER};

uint8_t piece_code(int piece) {
    return piece >= 0 && piece < PIECE_COUNT ? PIECE_CODES[piece] : FLOOR;
}

void edit_max_size(int screen_w, int screen_h, int *max_w, int *max_h) {
    *max_w = screen_w / CELL_PIXELS;
    *max_h = screen_h / CELL_PIXELS;
    while (*max_h > 0 && !map_fits_screen(*max_w, *max_h, screen_w, screen_h, HUD_FONT_HEIGHT))
        (*max_h)--;
}

bool edit_size_ok(int w, int h) {
    int max_w, max_h;
    edit_max_size(EDIT_CHECK_SCREEN_W, EDIT_CHECK_SCREEN_H, &max_w, &max_h);
    return w >= EDIT_MIN_SIZE && h >= EDIT_MIN_SIZE && w <= max_w && h <= max_h;
}

static void reset_history(edit_map *m) {
    m->undo.clear();
    m->redo.clear();
    m->in_stroke = false;
}

bool edit_new(edit_map *m, int w, int h) {
    if (!edit_size_ok(w, h)) return false;
    m->w = w;
    m->h = h;
    m->cells.assign((size_t)w * h, FLOOR);
    for (int r = 0; r < h; r++)
        for (int c = 0; c < w; c++)
            if (r == 0 || c == 0 || r == h - 1 || c == w - 1) m->cells[r * w + c] = CELL_WALL;
    m->cells[w + 1] = CELL_PLAYER;
    reset_history(m);
    edit_check(m);
    return true;
}

bool edit_load(edit_map *m, const uint8_t *bytes, size_t length, std::string *reason) {
    if (map_bytes_shape(bytes, length) != MAP_WHOLE) {
        *reason = "Ce fichier de carte est tronqué ou abîmé : il ne peut pas être ouvert.";
        return false;
    }
    m->h = bytes[0];
    m->w = bytes[1];
    m->cells.assign(bytes + 2, bytes + map_file_size(m->h, m->w));
    reset_history(m);
    edit_check(m);
    return true;
}

std::vector<uint8_t> edit_bytes(const edit_map *m) {
    std::vector<uint8_t> out(2 + m->cells.size());
    out[0] = (uint8_t)m->h;
    out[1] = (uint8_t)m->w;
    std::copy(m->cells.begin(), m->cells.end(), out.begin() + 2);
    return out;
}

uint8_t edit_cell(const edit_map *m, int r, int c) {
    return m->cells[(size_t)r * m->w + c];
}

static bool inside(const edit_map *m, int r, int c) {
    return r >= 0 && c >= 0 && r < m->h && c < m->w;
}

// Paints without history; a start clears every other start to floor.
static void put_piece(edit_map *m, int r, int c, int piece) {
    if (!inside(m, r, c)) return;
    uint8_t code = piece_code(piece);
    if (code == CELL_PLAYER)
        for (uint8_t &cell : m->cells)
            if (cell == CELL_PLAYER) cell = FLOOR;
    m->cells[(size_t)r * m->w + c] = code;
}

void edit_stroke_begin(edit_map *m) {
    m->stroke_before = m->cells;
    m->in_stroke = true;
    m->last_r = m->last_c = -1;
}

void edit_stroke_to(edit_map *m, int r, int c, int piece) {
    if (!m->in_stroke) return;
    if (m->last_r < 0) {
        put_piece(m, r, c, piece);
    } else {
        // Every cell on the way, so a quick drag leaves no gap.
        int dr = r - m->last_r, dc = c - m->last_c;
        int n = std::max(std::abs(dr), std::abs(dc));
        for (int k = 1; k <= n; k++)
            put_piece(m, m->last_r + (dr * k * 2 + (dr < 0 ? -n : n)) / (2 * n),
                      m->last_c + (dc * k * 2 + (dc < 0 ? -n : n)) / (2 * n), piece);
    }
    m->last_r = r;
    m->last_c = c;
}

static edit_grid grid_of(const edit_map *m) {
    return edit_grid{m->w, m->h, m->cells};
}

// One step back to the grid before a change, which is made: the redo steps are gone.
static void changed_from(edit_map *m, const edit_grid &before) {
    m->undo.push_back(before);
    if ((int)m->undo.size() > EDIT_UNDO_DEPTH) m->undo.erase(m->undo.begin());
    m->redo.clear();
    edit_check(m);
}

void edit_stroke_end(edit_map *m) {
    if (!m->in_stroke) return;
    m->in_stroke = false;
    if (m->cells != m->stroke_before) changed_from(m, edit_grid{m->w, m->h, m->stroke_before});
}

bool edit_paint(edit_map *m, int r, int c, int piece) {
    if (!inside(m, r, c)) return false;
    std::vector<uint8_t> before = m->cells;
    edit_stroke_begin(m);
    edit_stroke_to(m, r, c, piece);
    edit_stroke_end(m);
    return m->cells != before;
}

bool edit_fill(edit_map *m, int r0, int c0, int r1, int c1, int piece) {
    if (m->in_stroke || !inside(m, r0, c0) || !inside(m, r1, c1)) return false;
    edit_grid before = grid_of(m);
    if (piece_code(piece) == CELL_PLAYER) r0 = r1, c0 = c1;
    for (int r = std::min(r0, r1); r <= std::max(r0, r1); r++)
        for (int c = std::min(c0, c1); c <= std::max(c0, c1); c++)
            put_piece(m, r, c, piece);
    if (m->cells == before.cells) return false;
    changed_from(m, before);
    return true;
}

// The new cells of a row or column added inside the border: floor, walled at its ends.
static uint8_t added_cell(int r, int c, int h, int w) {
    return r == 0 || c == 0 || r == h - 1 || c == w - 1 ? (uint8_t)CELL_WALL : FLOOR;
}

// Where a line of the new grid came from in the old one (-1: a line added), for `first`
// lines added or removed (negative) after the border line 0 and `last` before the far one.
static int old_line(int line, int size, int first, int last) {
    int new_size = size + first + last;
    if (line == 0) return 0;
    if (line == new_size - 1) return size - 1;
    int from = line - first; // the inside lines keep their order, shifted
    return from < 1 || from > size - 2 ? -1 : from;
}

bool edit_resize(edit_map *m, int top, int bottom, int left, int right) {
    int w = m->w + left + right, h = m->h + top + bottom;
    // A map too big to save (from an older editor) may still shrink towards a size that can.
    bool shrinks = w <= m->w && h <= m->h && w >= EDIT_MIN_SIZE && h >= EDIT_MIN_SIZE;
    if (m->in_stroke || !(edit_size_ok(w, h) || shrinks) || !(top || bottom || left || right))
        return false;
    edit_grid before = grid_of(m);
    std::vector<uint8_t> cells((size_t)w * h);
    for (int r = 0; r < h; r++)
        for (int c = 0; c < w; c++) {
            int from_r = old_line(r, m->h, top, bottom), from_c = old_line(c, m->w, left, right);
            cells[(size_t)r * w + c] =
                from_r < 0 || from_c < 0 ? added_cell(r, c, h, w) : edit_cell(m, from_r, from_c);
        }
    m->w = w;
    m->h = h;
    m->cells = cells;
    changed_from(m, before);
    return true;
}

void edit_replace(edit_map *m, const edit_map *from) {
    edit_grid before = grid_of(m);
    m->w = from->w;
    m->h = from->h;
    m->cells = from->cells;
    m->in_stroke = false;
    changed_from(m, before);
}

static bool step(edit_map *m, std::vector<edit_grid> *from, std::vector<edit_grid> *to) {
    if (from->empty() || m->in_stroke) return false;
    to->push_back(grid_of(m));
    m->w = from->back().w;
    m->h = from->back().h;
    m->cells = from->back().cells;
    from->pop_back();
    edit_check(m);
    return true;
}

bool edit_undo(edit_map *m) {
    return step(m, &m->undo, &m->redo);
}
bool edit_redo(edit_map *m) {
    return step(m, &m->redo, &m->undo);
}

void edit_check(edit_map *m) {
    map_check_options opt;
    opt.screen_w = EDIT_CHECK_SCREEN_W;
    opt.screen_h = EDIT_CHECK_SCREEN_H;
    std::vector<uint8_t> bytes = edit_bytes(m);
    m->problems = find_map_problems(bytes.data(), bytes.size(), opt);
    m->marked.assign(m->cells.size(), 0);
    for (const map_problem &p : m->problems)
        if (inside(m, p.row, p.col)) m->marked[(size_t)p.row * m->w + p.col] = 1;
}

bool edit_marked(const edit_map *m, int r, int c) {
    return inside(m, r, c) && m->marked[(size_t)r * m->w + c];
}

bool edit_can_save(const edit_map *m) {
    for (const map_problem &p : m->problems)
        if (p.fault != FAULT_NO_DIAMOND) return false;
    return true;
}

const char *edit_fault_text(map_fault f) {
    switch (f) {
    case FAULT_SHORT:
    case FAULT_EMPTY:
    case FAULT_TRUNCATED:
        return "Le fichier de carte est incomplet.";
    case FAULT_BORDER:
        return "Le bord n'est pas fermé : il faut un mur tout autour.";
    case FAULT_BOMB_CODE:
        return "Une case porte le code 8 (une bombe) : le jeu la refuse.";
    case FAULT_SECOND_START:
        return "Il y a plus d'un départ du joueur.";
    case FAULT_NO_START:
        return "Il n'y a pas de départ du joueur.";
    case FAULT_NO_DIAMOND:
        return "Aucun diamant : la partie serait gagnée dès le départ.";
    case FAULT_SCREEN:
        return "La carte ne tient pas en 800 x 600 sans passer sous les compteurs.";
    case FAULT_GAME:
        return "Le jeu refuse cette carte.";
    case FAULT_UNREACHABLE:
        return "Un diamant est hors d'atteinte, même en faisant sauter les blocs.";
    case FAULT_MONSTER_NEAR:
        return "Un monstre part à 3 pas ou moins du départ.";
    case FAULT_BOXED_IN:
        return "Le départ est enfermé : la première bombe rattrape le joueur partout.";
    }
    return "";
}

std::string edit_status_line(const edit_map *m) {
    if (m->problems.empty()) return "La carte est bonne.";
    // The first two kinds of fault are told, the others counted; the marks show them all.
    std::vector<map_fault> kinds;
    for (const map_problem &p : m->problems)
        if (std::find(kinds.begin(), kinds.end(), p.fault) == kinds.end()) kinds.push_back(p.fault);
    std::string line = edit_fault_text(kinds[0]);
    if (kinds.size() > 1) line += std::string(" Aussi : ") + edit_fault_text(kinds[1]);
    if (kinds.size() == 3) line += " Et un autre défaut.";
    if (kinds.size() > 3) line += " Et " + std::to_string(kinds.size() - 2) + " autres défauts.";
    return line;
}

std::vector<std::string> edit_wrap(const std::string &text, int width,
                                   const std::function<int(const std::string &)> &measure) {
    std::vector<std::string> lines;
    std::string line;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(' ', start);
        std::string word = text.substr(start, end == std::string::npos ? end : end - start);
        start = end == std::string::npos ? text.size() : end + 1;
        std::string longer = line.empty() ? word : line + " " + word;
        if (!line.empty() && measure(longer) > width) {
            lines.push_back(line);
            longer = word;
        }
        line = longer;
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
}
