// The map editor's screens: the map list, the new-map dialog, the drawing screen, the name
// prompt and the questions, and a map played in the game's own loop.
#include "editeur.h"

#include "bktype.h"
#include "cindermaze.h"
#include "config.h"
#include "editeur_files.h"
#include "files.h"
#include "jeu.h"
#include "maps.h"
#include "message.h"
#include "save_folder.h"
#include "volume.h"

#include <allegro.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

// Layout of the 800 x 600 drawing screen: the map, the palette and help on its right, and
// three lines of status under both.
static const int AREA_X = 8, AREA_Y = 8, AREA_W = 584, AREA_H = 524;
static const int PALETTE_X = 600, PALETTE_Y = 8, PALETTE_STEP = 40;
static const int STATUS_Y = 540, STATUS_STEP = 20, STATUS_LINES = 3, STATUS_W = 784;
// The map played with F5, beside the settings, removed after the game.
static const char *const TRIAL_MAP = "essai-editeur.czm";
static const char *const TRIAL_STRIP = "essai-editeur.bmp";
static const char *const PIECE_NAMES[PIECE_COUNT] = {"Sol",     "Mur",     "Bloc",  "Bonus",
                                                     "Diamant", "Monstre", "Départ"};
// The number keys' characters on a French keyboard without Shift (é and è as Windows-1252
// bytes, whatever the compiler's character set).
static const char AZERTY_DIGITS[PIECE_COUNT + 1] = "&\xe9\"'(-\xe8";

// A press seen by the mouse driver, kept until the loop takes it: a quick click may come
// and go between two looks at mouse_b.
static volatile int pressed_buttons, pressed_x, pressed_y;

struct editor {
    config *cfg;
    FONT *font;
    DATAFILE *data;
    BITMAP *buffer;
    BITMAP *pieces[PIECE_COUNT]; // each piece as a 32 x 32 picture in the theme
    edit_map map;
    edit_grid saved;       // the drawing as last saved or opened
    std::string name;      // the name it is saved under, empty for none yet
    std::string file_name; // the map it was opened from or last saved as
    std::string strip, message;
    int piece, cur_r, cur_c;
    int cell, map_x, map_y; // the map's cell size and top-left corner on screen
    bool painting, filling, quit_asked, done;
    int paint_piece, fill_r, fill_c; // a fill's first corner
};

static void forget_saved(editor *e) {
    e->saved = edit_grid{};
}
static bool is_saved(const editor *e) {
    return e->map.w == e->saved.w && e->map.h == e->saved.h && e->map.cells == e->saved.cells;
}
static bool shift_held() {
    return (key_shifts & KB_SHIFT_FLAG) || key[KEY_LSHIFT] || key[KEY_RSHIFT];
}
static bool ctrl_held() {
    return (key_shifts & KB_CTRL_FLAG) || key[KEY_LCONTROL] || key[KEY_RCONTROL];
}

static int col_red() {
    return makecol(255, 0, 0);
}
static int col_yellow() {
    return makecol(255, 255, 0);
}
static int col_text() {
    return makecol(230, 220, 200);
}
static int col_back() {
    return makecol(24, 20, 28);
}

// ---------------------------------------------------------------- pictures

static BITMAP *strip_frame(BITMAP *strip, int frame) {
    BITMAP *b = create_bitmap(CELL_PIXELS, CELL_PIXELS);
    clear_to_color(b, bitmap_mask_color(b));
    if (strip && strip->w >= (frame + 1) * CELL_PIXELS)
        blit(strip, b, frame * CELL_PIXELS, 0, 0, 0, CELL_PIXELS, CELL_PIXELS);
    return b;
}

static void overlay(BITMAP *dest, const char *file, int frame, int x, int y, int w, int h) {
    BITMAP *b = load_bitmap(file, nullptr);
    if (!b) return;
    BITMAP *f = create_bitmap(CELL_PIXELS, b->h);
    blit(b, f, frame * CELL_PIXELS, 0, 0, 0, CELL_PIXELS, b->h);
    masked_stretch_blit(f, dest, 0, 0, CELL_PIXELS, b->h, x, y, w, h);
    destroy_bitmap(f);
    destroy_bitmap(b);
}

static void free_pieces(editor *e) {
    for (BITMAP *&b : e->pieces) {
        if (b) destroy_bitmap(b);
        b = nullptr;
    }
}

// The palette's pictures, with the tiles of the theme's strip and the game's sprites.
static void make_pieces(editor *e) {
    free_pieces(e);
    BITMAP *strip = load_bitmap(e->strip.c_str(), nullptr);
    BITMAP *floor_t = strip_frame(strip, 0), *block = strip_frame(strip, 2);
    for (int p = 0; p < PIECE_COUNT; p++) {
        e->pieces[p] = p == PIECE_WALL ? strip_frame(strip, 1) : create_bitmap(32, 32);
        if (p != PIECE_WALL) blit(floor_t, e->pieces[p], 0, 0, 0, 0, 32, 32);
    }
    draw_sprite(e->pieces[PIECE_BLOCK], block, 0, 0);
    draw_sprite(e->pieces[PIECE_BONUS], block, 0, 0);
    overlay(e->pieces[PIECE_BONUS], "graphics/bonus.bmp", 1, 14, 14, 18, 18);
    overlay(e->pieces[PIECE_DIAMOND], "graphics/diamond.bmp", 0, 0, 0, 32, 32);
    overlay(e->pieces[PIECE_MONSTER], "graphics/monster.bmp", 0, 0, 0, 32, 32);
    overlay(e->pieces[PIECE_START], "graphics/player1.bmp", 8, 5, 0, 22, 32);
    destroy_bitmap(floor_t);
    destroy_bitmap(block);
    if (strip) destroy_bitmap(strip);
}

static int code_piece(uint8_t code) {
    for (int p = 0; p < PIECE_COUNT; p++)
        if (piece_code(p) == code) return p;
    return -1;
}

// ---------------------------------------------------------------- drawing

// Maps too big for 32 pixels a cell are shown smaller, whole.
static void place_map(editor *e) {
    e->cell = 32;
    if (AREA_W / e->map.w < e->cell) e->cell = AREA_W / e->map.w;
    if (AREA_H / e->map.h < e->cell) e->cell = AREA_H / e->map.h;
    if (e->cell < 1) e->cell = 1;
    e->map_x = AREA_X + (AREA_W - e->map.w * e->cell) / 2;
    e->map_y = AREA_Y + (AREA_H - e->map.h * e->cell) / 2;
}

static void frame_rect(BITMAP *b, int x, int y, int size, int colour) {
    rect(b, x, y, x + size - 1, y + size - 1, colour);
    if (size > 6) rect(b, x + 1, y + 1, x + size - 2, y + size - 2, colour);
}

static void draw_map(editor *e, BITMAP *b) {
    int s = e->cell;
    for (int r = 0; r < e->map.h; r++)
        for (int c = 0; c < e->map.w; c++) {
            int x = e->map_x + c * s, y = e->map_y + r * s,
                p = code_piece(edit_cell(&e->map, r, c));
            if (p >= 0) {
                stretch_blit(e->pieces[p], b, 0, 0, 32, 32, x, y, s, s);
            } else { // a code the palette has not: floor crossed out
                stretch_blit(e->pieces[PIECE_FLOOR], b, 0, 0, 32, 32, x, y, s, s);
                line(b, x, y, x + s - 1, y + s - 1, col_red());
                line(b, x + s - 1, y, x, y + s - 1, col_red());
            }
        }
    // The check's marks, then the keyboard cursor inside them, so that both show.
    for (int r = 0; r < e->map.h; r++)
        for (int c = 0; c < e->map.w; c++)
            if (edit_marked(&e->map, r, c))
                frame_rect(b, e->map_x + c * s, e->map_y + r * s, s, col_red());
    int inset = s > 12 ? 3 : 0;
    frame_rect(b, e->map_x + e->cur_c * s + inset, e->map_y + e->cur_r * s + inset, s - 2 * inset,
               col_yellow());
    if (e->filling) { // the rectangle a fill will cover
        int r0 = std::min(e->fill_r, e->cur_r), r1 = std::max(e->fill_r, e->cur_r);
        int c0 = std::min(e->fill_c, e->cur_c), c1 = std::max(e->fill_c, e->cur_c);
        rect(b, e->map_x + c0 * s, e->map_y + r0 * s, e->map_x + (c1 + 1) * s - 1,
             e->map_y + (r1 + 1) * s - 1, col_yellow());
    }
}

static const char *const HELP[] = {
    "Clic : poser",
    "Clic droit : sol",
    "Glisser : ligne",
    "Maj+glisser : remplir",
    "1 à 7 : pièce",
    "Flèches, Espace : poser",
    "Suppr : sol",
    "Ctrl+flèche : agrandir",
    "Ctrl+Maj+flèche : réduire",
    "Ctrl+Z : annuler",
    "Ctrl+Y : refaire",
    "Ctrl+S : enregistrer",
    "Ctrl+Maj+S : sous...",
    "F5 : jouer",
    "Ctrl+E : exporter",
    "Ctrl+I : importer",
    "Ctrl+O : ouvrir",
    "Ctrl+N : nouvelle",
    "Échap : quitter",
};

static void draw_side(editor *e, BITMAP *b) {
    for (int p = 0; p < PIECE_COUNT; p++) {
        int y = PALETTE_Y + p * PALETTE_STEP;
        if (p == e->piece) rect(b, PALETTE_X - 3, y - 3, 797, y + 35, col_yellow());
        blit(e->pieces[p], b, 0, 0, PALETTE_X, y, 32, 32);
        textprintf_ex(b, font, PALETTE_X, y, col_text(), makecol(0, 0, 0), "%d", p + 1);
        textprintf_ex(b, e->font, PALETTE_X + 40, y + 5, col_text(), -1, "%s", PIECE_NAMES[p]);
    }
    int y = PALETTE_Y + PIECE_COUNT * PALETTE_STEP;
    std::string shown = e->name.empty() ? "(sans nom)" : e->name;
    textprintf_ex(b, font, PALETTE_X, y, col_yellow(), -1, "%.24s", shown.c_str());
    textprintf_ex(b, font, PALETTE_X, y + 10, col_yellow(), -1, "%d x %d%s", e->map.w, e->map.h,
                  is_saved(e) ? "" : "  (modifiée)");
    for (unsigned k = 0; k < sizeof HELP / sizeof *HELP; k++)
        textprintf_ex(b, font, PALETTE_X, y + 26 + k * 11, col_text(), -1, "%s", HELP[k]);
}

// A text over the status lines, wrapped at spaces; what does not fit in them is dropped.
static void draw_status_text(editor *e, BITMAP *b, const std::string &text, int colour,
                             int first_line = 0) {
    std::vector<std::string> lines = edit_wrap(
        text, STATUS_W, [&](const std::string &s) { return text_length(e->font, s.c_str()); });
    for (int k = 0; k < (int)lines.size() && first_line + k < STATUS_LINES; k++)
        textprintf_ex(b, e->font, AREA_X, STATUS_Y + (first_line + k) * STATUS_STEP, colour, -1,
                      "%s", lines[k].c_str());
}

static void draw_status(editor *e, BITMAP *b) {
    bool fine = e->map.problems.empty();
    std::string line = e->message.empty() ? edit_status_line(&e->map) : e->message;
    int colour = !e->message.empty() ? col_yellow() : fine ? makecol(120, 220, 120) : col_red();
    draw_status_text(e, b, line, colour);
}

static void show(BITMAP *b) {
    scare_mouse();
    blit(b, screen, 0, 0, 0, 0, b->w, b->h);
    unscare_mouse();
}

static void redraw(editor *e) {
    clear_to_color(e->buffer, col_back());
    draw_map(e, e->buffer);
    draw_side(e, e->buffer);
    draw_status(e, e->buffer);
    show(e->buffer);
}

// ---------------------------------------------------------------- name prompt

static const char *const NAME_RULE = "Un nom : lettres sans accent, chiffres, - et _, 40 au plus.";

// A key typed into a name: Backspace erases, a character a name may hold is added, any
// other is refused with the rule, in *refusal, which stays until Backspace.
static void type_name(int ascii, int scan, std::string *name, std::string *refusal) {
    if (scan == KEY_BACKSPACE) {
        refusal->clear();
        if (!name->empty()) name->pop_back();
    } else if (ascii >= 32 && !edit_name_char_ok((char)ascii)) {
        *refusal = (ascii == ' ' ? std::string("Espace refusée. ")
                                 : "« " + std::string(1, (char)ascii) + " » refusé. ") +
                   NAME_RULE;
    } else if (ascii >= 32 && name->size() >= EDIT_NAME_MAX) {
        *refusal = std::string("Nom trop long. ") + NAME_RULE;
    } else if (ascii >= 32) {
        *name += (char)ascii;
    }
}

static void draw_question(editor *e, const std::string &question) {
    rectfill(e->buffer, 0, STATUS_Y - 4, e->buffer->w - 1, e->buffer->h - 1, makecol(0, 0, 0));
    draw_status_text(e, e->buffer, question, col_yellow());
}

// Asks for a map's name on the status lines; false when cancelled with Esc.
static bool prompt(editor *e, const char *question, std::string *answer) {
    clear_keybuf();
    std::string refusal;
    for (;;) {
        draw_question(e, question);
        textprintf_ex(e->buffer, e->font, AREA_X, STATUS_Y + STATUS_STEP, col_yellow(), -1, "%s_",
                      answer->c_str());
        draw_status_text(e, e->buffer, refusal.empty() ? NAME_RULE : refusal,
                         refusal.empty() ? col_text() : col_red(), 2);
        show(e->buffer);
        int k = readkey(), ascii = k & 0xff, scan = k >> 8;
        if (scan == KEY_ESC) return false;
        if (scan == KEY_ENTER || scan == KEY_ENTER_PAD) return true;
        type_name(ascii, scan, answer, &refusal);
    }
}

// A question answered O (oui) or N (non) on the status lines; Esc is no.
static bool ask_yes(editor *e, const std::string &question) {
    clear_keybuf();
    draw_question(e, question);
    show(e->buffer);
    for (;;) {
        int k = readkey(), ascii = k & 0xff, scan = k >> 8;
        if (ascii == 'o' || ascii == 'O' || scan == KEY_O) return true;
        if (ascii == 'n' || ascii == 'N' || scan == KEY_N || scan == KEY_ESC) return false;
    }
}

// Before a drawing is replaced: true when it is saved, or when the player lets it go.
static bool may_drop(editor *e) {
    return is_saved(e) ||
           ask_yes(e, "La carte a des changements non enregistrés. Les abandonner ? (O/N)");
}

// ---------------------------------------------------------------- new-map dialog

struct new_map_form {
    std::string name;
    int w = 20, h = 14, theme = 0, field = 0; // field: 0 name, 1 width, 2 height, 3 theme
    std::string error;
};

static const int FORM_X = 200, FORM_Y = 120, FORM_STEP = 50;

static void draw_form(editor *e, const new_map_form *f, const std::vector<edit_theme> &themes) {
    BITMAP *b = e->buffer;
    clear_to_color(b, col_back());
    textprintf_centre_ex(b, e->font, 400, 40, col_yellow(), -1, "Nouvelle carte");
    int max_w, max_h;
    edit_max_size(EDIT_CHECK_SCREEN_W, EDIT_CHECK_SCREEN_H, &max_w, &max_h);
    char size_w[48], size_h[48];
    snprintf(size_w, sizeof size_w, "<  %d  >   (%d à %d)", f->w, EDIT_MIN_SIZE, max_w);
    snprintf(size_h, sizeof size_h, "<  %d  >   (%d à %d)", f->h, EDIT_MIN_SIZE, max_h);
    std::string theme = themes.empty() ? "?" : "<  " + themes[f->theme].name + "  >";
    std::string values[4] = {f->name + "_", size_w, size_h, theme};
    static const char *const labels[4] = {"Nom :", "Largeur :", "Hauteur :", "Décor :"};
    for (int k = 0; k < 4; k++) {
        int y = FORM_Y + k * FORM_STEP, colour = k == f->field ? col_yellow() : col_text();
        textprintf_ex(b, e->font, FORM_X, y, colour, -1, "%s", labels[k]);
        textprintf_ex(b, e->font, FORM_X + 140, y, colour, -1, "%s", values[k].c_str());
    }
    // The theme's pieces, twice their size.
    for (int p = 0; p < PIECE_COUNT; p++)
        stretch_blit(e->pieces[p], b, 0, 0, 32, 32, 400 - PIECE_COUNT * 36 + p * 72, 340, 64, 64);
    textprintf_centre_ex(b, font, 400, 430, col_text(), -1,
                         "Haut/Bas : champ   Gauche/Droite : valeur   Entrée : créer   Échap : "
                         "annuler");
    textprintf_centre_ex(b, font, 400, 446, col_text(), -1, "%s", NAME_RULE);
    textprintf_centre_ex(b, e->font, 400, 470, col_red(), -1, "%s", f->error.c_str());
    show(b);
}

static void form_step(new_map_form *f, int dir, int themes) {
    int max_w, max_h;
    edit_max_size(EDIT_CHECK_SCREEN_W, EDIT_CHECK_SCREEN_H, &max_w, &max_h);
    if (f->field == 1) f->w = std::min(max_w, std::max(EDIT_MIN_SIZE, f->w + dir));
    if (f->field == 2) f->h = std::min(max_h, std::max(EDIT_MIN_SIZE, f->h + dir));
    if (f->field == 3 && themes > 0) f->theme = (f->theme + dir + themes) % themes;
}

// A click on a field selects it; on its left or right half, steps its value.
static void form_click(new_map_form *f, int themes) {
    int k = (mouse_y - FORM_Y + 10) / FORM_STEP;
    if (mouse_y < FORM_Y - 10 || k < 0 || k > 3) return;
    f->field = k;
    if (mouse_x >= FORM_X + 140 && mouse_x < FORM_X + 180) form_step(f, -1, themes);
    if (mouse_x >= FORM_X + 180 && mouse_x < FORM_X + 300) form_step(f, +1, themes);
}

// Enter: the map is made, or the form says what is missing.
static bool form_done(editor *e, new_map_form *f, bool has_themes) {
    if (!has_themes)
        f->error = "Aucun décor : les cartes du jeu sont introuvables.";
    else if (!edit_name_ok(f->name))
        f->error = NAME_RULE;
    else if (edit_is_shipped(f->name))
        f->error = "C'est le nom d'une carte du jeu : choisissez-en un autre.";
    else if (edit_new(&e->map, f->w, f->h)) {
        e->name = f->name;
        e->file_name.clear();
        return true;
    }
    return false;
}

// The dialog; true when a map was made (name, size and theme taken).
static bool new_map_dialog(editor *e) {
    std::vector<edit_theme> themes = edit_themes();
    new_map_form f;
    std::string strip_before = e->strip;
    int shown_theme = -1;
    bool was_down = mouse_b & 1;
    clear_keybuf();
    for (;;) {
        if (!themes.empty() && shown_theme != f.theme) {
            e->strip = themes[f.theme].strip;
            make_pieces(e);
            shown_theme = f.theme;
        }
        draw_form(e, &f, themes);
        while (!keypressed() && !((mouse_b & 1) && !was_down)) {
            was_down = mouse_b & 1;
            rest(5);
        }
        if (!keypressed()) {
            was_down = true;
            form_click(&f, (int)themes.size());
            continue;
        }
        int k = readkey(), ascii = k & 0xff, scan = k >> 8;
        f.error.clear();
        if (scan == KEY_ESC) {
            e->strip = strip_before;
            if (!strip_before.empty()) make_pieces(e);
            return false;
        } else if (scan == KEY_UP) {
            f.field = (f.field + 3) % 4;
        } else if (scan == KEY_DOWN || scan == KEY_TAB) {
            f.field = (f.field + 1) % 4;
        } else if (scan == KEY_LEFT || scan == KEY_RIGHT) {
            form_step(&f, scan == KEY_LEFT ? -1 : 1, (int)themes.size());
        } else if (scan == KEY_ENTER || scan == KEY_ENTER_PAD) {
            if (form_done(e, &f, !themes.empty())) return true;
        } else if (f.field == 0) {
            type_name(ascii, scan, &f.name, &f.error);
        }
    }
}

// ---------------------------------------------------------------- map list

// The list for Open and New: twelve thumbnails a page, the shipped maps marked.
static const int LIST_COLUMNS = 4, LIST_ROWS = 3, LIST_PAGE = LIST_COLUMNS * LIST_ROWS;
static const int LIST_X = 16, LIST_Y = 70, LIST_STEP_X = 194, LIST_STEP_Y = 150;
static const int THUMB_W = 176, THUMB_H = 116;

struct map_list {
    std::vector<edit_listed> maps;
    std::vector<BITMAP *> thumbnails; // null when the map has none
    bool with_empty;                  // New: a blank map first
    int selected = 0;
    std::string typed, error;
};

static int list_size(const map_list *l) {
    return (int)l->maps.size() + (l->with_empty ? 1 : 0);
}

// The map of an entry, null for the blank map.
static const edit_listed *list_map(const map_list *l, int k) {
    int m = k - (l->with_empty ? 1 : 0);
    return m >= 0 && m < (int)l->maps.size() ? &l->maps[m] : nullptr;
}

static BITMAP *small_thumbnail(const std::string &file) {
    BITMAP *full = load_bitmap(file.c_str(), nullptr);
    if (!full) return nullptr;
    BITMAP *small = create_bitmap(THUMB_W, THUMB_H);
    if (small) stretch_blit(full, small, 0, 0, full->w, full->h, 0, 0, THUMB_W, THUMB_H);
    destroy_bitmap(full);
    return small;
}

static void entry_place(int k, int *x, int *y) {
    int on_page = k % LIST_PAGE;
    *x = LIST_X + (on_page % LIST_COLUMNS) * LIST_STEP_X;
    *y = LIST_Y + (on_page / LIST_COLUMNS) * LIST_STEP_Y;
}

static void draw_list(editor *e, const map_list *l, const char *title) {
    BITMAP *b = e->buffer;
    clear_to_color(b, col_back());
    textprintf_centre_ex(b, e->font, 400, 20, col_yellow(), -1, "%s", title);
    int first = l->selected / LIST_PAGE * LIST_PAGE,
        pages = (list_size(l) + LIST_PAGE - 1) / LIST_PAGE;
    for (int k = first; k < std::min(list_size(l), first + LIST_PAGE); k++) {
        int x, y;
        entry_place(k, &x, &y);
        const edit_listed *m = list_map(l, k);
        BITMAP *thumb = m ? l->thumbnails[k - (l->with_empty ? 1 : 0)] : nullptr;
        if (thumb)
            blit(thumb, b, 0, 0, x, y, THUMB_W, THUMB_H);
        else
            rectfill(b, x, y, x + THUMB_W - 1, y + THUMB_H - 1, makecol(0, 0, 0));
        if (!m) textprintf_centre_ex(b, e->font, x + THUMB_W / 2, y + 48, col_text(), -1, "Vide");
        if (m && m->shipped) { // the game's own maps are copied, never written over
            rectfill(b, x, y, x + 68, y + 12, makecol(150, 60, 20));
            textprintf_ex(b, font, x + 3, y + 3, col_text(), -1, "du jeu");
        }
        int colour = k == l->selected ? col_yellow() : col_text();
        for (int d = 3; k == l->selected && d <= 4; d++)
            rect(b, x - d, y - d, x + THUMB_W - 1 + d, y + THUMB_H + 19 + d, colour);
        textprintf_centre_ex(b, font, x + THUMB_W / 2, y + THUMB_H + 8, colour, -1, "%s",
                             m ? m->name.c_str() : "Nouvelle carte vide");
    }
    textprintf_centre_ex(b, font, 400, 532, col_text(), -1,
                         "Flèches, clic ou nom tapé : choisir   Entrée : prendre   Échap : annuler"
                         "   (page %d / %d)",
                         first / LIST_PAGE + 1, std::max(pages, 1));
    textprintf_centre_ex(b, e->font, 400, 552, l->error.empty() ? col_yellow() : col_red(), -1,
                         "%s", l->error.empty() ? l->typed.c_str() : l->error.c_str());
    show(b);
}

// Typing a name goes to the first map that starts with it, or else holds it.
static void list_find(map_list *l) {
    l->error.clear();
    for (int pass = 0; pass < 2; pass++)
        for (int k = 0; k < list_size(l); k++) {
            const edit_listed *m = list_map(l, k);
            size_t at = m ? m->name.find(l->typed) : std::string::npos;
            if (at == 0 || (pass == 1 && at != std::string::npos)) {
                l->selected = k;
                return;
            }
        }
    l->error = "Aucune carte ne porte « " + l->typed + " ».";
}

// The entry a click fell on, -1 for none.
static int list_clicked(const map_list *l, int px, int py) {
    int first = l->selected / LIST_PAGE * LIST_PAGE;
    for (int k = first; k < std::min(list_size(l), first + LIST_PAGE); k++) {
        int x, y;
        entry_place(k, &x, &y);
        if (px >= x && px < x + THUMB_W && py >= y && py < y + THUMB_H + 20) return k;
    }
    return -1;
}

// One key of the list: false when it is left (*taken says whether an entry was taken).
static bool list_key(map_list *l, bool *taken) {
    int k = readkey(), ascii = k & 0xff, scan = k >> 8, n = list_size(l);
    static const int moves[][2] = {{KEY_LEFT, -1},          {KEY_RIGHT, 1},
                                   {KEY_UP, -LIST_COLUMNS}, {KEY_DOWN, LIST_COLUMNS},
                                   {KEY_PGUP, -LIST_PAGE},  {KEY_PGDN, LIST_PAGE}};
    for (const auto &move : moves)
        if (scan == move[0]) {
            l->selected = std::min(n - 1, std::max(0, l->selected + move[1]));
            l->typed.clear();
            l->error.clear();
        }
    if (scan == KEY_ESC || scan == KEY_ENTER || scan == KEY_ENTER_PAD) {
        *taken = scan != KEY_ESC && n > 0;
        return false;
    }
    if (scan == KEY_BACKSPACE || (ascii >= 32 && ascii < 127 && scan != KEY_SPACE)) {
        std::string refusal;
        type_name(ascii, scan, &l->typed, &refusal);
        l->error = refusal;
        if (refusal.empty() && !l->typed.empty()) list_find(l);
    }
    return true;
}

// Chooses a map: 1 with its name in *chosen, 0 for a blank map (New), -1 when cancelled.
static int choose_map(editor *e, bool for_new, std::string *chosen) {
    map_list l;
    l.maps = edit_list_maps();
    l.with_empty = for_new;
    for (const edit_listed &m : l.maps)
        l.thumbnails.push_back(small_thumbnail(m.thumbnail));
    if (!for_new && l.maps.empty()) l.error = "Aucune carte dans maps/.";
    clear_keybuf();
    pressed_buttons = 0;
    bool taken = false, going = true;
    const char *title =
        for_new ? "Nouvelle carte : vide, ou la copie d'une carte" : "Ouvrir une carte";
    while (going) {
        draw_list(e, &l, title);
        while (!keypressed() && !pressed_buttons)
            rest(5);
        if (keypressed()) {
            going = list_key(&l, &taken);
            continue;
        }
        int clicked = list_clicked(&l, pressed_x, pressed_y);
        pressed_buttons = 0;
        if (clicked >= 0) l.selected = clicked, taken = true, going = false;
    }
    for (BITMAP *b : l.thumbnails)
        if (b) destroy_bitmap(b);
    const edit_listed *m = list_map(&l, l.selected);
    if (!taken) return -1;
    if (m) *chosen = m->name;
    return m ? 1 : 0;
}

// ---------------------------------------------------------------- actions

static void opened(editor *e) {
    pressed_buttons = 0;
    e->saved = edit_grid{e->map.w, e->map.h, e->map.cells};
    e->cur_r = e->cur_c = 1;
    e->message.clear();
    place_map(e);
    make_pieces(e);
}

static void say(editor *e, const std::string &text, bool as_message) {
    e->message = text;
    if (as_message && show_message("%s", text.c_str())) show_mouse(screen);
}

// Ctrl+S saves under the map's name, asked for when it has none or is a shipped map's;
// Ctrl+Maj+S always asks. Another map of that name is replaced only when the player says so.
static void save(editor *e, bool new_name) {
    std::string name = e->name, reason;
    if (edit_can_save(&e->map) && (new_name || name.empty() || edit_is_shipped(name))) {
        if (edit_is_shipped(name)) name.clear();
        if (!prompt(e, "Enregistrer sous le nom :", &name)) return;
    }
    bool other = edit_can_save(&e->map) && name != e->file_name && edit_exists(name) &&
                 !edit_is_shipped(name);
    if (other && !ask_yes(e, "Remplacer la carte « " + name + " » ? (O/N)"))
        return say(e, "Rien n'est enregistré : « " + name + " » reste comme elle était.", false);
    if (!edit_save(&e->map, name, e->strip, &reason)) return say(e, reason, true);
    e->name = e->file_name = name;
    e->strip = edit_strip_path(name);
    e->saved = edit_grid{e->map.w, e->map.h, e->map.cells};
    say(e, "Carte enregistrée : " + edit_shown_path(edit_map_path(name)), false);
}

// Ctrl+O opens a map of the list; Ctrl+N starts a blank map or a copy of one, which has no
// name until it is saved.
static void open_or_new(editor *e, bool for_new) {
    std::string name, strip, reason;
    if (!may_drop(e)) return;
    int chosen = choose_map(e, for_new, &name);
    edit_map m;
    if (chosen == 0 && new_map_dialog(e)) {
        opened(e);
        forget_saved(e);
    } else if (chosen == 1 && !edit_open(&m, name, &strip, &reason)) {
        say(e, reason, true);
    } else if (chosen == 1) {
        e->map = m;
        e->strip = strip;
        e->name = e->file_name = for_new ? "" : name;
        opened(e);
        if (for_new) forget_saved(e);
        if (for_new)
            e->message = "Copie de « " + name + " » : Ctrl+S l'enregistre sous un nom nouveau.";
    }
}

static void text_file(editor *e, bool import) {
    std::string name = e->name, reason, path;
    if (import && !may_drop(e)) return;
    if (!prompt(e, import ? "Importer le texte :" : "Exporter en texte :", &name)) return;
    if (!import) {
        if (edit_export_text(&e->map, name, &path, &reason))
            return say(e, "Carte écrite en texte dans " + path, false);
        return say(e, reason, true);
    }
    edit_map imported;
    if (!edit_import_text(&imported, name, &reason)) return say(e, reason, true);
    edit_replace(&e->map, &imported); // Ctrl+Z gives the drawing back
    if (!edit_is_shipped(name)) e->name = name;
    place_map(e);
}

static void resize(editor *e, int scan, bool shrink) {
    int by = shrink ? -1 : 1;
    if (edit_resize(&e->map, scan == KEY_UP ? by : 0, scan == KEY_DOWN ? by : 0,
                    scan == KEY_LEFT ? by : 0, scan == KEY_RIGHT ? by : 0))
        return;
    int max_w, max_h;
    edit_max_size(EDIT_CHECK_SCREEN_W, EDIT_CHECK_SCREEN_H, &max_w, &max_h);
    char text[160];
    snprintf(text, sizeof text, "Taille possible : de %d x %d à %d x %d, pour tenir en %d x %d.",
             EDIT_MIN_SIZE, EDIT_MIN_SIZE, max_w, max_h, EDIT_CHECK_SCREEN_W, EDIT_CHECK_SCREEN_H);
    e->message = text;
}

// Plays the map in the game's own loop with the player's settings, then comes back.
static void play(editor *e) {
    if (!edit_can_save(&e->map))
        return say(e, "Le jeu refuse cette carte : " + edit_status_line(&e->map), false);
    std::vector<uint8_t> bytes = edit_bytes(&e->map), tiles;
    bool read = read_file_bytes(e->strip.c_str(), &tiles);
    std::string trial_map = save_file(TRIAL_MAP), trial_strip = save_file(TRIAL_STRIP);
    file_to_write trial[] = {{trial_strip.c_str(), tiles.data(), tiles.size()},
                             {trial_map.c_str(), bytes.data(), bytes.size()}};
    if (!read || !write_files_whole(trial, 2))
        return say(e,
                   "Impossible de préparer la partie dans " + edit_shown_path(save_folder()) + ".",
                   true);
    show_mouse(nullptr);
    bool moded = set_game_mode(e->cfg);
    int32_t failed = 0;
    if (moded) {
        if (is_windowed_mode()) set_window_title("[ Cindermaze ]");
        apply_volumes(e->cfg);
        failed = jeu(e->cfg, trial_map.c_str());
    }
    remove(trial_map.c_str());
    remove(trial_strip.c_str());
    // A failed set-up has shut the library down: nothing more can be shown.
    if (failed == JEU_FAILED) exit(1);
    if (!set_mode_or_window(GFX_AUTODETECT_FULLSCREEN, 800, 600))
        fatal_exit("Impossible de revenir dans le mode graphique 800 x 600.");
    set_window_title("Cindermaze - editeur de cartes");
    show_mouse(screen);
    clear_keybuf();
    pressed_buttons = 0;
    if (!moded) say(e, "Le mode graphique des options est refusé.", false);
}

// ---------------------------------------------------------------- input

static int piece_key(int ascii, int scan) {
    for (int p = 0; p < PIECE_COUNT; p++)
        if (scan == KEY_1 + p || scan == KEY_1_PAD + p || ascii == '1' + p ||
            ascii == (uint8_t)AZERTY_DIGITS[p])
            return p;
    return -1;
}

static bool is_arrow(int scan) {
    return scan == KEY_UP || scan == KEY_DOWN || scan == KEY_LEFT || scan == KEY_RIGHT;
}

static void on_key(editor *e) {
    int k = readkey(), ascii = k & 0xff, scan = k >> 8;
    // Ctrl+letter comes as its control code; the Ctrl flag alone may lag behind.
    bool ctrl = ctrl_held();
    bool quit = scan == KEY_ESC;
    if (!quit) e->quit_asked = false;
    e->message.clear();
    int p = piece_key(ascii, scan);
    if (scan == KEY_F5) {
        play(e);
    } else if (ascii == 26 || (ctrl && scan == KEY_Z)) {
        edit_undo(&e->map);
    } else if (ascii == 25 || (ctrl && scan == KEY_Y)) {
        edit_redo(&e->map);
    } else if (ascii == 19 || (ctrl && scan == KEY_S)) {
        save(e, shift_held());
    } else if (ascii == 5 || (ctrl && scan == KEY_E)) {
        text_file(e, false);
    } else if ((ascii == 9 && scan != KEY_TAB) || (ctrl && scan == KEY_I)) {
        text_file(e, true);
    } else if (ascii == 15 || (ctrl && scan == KEY_O)) {
        open_or_new(e, false);
    } else if (ascii == 14 || (ctrl && scan == KEY_N)) {
        open_or_new(e, true);
    } else if (p >= 0) {
        e->piece = p;
    } else if (is_arrow(scan) && ctrl) {
        resize(e, scan, shift_held());
    } else if (is_arrow(scan)) {
        e->cur_r += (scan == KEY_DOWN) - (scan == KEY_UP);
        e->cur_c += (scan == KEY_RIGHT) - (scan == KEY_LEFT);
    } else if (scan == KEY_SPACE) {
        edit_paint(&e->map, e->cur_r, e->cur_c, e->piece);
    } else if (scan == KEY_DEL || scan == KEY_BACKSPACE) {
        edit_paint(&e->map, e->cur_r, e->cur_c, PIECE_FLOOR);
    } else if (quit) {
        if (is_saved(e) || e->quit_asked) e->done = true;
        e->quit_asked = true;
        if (!e->done) e->message = "Carte non enregistrée : Échap encore pour quitter quand même.";
    }
    // The cursor stays on the map, whatever its new size.
    e->cur_r = std::min(e->map.h - 1, std::max(0, e->cur_r));
    e->cur_c = std::min(e->map.w - 1, std::max(0, e->cur_c));
}

static void on_mouse_event(int flags) {
    if (!(flags & (MOUSE_FLAG_LEFT_DOWN | MOUSE_FLAG_RIGHT_DOWN))) return;
    pressed_x = mouse_x;
    pressed_y = mouse_y;
    pressed_buttons = (flags & MOUSE_FLAG_LEFT_DOWN) ? 1 : 2;
}
END_OF_STATIC_FUNCTION(on_mouse_event)

static bool cell_at(const editor *e, int x, int y, int *r, int *c) {
    if (x < e->map_x || y < e->map_y) return false;
    *c = (x - e->map_x) / e->cell;
    *r = (y - e->map_y) / e->cell;
    return *r < e->map.h && *c < e->map.w;
}

// Left button paints the chosen piece, right button floor; a drag is one line.
static bool on_mouse(editor *e) {
    int buttons = mouse_b, r, c;
    bool over = cell_at(e, mouse_x, mouse_y, &r, &c);
    int pressed = pressed_buttons, x = pressed_x, y = pressed_y;
    pressed_buttons = 0;
    if (!e->painting && pressed) {
        if (x >= PALETTE_X - 3 && y >= PALETTE_Y && y < PALETTE_Y + PIECE_COUNT * PALETTE_STEP) {
            e->piece = (y - PALETTE_Y) / PALETTE_STEP;
            return true;
        }
        if (!cell_at(e, x, y, &r, &c)) return false;
        e->painting = true;
        e->paint_piece = pressed == 1 ? e->piece : PIECE_FLOOR;
        e->message.clear();
        // With Shift held, the drag spans a rectangle filled when the button is let go.
        e->filling = shift_held();
        e->fill_r = r, e->fill_c = c;
        if (!e->filling) edit_stroke_begin(&e->map);
        if (!e->filling) edit_stroke_to(&e->map, r, c, e->paint_piece);
        e->cur_r = r, e->cur_c = c;
        return true;
    }
    if (e->painting && !(buttons & 3)) {
        e->painting = false;
        if (e->filling)
            edit_fill(&e->map, e->fill_r, e->fill_c, e->cur_r, e->cur_c, e->paint_piece);
        else
            edit_stroke_end(&e->map);
        e->filling = false;
        return true;
    }
    if (e->painting && over && (r != e->cur_r || c != e->cur_c)) {
        if (!e->filling) edit_stroke_to(&e->map, r, c, e->paint_piece);
        e->cur_r = r, e->cur_c = c;
        return true;
    }
    return false;
}

// ---------------------------------------------------------------- entry

int editeur(config *cfg, const char *name) {
    editor e{};
    e.cfg = cfg;
    const char *problem = nullptr;
    e.data = load_bktype(&e.font, &problem);
    if (!e.data) {
        fatal_error(problem);
        return 1;
    }
    e.buffer = create_bitmap(SCREEN_W, SCREEN_H);
    set_window_title("Cindermaze - editeur de cartes");
    LOCK_VARIABLE(pressed_buttons);
    LOCK_VARIABLE(pressed_x);
    LOCK_VARIABLE(pressed_y);
    LOCK_FUNCTION(on_mouse_event);
    mouse_callback = on_mouse_event;
    if (name) {
        std::string reason;
        if (!edit_open(&e.map, name, &e.strip, &reason)) {
            mouse_callback = nullptr;
            show_message("%s", reason.c_str());
            destroy_bitmap(e.buffer);
            unload_datafile(e.data);
            return 1;
        }
        e.name = e.file_name = name;
    } else if (!new_map_dialog(&e)) {
        e.done = true;
    }
    if (!e.done) opened(&e);
    if (!name) forget_saved(&e);
    show_mouse(screen);
    bool dirty = true;
    while (!e.done) {
        if (dirty) place_map(&e), redraw(&e);
        dirty = false;
        if (keypressed()) {
            on_key(&e);
            dirty = true;
        } else if (on_mouse(&e)) {
            dirty = true;
        } else {
            rest(2);
        }
    }
    mouse_callback = nullptr;
    show_mouse(nullptr);
    free_pieces(&e);
    destroy_bitmap(e.buffer);
    unload_datafile(e.data);
    return 0;
}
