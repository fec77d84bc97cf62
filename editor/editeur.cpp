// The map editor's screens: the new-map dialog, the drawing screen, the name prompt,
// and a map played in the game's own loop.
#include "editeur.h"

#include "bktype.h"
#include "cindermaze.h"
#include "config.h"
#include "editeur_files.h"
#include "files.h"
#include "jeu.h"
#include "maps.h"
#include "message.h"
#include "volume.h"

#include <allegro.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

// Layout of the 800 x 600 drawing screen.
static const int AREA_X = 8, AREA_Y = 8, AREA_W = 632, AREA_H = 552;
static const int PALETTE_X = 648, PALETTE_Y = 8, PALETTE_STEP = 44;
static const int STATUS_Y = 568;
// The map played with F5, beside the settings, removed after the game.
static const char *const TRIAL_MAP = "save/essai-editeur.czm";
static const char *const TRIAL_STRIP = "save/essai-editeur.bmp";
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
    std::vector<uint8_t> saved_cells; // the cells as last saved or opened
    std::string name, strip, message;
    int piece, cur_r, cur_c;
    int cell, map_x, map_y; // the map's cell size and top-left corner on screen
    bool painting, quit_asked, done;
    int paint_piece;
};

static int col_red() {
    return makecol(255, 0, 0);
}
static int col_yellow() {
    return makecol(255, 255, 0);
}
static int col_text() {
    return makecol(230, 220, 200);
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
    // The check's marks, then the keyboard cursor over them.
    for (int r = 0; r < e->map.h; r++)
        for (int c = 0; c < e->map.w; c++)
            if (edit_marked(&e->map, r, c))
                frame_rect(b, e->map_x + c * s, e->map_y + r * s, s, col_red());
    frame_rect(b, e->map_x + e->cur_c * s, e->map_y + e->cur_r * s, s, col_yellow());
}

static const char *const HELP[] = {
    "Clic : poser",    "Clic droit : sol",  "Glisser : ligne",   "1 a 7 : piece",
    "Fleches, Espace", "Suppr : sol",       "Ctrl+Z : annuler",  "Ctrl+Y : refaire",
    "Ctrl+S : sauver", "F5 : jouer",        "Ctrl+E : exporter", "Ctrl+I : importer",
    "Ctrl+O : ouvrir", "Ctrl+N : nouvelle", "Echap : quitter",
};

static void draw_side(editor *e, BITMAP *b) {
    for (int p = 0; p < PIECE_COUNT; p++) {
        int y = PALETTE_Y + p * PALETTE_STEP;
        if (p == e->piece) rect(b, PALETTE_X - 3, y - 3, 797, y + 35, col_yellow());
        blit(e->pieces[p], b, 0, 0, PALETTE_X, y, 32, 32);
        textprintf_ex(b, font, PALETTE_X, y, col_text(), makecol(0, 0, 0), "%d", p + 1);
        textprintf_ex(b, e->font, PALETTE_X + 40, y + 5, col_text(), -1, "%s", PIECE_NAMES[p]);
    }
    int y = PALETTE_Y + PIECE_COUNT * PALETTE_STEP + 4;
    std::string shown = e->name.empty() ? "(sans nom)" : e->name;
    textprintf_ex(b, font, PALETTE_X, y, col_yellow(), -1, "%s  %d x %d", shown.c_str(), e->map.w,
                  e->map.h);
    for (unsigned k = 0; k < sizeof HELP / sizeof *HELP; k++)
        textprintf_ex(b, font, PALETTE_X, y + 16 + k * 12, col_text(), -1, "%s", HELP[k]);
}

static void draw_status(editor *e, BITMAP *b) {
    bool fine = e->map.problems.empty();
    std::string line = e->message.empty() ? edit_status_line(&e->map) : e->message;
    int colour = !e->message.empty() ? col_yellow() : fine ? makecol(120, 220, 120) : col_red();
    textprintf_ex(b, e->font, AREA_X, STATUS_Y, colour, -1, "%s", line.c_str());
}

static void show(BITMAP *b) {
    scare_mouse();
    blit(b, screen, 0, 0, 0, 0, b->w, b->h);
    unscare_mouse();
}

static void redraw(editor *e) {
    clear_to_color(e->buffer, makecol(24, 20, 28));
    draw_map(e, e->buffer);
    draw_side(e, e->buffer);
    draw_status(e, e->buffer);
    show(e->buffer);
}

// ---------------------------------------------------------------- name prompt

// Asks for a line of text on the status line; false when cancelled with Esc.
static bool prompt(editor *e, const char *question, std::string *answer) {
    clear_keybuf();
    for (;;) {
        rectfill(e->buffer, 0, STATUS_Y - 4, e->buffer->w - 1, e->buffer->h - 1, makecol(0, 0, 0));
        textprintf_ex(e->buffer, e->font, AREA_X, STATUS_Y, col_yellow(), -1, "%s %s_", question,
                      answer->c_str());
        show(e->buffer);
        int k = readkey(), ascii = k & 0xff, scan = k >> 8;
        if (scan == KEY_ESC) return false;
        if (scan == KEY_ENTER || scan == KEY_ENTER_PAD) return true;
        if (scan == KEY_BACKSPACE && !answer->empty()) answer->pop_back();
        if (ascii >= 32 && ascii < 127 && answer->size() < 40) *answer += (char)ascii;
    }
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
    clear_to_color(b, makecol(24, 20, 28));
    textprintf_centre_ex(b, e->font, 400, 40, col_yellow(), -1, "Nouvelle carte");
    int max_w, max_h;
    edit_max_size(1024, 768, &max_w, &max_h);
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
                         "Haut/Bas : champ   Gauche/Droite : valeur   Entree : creer   Echap : "
                         "annuler");
    textprintf_centre_ex(b, e->font, 400, 470, col_red(), -1, "%s", f->error.c_str());
    show(b);
}

static void form_step(new_map_form *f, int dir, int themes) {
    int max_w, max_h;
    edit_max_size(1024, 768, &max_w, &max_h);
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
        f->error = "Nom : lettres, chiffres, - et _ seulement.";
    else if (edit_is_shipped(f->name))
        f->error = "C'est le nom d'une carte du jeu : choisissez-en un autre.";
    else if (edit_new(&e->map, f->w, f->h)) {
        e->name = f->name;
        e->saved_cells.clear();
        return true;
    }
    return false;
}

// The dialog; true when a map was made (name, size and theme taken).
static bool new_map_dialog(editor *e) {
    std::vector<edit_theme> themes = edit_themes();
    new_map_form f;
    f.name = e->name;
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
        } else if (scan == KEY_BACKSPACE && f.field == 0 && !f.name.empty()) {
            f.name.pop_back();
        } else if ((scan == KEY_ENTER || scan == KEY_ENTER_PAD) &&
                   form_done(e, &f, !themes.empty())) {
            return true;
        } else if (f.field == 0 && ascii > 32 && ascii < 127 && f.name.size() < 40) {
            f.name += (char)ascii;
        }
    }
}

// ---------------------------------------------------------------- actions

static void opened(editor *e) {
    pressed_buttons = 0;
    e->saved_cells = e->map.cells;
    e->cur_r = e->cur_c = 1;
    e->message.clear();
    place_map(e);
    make_pieces(e);
}

static void say(editor *e, const std::string &text, bool as_message) {
    e->message = text;
    if (as_message && show_message("%s", text.c_str())) show_mouse(screen);
}

static void save(editor *e) {
    std::string name = e->name, reason;
    if (edit_can_save(&e->map) && (name.empty() || edit_is_shipped(name))) {
        // A shipped map is never overwritten: the player gives another name.
        name.clear();
        if (!prompt(e, "Enregistrer sous le nom :", &name)) return;
    }
    if (!edit_save(&e->map, name, e->strip, &reason)) return say(e, reason, true);
    e->name = name;
    e->strip = "maps/" + name + ".bmp";
    e->saved_cells = e->map.cells;
    say(e, "Carte enregistrée : maps/" + name + ".czm", false);
}

static void open_other(editor *e) {
    std::string name, reason;
    if (!prompt(e, "Ouvrir la carte :", &name)) return;
    edit_map m;
    if (!edit_name_ok(name) || !edit_open(&m, name, &reason))
        return say(e, reason.empty() ? "Nom de carte invalide." : reason, true);
    e->map = m;
    e->name = name;
    e->strip = "maps/" + name + ".bmp";
    opened(e);
}

static void text_file(editor *e, bool import) {
    std::string name = e->name, reason;
    if (!prompt(e, import ? "Importer le texte :" : "Exporter en texte :", &name)) return;
    if (!import) {
        if (edit_export_text(&e->map, name, &reason))
            return say(e, "Carte écrite en texte dans " + name + ".txt", false);
        return say(e, reason, true);
    }
    if (!edit_import_text(&e->map, name, &reason)) return say(e, reason, true);
    if (!edit_is_shipped(name)) e->name = name;
    opened(e);
    e->saved_cells.clear(); // not saved as a map yet
}

// Plays the map in the game's own loop with the player's settings, then comes back.
static void play(editor *e) {
    if (!edit_can_save(&e->map))
        return say(e, "Le jeu refuse cette carte : " + edit_status_line(&e->map), false);
    std::vector<uint8_t> bytes = edit_bytes(&e->map), tiles;
    bool read = read_file_bytes(e->strip.c_str(), &tiles);
    file_to_write trial[] = {{TRIAL_STRIP, tiles.data(), tiles.size()},
                             {TRIAL_MAP, bytes.data(), bytes.size()}};
    if (!read || !write_files_whole(trial, 2))
        return say(e, "Impossible de préparer la partie dans save/.", true);
    show_mouse(nullptr);
    bool moded = set_game_mode(e->cfg);
    int32_t failed = 0;
    if (moded) {
        if (is_windowed_mode()) set_window_title("[ Cindermaze ]");
        apply_volumes(e->cfg);
        failed = jeu(e->cfg, TRIAL_MAP);
    }
    remove(TRIAL_MAP);
    remove(TRIAL_STRIP);
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

static void on_key(editor *e) {
    int k = readkey(), ascii = k & 0xff, scan = k >> 8;
    // Ctrl+letter comes as its control code; the Ctrl flag alone may lag behind.
    bool ctrl = key_shifts & KB_CTRL_FLAG;
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
        save(e);
    } else if (ascii == 5 || (ctrl && scan == KEY_E)) {
        text_file(e, false);
    } else if ((ascii == 9 && scan != KEY_TAB) || (ctrl && scan == KEY_I)) {
        text_file(e, true);
    } else if (ascii == 15 || (ctrl && scan == KEY_O)) {
        open_other(e);
    } else if (ascii == 14 || (ctrl && scan == KEY_N)) {
        if (new_map_dialog(e)) opened(e), e->saved_cells.clear();
    } else if (p >= 0) {
        e->piece = p;
    } else if (scan == KEY_UP || scan == KEY_DOWN || scan == KEY_LEFT || scan == KEY_RIGHT) {
        e->cur_r += (scan == KEY_DOWN) - (scan == KEY_UP);
        e->cur_c += (scan == KEY_RIGHT) - (scan == KEY_LEFT);
        e->cur_r = std::min(e->map.h - 1, std::max(0, e->cur_r));
        e->cur_c = std::min(e->map.w - 1, std::max(0, e->cur_c));
    } else if (scan == KEY_SPACE) {
        edit_paint(&e->map, e->cur_r, e->cur_c, e->piece);
    } else if (scan == KEY_DEL || scan == KEY_BACKSPACE) {
        edit_paint(&e->map, e->cur_r, e->cur_c, PIECE_FLOOR);
    } else if (quit) {
        if (e->map.cells == e->saved_cells || e->quit_asked) e->done = true;
        e->quit_asked = true;
        if (!e->done) e->message = "Carte non enregistrée : Echap encore pour quitter quand même.";
    }
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
        edit_stroke_begin(&e->map);
        edit_stroke_to(&e->map, r, c, e->paint_piece);
        e->cur_r = r, e->cur_c = c;
        return true;
    }
    if (e->painting && !(buttons & 3)) {
        e->painting = false;
        edit_stroke_end(&e->map);
        return true;
    }
    if (e->painting && over && (r != e->map.last_r || c != e->map.last_c)) {
        edit_stroke_to(&e->map, r, c, e->paint_piece);
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
    if (name) {
        std::string reason;
        if (!edit_name_ok(name) || !edit_open(&e.map, name, &reason)) {
            show_message("%s", reason.empty() ? "Nom de carte invalide." : reason.c_str());
            destroy_bitmap(e.buffer);
            unload_datafile(e.data);
            return 1;
        }
        e.name = name;
        e.strip = std::string("maps/") + name + ".bmp";
    } else if (!new_map_dialog(&e)) {
        e.done = true;
    }
    if (!e.done) opened(&e);
    if (!name) e.saved_cells.clear();
    LOCK_VARIABLE(pressed_buttons);
    LOCK_VARIABLE(pressed_x);
    LOCK_VARIABLE(pressed_y);
    LOCK_FUNCTION(on_mouse_event);
    mouse_callback = on_mouse_event;
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
