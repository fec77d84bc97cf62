// Map text format: parsing into .czm bytes and writing back.
#include "maptext.h"

#include "maps.h"

#include <cstdio>

struct legend_entry {
    char ch;
    uint8_t code;
};

static const legend_entry LEGEND[] = {
    {'#', CELL_WALL},    {'+', CELL_BLOCK},   {'?', CELL_BONUS},         {'P', CELL_PLAYER},
    {'M', CELL_MONSTER}, {'D', CELL_DIAMOND}, {'.', (uint8_t)CELL_EMPTY}};

char map_legend_char(uint8_t code) {
    for (const legend_entry &e : LEGEND)
        if (e.code == code) return e.ch;
    return 0;
}

static int legend_code(char ch) {
    for (const legend_entry &e : LEGEND)
        if (e.ch == ch) return e.code;
    return -1;
}

static int hex_digit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

static bool fail(map_text_error *error, int line, int column, map_text_problem problem) {
    error->problem = problem;
    error->line = line;
    error->column = column;
    return false;
}

static std::string shown(char c) {
    unsigned char u = (unsigned char)c;
    char buf[16];
    if (u >= 32 && u < 127)
        snprintf(buf, sizeof buf, "'%c'", c);
    else
        snprintf(buf, sizeof buf, "byte 0x%02x", u);
    return buf;
}

static std::string in_english(const map_text_error &e) {
    char where[64];
    snprintf(where, sizeof where, "line %d, column %d: ", e.line, e.column);
    switch (e.problem) {
    case TEXT_BAD_BRACE:
        return where + std::string("'{' must be followed by two hex digits and '}', as in {08}");
    case TEXT_UNKNOWN_CELL:
        return where + ("unknown cell " + shown(e.cell) +
                        " (use # + ? P M D . or {NN} for any other byte)");
    case TEXT_BLANK_INSIDE:
        return where + std::string("blank line inside the map");
    case TEXT_ROW_LENGTH:
        return where + ("row " + std::to_string(e.row) + " has " + std::to_string(e.cells) +
                        " cells, the first row has " + std::to_string(e.first_cells));
    case TEXT_TOO_WIDE:
        return where + std::string("a map is at most 255 cells wide");
    case TEXT_TOO_TALL:
        return where + std::string("a map is at most 255 rows tall");
    case TEXT_NO_ROWS:
        break;
    }
    return where + std::string("no map rows");
}

// Parses one line of cells; `line` and the column count from 1 for messages.
static bool parse_row(const char *s, size_t n, int line, std::vector<uint8_t> *row,
                      map_text_error *error) {
    for (size_t i = 0; i < n;) {
        int column = (int)i + 1;
        char c = s[i];
        if (c == '{') {
            if (i + 3 >= n || s[i + 3] != '}' || hex_digit(s[i + 1]) < 0 || hex_digit(s[i + 2]) < 0)
                return fail(error, line, column, TEXT_BAD_BRACE);
            row->push_back((uint8_t)(hex_digit(s[i + 1]) * 16 + hex_digit(s[i + 2])));
            i += 4;
            continue;
        }
        int code = legend_code(c);
        if (code < 0) {
            error->cell = c;
            return fail(error, line, column, TEXT_UNKNOWN_CELL);
        }
        row->push_back((uint8_t)code);
        i++;
    }
    return true;
}

bool parse_map_text_at(const char *text, size_t length, std::vector<uint8_t> *bytes,
                       map_text_error *error) {
    std::vector<std::vector<uint8_t>> rows;
    int line = 0;
    int blank_after_rows = 0; // line of the first blank line after the map started
    for (size_t pos = 0; pos < length;) {
        size_t end = pos;
        while (end < length && text[end] != '\n')
            end++;
        size_t n = end - pos;
        if (n > 0 && text[pos + n - 1] == '\r') n--;
        line++;
        const char *s = text + pos;
        pos = end + 1;
        if (n > 0 && s[0] == ';') continue;
        if (n == 0) {
            if (!rows.empty() && !blank_after_rows) blank_after_rows = line;
            continue;
        }
        if (blank_after_rows) return fail(error, blank_after_rows, 1, TEXT_BLANK_INSIDE);
        std::vector<uint8_t> row;
        if (!parse_row(s, n, line, &row, error)) return false;
        if (!rows.empty() && row.size() != rows[0].size()) {
            error->row = (int)rows.size();
            error->cells = (int)row.size();
            error->first_cells = (int)rows[0].size();
            return fail(error, line, 1, TEXT_ROW_LENGTH);
        }
        if (row.size() > (size_t)MAP_MAX_SIDE) return fail(error, line, 1, TEXT_TOO_WIDE);
        rows.push_back(row);
        if (rows.size() > (size_t)MAP_MAX_SIDE) return fail(error, line, 1, TEXT_TOO_TALL);
    }
    if (rows.empty()) return fail(error, line > 0 ? line : 1, 1, TEXT_NO_ROWS);
    bytes->clear();
    bytes->push_back((uint8_t)rows.size());
    bytes->push_back((uint8_t)rows[0].size());
    for (const auto &r : rows)
        bytes->insert(bytes->end(), r.begin(), r.end());
    return true;
}

bool parse_map_text(const char *text, size_t length, std::vector<uint8_t> *bytes,
                    std::string *error) {
    map_text_error where;
    if (parse_map_text_at(text, length, bytes, &where)) return true;
    if (error) *error = in_english(where);
    return false;
}

bool format_map_text(const uint8_t *bytes, size_t length, std::string *text, std::string *error) {
    char msg[128] = "";
    switch (map_bytes_shape(bytes, length)) {
    case MAP_NO_SIZES:
        snprintf(msg, sizeof msg, "not a map: fewer than the two size bytes");
        break;
    case MAP_NO_CELLS:
        snprintf(msg, sizeof msg, "not a map: a height or width of 0");
        break;
    case MAP_TRUNCATED:
        snprintf(msg, sizeof msg, "not a map: %d x %d cells need %zu bytes, the file has %zu",
                 bytes[0], bytes[1], map_file_size(bytes[0], bytes[1]), length);
        break;
    case MAP_WHOLE:
        break;
    }
    if (*msg) {
        if (error) *error = msg;
        return false;
    }
    size_t h = bytes[0], w = bytes[1];
    text->clear();
    for (size_t r = 0; r < h; r++) {
        for (size_t c = 0; c < w; c++) {
            uint8_t code = bytes[2 + r * w + c];
            char ch = map_legend_char(code);
            if (ch) {
                text->push_back(ch);
            } else {
                char buf[8];
                snprintf(buf, sizeof buf, "{%02X}", code);
                *text += buf;
            }
        }
        text->push_back('\n');
    }
    return true;
}
