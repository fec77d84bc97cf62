// The options dialog's 8 x 8 font: Allegro's built-in one with the French small letters redrawn.
#include "guifont.h"

#include <allegro.h>

// Allegro's font grid: 8-bit, glyphs in colour 1 on 0 in boxes framed by colour 255.
enum { GLYPH = 8, CELL = GLYPH + 1, PER_ROW = 16, FIRST = ' ', LAST = 255 };

// The small letters stand in rows 2 to 6 of their box; the accents take rows 0 and 1.
enum { GRAVE, ACUTE, CIRCUMFLEX, DIAERESIS, ACCENT_COUNT };
static const char *const ACCENTS[ACCENT_COUNT][2] = {
    {".##.....", "..##...."},
    {"....##..", "...##..."},
    {"..##....", ".#..#..."},
    {"##..##..", "........"},
};

// Each vowel's bytes with a grave, an acute, a circumflex and a diaeresis.
struct accented_vowel {
    char base;
    int codes[ACCENT_COUNT];
};
static const accented_vowel VOWELS[] = {
    {'a', {0xe0, 0xe1, 0xe2, 0xe4}}, {'e', {0xe8, 0xe9, 0xea, 0xeb}},
    {'i', {0xec, 0xed, 0xee, 0xef}}, {'o', {0xf2, 0xf3, 0xf4, 0xf6}},
    {'u', {0xf9, 0xfa, 0xfb, 0xfc}},
};
static const int C_CEDILLA = 0xe7;

static void box_of(int code, int *x, int *y) {
    *x = 1 + (code - FIRST) % PER_ROW * CELL;
    *y = 1 + (code - FIRST) / PER_ROW * CELL;
}

// The built-in glyph of `glyph` in the box of `code`.
static void draw_builtin(BITMAP *grid, int code, int glyph) {
    char text[2] = {(char)glyph, 0};
    int x, y;
    box_of(code, &x, &y);
    rectfill(grid, x, y, x + GLYPH - 1, y + GLYPH - 1, 0);
    textout_ex(grid, font, text, x, y, 1, 0);
}

static void draw_row(BITMAP *grid, int code, int row, const char *pattern) {
    int x, y;
    box_of(code, &x, &y);
    rectfill(grid, x, y + row, x + GLYPH - 1, y + row, 0);
    for (int col = 0; col < GLYPH; col++)
        if (pattern[col] == '#') putpixel(grid, x + col, y + row, 1);
}

FONT *make_dialog_font() {
    int rows = (LAST - FIRST + 1 + PER_ROW - 1) / PER_ROW;
    BITMAP *grid = create_bitmap_ex(8, 1 + PER_ROW * CELL, 1 + rows * CELL);
    if (!grid) return NULL;
    clear_to_color(grid, 255);
    for (int code = FIRST; code <= LAST; code++)
        draw_builtin(grid, code, code);
    for (const accented_vowel &v : VOWELS)
        for (int a = 0; a < ACCENT_COUNT; a++) {
            draw_builtin(grid, v.codes[a], v.base);
            draw_row(grid, v.codes[a], 0, ACCENTS[a][0]); // the i's dot goes with these rows
            draw_row(grid, v.codes[a], 1, ACCENTS[a][1]);
        }
    draw_builtin(grid, C_CEDILLA, 'c');
    draw_row(grid, C_CEDILLA, 7, "...##...");
    FONT *made = grab_font_from_bitmap(grid);
    destroy_bitmap(grid);
    return made;
}
