// The main menu (four picture buttons over the menu background) and the map chooser.
#include "menu.h"

#include "bktype.h"
#include "cindermaze.h"
#include "message.h"
#include "config.h"
#include "directory.h"
#include "manette.h"
#include "maps.h"
#include "records.h"
#include "save_folder.h"
#include "sons.h"

#include <allegro.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

static const char *const MENU_BITMAPS_FAILED = "Erreur de chargement des bitmaps du menu.";
static const char *const MENU_SOUNDS_FAILED =
    "Impossible de charger les fichiers sons du menu : essayez de désactiver le son.";
static const char *const PREVIEW_FAILED = "Ne peut charger la bitmap 'apperçu par défaut'.";

enum { MENU_BUTTON_COUNT = 4, MENU_QUIT = 3 };

bool mouseover(const int *rect) {
    int x = mouse_x, y = mouse_y;
    return rect[0] <= x && x <= rect[0] + rect[2] && rect[1] <= y && y <= rect[1] + rect[3];
}

// Draws on the screen without leaving a stale picture under the mouse pointer.
static void draw_on_screen(BITMAP *picture, int x, int y) {
    scare_mouse();
    draw_sprite(screen, picture, x, y);
    unscare_mouse();
}

static bool mouse_moved() {
    int dx, dy;
    get_mouse_mickeys(&dx, &dy);
    return dx != 0 || dy != 0;
}

// The mouse starts still in the middle of the screen; moving it there is no move.
static void centre_mouse() {
    disable_hardware_cursor();
    select_mouse_cursor(MOUSE_CURSOR_ARROW);
    position_mouse(SCREEN_W / 2, SCREEN_H / 2);
    show_mouse(screen);
    int dx, dy;
    get_mouse_mickeys(&dx, &dy);
}

static void load_menu_buttons(menu_button buttons[MENU_BUTTON_COUNT]) {
    static const int places[MENU_BUTTON_COUNT][2] = {
        {137, 277}, {139, 340}, {138, 400}, {138, 508}};
    for (int i = 0; i < MENU_BUTTON_COUNT; i++) {
        char name[64];
        snprintf(name, sizeof name, "graphics/b%d_on.bmp", i);
        buttons[i].on = load_bitmap(name, NULL);
        snprintf(name, sizeof name, "graphics/b%d_off.bmp", i);
        buttons[i].off = load_bitmap(name, NULL);
        buttons[i].x = places[i][0];
        buttons[i].y = places[i][1];
    }
    for (int i = 0; i < MENU_BUTTON_COUNT; i++) {
        menu_button *b = &buttons[i];
        if (!b->on || !b->off) fatal_exit(MENU_BITMAPS_FAILED);
        b->h = MAX(b->off->h, b->on->h);
        b->w = MAX(b->off->w, b->on->w);
    }
}

// Loads the named samples in order; any missing one is fatal.
static void load_menu_samples(SAMPLE **samples, const char *const *names, int count) {
    if (!load_samples(samples, names, count)) fatal_exit(MENU_SOUNDS_FAILED);
}

// Selection from the arrow keys: Down wins over Up, one step per press.
static signed char step_selection(signed char selected, bool *held) {
    if (*held) return selected;
    if (menu_key_held(KEY_DOWN)) {
        *held = true;
        return (signed char)((selected + 1) % MENU_BUTTON_COUNT);
    }
    if (menu_key_held(KEY_UP)) {
        *held = true;
        return selected > 0 ? (signed char)(selected - 1) : (signed char)(MENU_BUTTON_COUNT - 1);
    }
    return selected;
}

int menu(const config *cfg) {
    enum { FOCUS, GO, QUIT, SAMPLE_TOTAL };
    static const char *const sample_names[SAMPLE_TOTAL] = {"sounds/focus.wav", "sounds/go.wav",
                                                           "sounds/quit.wav"};
    menu_button buttons[MENU_BUTTON_COUNT];
    SAMPLE *samples[SAMPLE_TOTAL] = {NULL, NULL, NULL};
    bool sound = cfg->effects_volume != 0;

    load_menu_buttons(buttons);
    if (sound) load_menu_samples(samples, sample_names, SAMPLE_TOTAL);
    for (int i = 0; i < MENU_BUTTON_COUNT; i++)
        draw_sprite(screen, buttons[i].off, buttons[i].x, buttons[i].y);
    centre_mouse();
    clear_keybuf();

    signed char selected = -1, drawn = -1, result = -1;
    bool held = false;
    // Enter, Escape or a click still held from the screen before is no choice here: they
    // count once they have all been released.
    bool armed = false;
    while (result == -1) {
        poll_keyboard();
        poll_pad();
        if (!menu_key_held(KEY_ENTER) && !menu_key_held(KEY_ESC) && !(mouse_b & 1)) armed = true;
        if (mouse_moved())
            for (int i = 0; i < MENU_BUTTON_COUNT; i++)
                if (mouseover(&buttons[i].x)) selected = (signed char)i;
        selected = step_selection(selected, &held);
        if (drawn != selected) {
            scare_mouse();
            if (drawn != -1)
                draw_sprite(screen, buttons[drawn].off, buttons[drawn].x, buttons[drawn].y);
            draw_sprite(screen, buttons[selected].on, buttons[selected].x, buttons[selected].y);
            unscare_mouse();
            if (sound) play_effect(cfg, samples[FOCUS]);
        }
        drawn = selected;
        if (armed && (mouse_b & 1) && selected != -1 && mouseover(&buttons[selected].x))
            result = selected;
        if (armed && menu_key_held(KEY_ENTER) && selected != -1) result = selected;
        if ((armed && menu_key_held(KEY_ESC)) || close_button_clicked()) result = MENU_QUIT;
        if (!menu_key_held(KEY_ENTER) && !menu_key_held(KEY_UP) && !menu_key_held(KEY_DOWN) &&
            !(mouse_b & 1))
            held = false;
        // A millisecond's sleep keeps the menu from taking a whole processor.
        rest(1);
    }

    if (sound) {
        play_effect(cfg, samples[result == MENU_QUIT ? QUIT : GO]);
        rest(1000);
        release_samples(samples, SAMPLE_TOTAL);
    }
    for (int i = 0; i < MENU_BUTTON_COUNT; i++) {
        destroy_bitmap(buttons[i].on);
        destroy_bitmap(buttons[i].off);
    }
    clear_keybuf();
    return result;
}

// ---- Map chooser ----

enum { CHOOSER_PREC = 0, CHOOSER_SUIV = 1, CHOOSER_REPLAY = 2, CHOOSER_BUTTON_Y = 555 };

// The small button beside a map's title that plays its record.
enum { REPLAY_BUTTON_W = 30, REPLAY_BUTTON_H = 24 };

// What the chooser knows of a map's record: not looked at yet, none, or its time.
enum : int64_t { RECORD_UNKNOWN = 0, RECORD_NONE = -1 };

struct chooser {
    DATAFILE *datafile;
    FONT *font;
    BITMAP *prec_on, *prec_off, *suiv_on, *suiv_off;
    int prec_button[4];
    int suiv_button[4];
    BITMAP *buffer;
    SAMPLE *focus, *go, *change;
    char **map_files;
    int map_count;
    BITMAP *default_preview;
    BITMAP **thumbnails;
    char **map_titles;
    int64_t *records; // by map: RECORD_UNKNOWN, RECORD_NONE or the record's ticks
    int replay_button[4];
};

static void set_button_rect(int *rect, int x, const BITMAP *on, const BITMAP *off) {
    rect[0] = x;
    rect[1] = CHOOSER_BUTTON_Y;
    rect[2] = MAX(off->w, on->w);
    rect[3] = MAX(off->h, on->h);
}

// The shown name: the map's own, without folder and extension (maps/castle.czm -> castle).
static char *map_title(const char *file) {
    return strdup(map_name_of(file).c_str());
}

static void load_chooser_pictures(chooser *c) {
    c->datafile = load_bktype_or_exit(&c->font);
    c->prec_on = load_bitmap("graphics/prec_on.bmp", NULL);
    c->prec_off = load_bitmap("graphics/prec_off.bmp", NULL);
    c->suiv_on = load_bitmap("graphics/suiv_on.bmp", NULL);
    c->suiv_off = load_bitmap("graphics/suiv_off.bmp", NULL);
    if (!c->prec_on || !c->prec_off || !c->suiv_on || !c->suiv_off) fatal_exit(MENU_BITMAPS_FAILED);
    set_button_rect(c->prec_button, 9, c->prec_on, c->prec_off);
    set_button_rect(c->suiv_button, 614, c->suiv_on, c->suiv_off);
    c->buffer = create_bitmap(SCREEN_W, SCREEN_H);
    if (!c->buffer) fatal_exit("Mémoire insuffisante pour l'écran de choix de la carte.");
}

static void load_chooser_samples(chooser *c, const config *cfg) {
    c->focus = c->go = c->change = NULL;
    if (cfg->effects_volume == 0) return;
    static const char *const names[3] = {"sounds/focus.wav", "sounds/go.wav", "sounds/change.wav"};
    SAMPLE *samples[3];
    load_menu_samples(samples, names, 3);
    c->focus = samples[0];
    c->go = samples[1];
    c->change = samples[2];
}

// The game's maps, then those the player made in a folder of their own (Windows keeps them
// in the application data when the game's folder cannot be written).
static int list_all_maps(char ***files) {
    int count = list_dir_ext("maps", ".czm", files);
    std::string own = player_folder() + "/maps";
    char **more = NULL;
    int extra = own == "./maps" ? 0 : list_dir_ext(own.c_str(), ".czm", &more);
    if (extra == 0) return count;
    char **all = (char **)realloc(count > 0 ? *files : NULL, (count + extra) * sizeof(char *));
    if (!all) fatal_exit("Mémoire insuffisante pour l'écran de choix de la carte.");
    memcpy(all + count, more, extra * sizeof(char *));
    free(more);
    *files = all;
    return count + extra;
}

// Lists the maps and loads every thumbnail once, so stepping never reads the disk.
static void load_chooser_maps(chooser *c) {
    c->map_files = NULL;
    c->map_count = list_all_maps(&c->map_files);
    c->default_preview = load_bitmap("graphics/surprise.bmp", NULL);
    if (!c->default_preview) fatal_exit(PREVIEW_FAILED);
    c->thumbnails = (BITMAP **)calloc(c->map_count > 0 ? c->map_count : 1, sizeof(BITMAP *));
    c->map_titles = (char **)calloc(c->map_count > 0 ? c->map_count : 1, sizeof(char *));
    c->records = (int64_t *)calloc(c->map_count > 0 ? c->map_count : 1, sizeof(int64_t));
    // No button until a record is found.
    c->replay_button[2] = -1;
    if (!c->thumbnails || !c->map_titles || !c->records)
        fatal_exit("Mémoire insuffisante pour l'écran de choix de la carte.");
    for (int i = 0; i < c->map_count; i++) {
        char *thumb = get_map_thumb_filename(c->map_files[i]);
        c->thumbnails[i] = thumb ? load_bitmap(thumb, NULL) : NULL;
        free(thumb);
        c->map_titles[i] = map_title(c->map_files[i]);
    }
}

enum { STEP_NONE, STEP_FORWARD, STEP_BACK, STEP_MISSED };

// The left-hand controls go on to the following map, the right-hand ones go back. A click
// while a button is highlighted is a press even when the pointer has just slipped off it.
static int chooser_step(const int *prec_button, const int *suiv_button, int hovered) {
    if (menu_key_held(KEY_LEFT)) return STEP_FORWARD;
    if (menu_key_held(KEY_RIGHT)) return STEP_BACK;
    if (!(mouse_b & 1) || hovered == -1) return STEP_NONE;
    if (mouseover(prec_button)) return STEP_FORWARD;
    if (mouseover(suiv_button)) return STEP_BACK;
    return STEP_MISSED;
}

static BITMAP *preview_of(const chooser *c, unsigned selected) {
    return c->thumbnails[selected] ? c->thumbnails[selected] : c->default_preview;
}

// The preview, centred: the rectangle mouseover reads, which covers the picture exactly.
static void place_preview(const chooser *c, unsigned selected, int *rect) {
    const BITMAP *preview = preview_of(c, selected);
    rect[0] = (c->buffer->w - preview->w) / 2;
    rect[1] = (c->buffer->h - preview->h) / 2;
    rect[2] = preview->w - 1;
    rect[3] = preview->h - 1;
}

// The record of the map shown, checked once by playing its run (see records.h).
static int64_t chooser_record(chooser *c, unsigned selected) {
    if (c->records[selected] == RECORD_UNKNOWN) {
        record_entry record;
        c->records[selected] =
            find_record(c->map_files[selected], &record) ? (int64_t)record.ticks : RECORD_NONE;
    }
    return c->records[selected];
}

// The replay button stands right of the title, as long as the map has a record.
static void place_replay_button(chooser *c, unsigned selected) {
    const char *title = c->map_titles[selected] ? c->map_titles[selected] : "";
    int *rect = c->replay_button;
    rect[0] = SCREEN_W / 2 + text_length(c->font, title) / 2 + 12;
    rect[1] = CHOOSER_BUTTON_Y;
    rect[2] = c->records[selected] > 0 ? REPLAY_BUTTON_W : -1;
    rect[3] = REPLAY_BUTTON_H;
}

// A framed box with the sign of play in it, yellow under the pointer.
static void draw_replay_button(BITMAP *b, const int *button, bool hovered) {
    if (button[2] < 0) return;
    int colour = hovered ? makecol(255, 255, 0) : makecol(255, 0, 0);
    int x = button[0], y = button[1], w = button[2], h = button[3];
    rectfill(b, x, y, x + w, y + h, makecol(0, 0, 0));
    rect(b, x, y, x + w, y + h, colour);
    triangle(b, x + w / 3, y + 5, x + w / 3, y + h - 5, x + 2 * w / 3 + 2, y + h / 2, colour);
}

// "Record : 42,37 s" or "Pas encore gagnée" under the title.
static void draw_record_line(BITMAP *b, const chooser *c, unsigned selected) {
    std::string line = c->records[selected] > 0
                           ? "Record : " + record_time_text((uint32_t)c->records[selected]) + " s"
                           : "Pas encore gagnée";
    textprintf_centre_ex(b, c->font, SCREEN_W / 2, CHOOSER_BUTTON_Y + text_height(c->font),
                         makecol(255, 255, 0), -1, "%s", line.c_str());
}

// Composes the whole screen in the buffer, then shows it in one copy.
static void draw_chooser(const chooser *c, BITMAP *menu_background, unsigned selected,
                         int hovered) {
    BITMAP *b = c->buffer;
    draw_sprite(b, menu_background, 0, 0);
    draw_sprite(b, hovered == CHOOSER_PREC ? c->prec_on : c->prec_off, 9, CHOOSER_BUTTON_Y);
    draw_sprite(b, hovered == CHOOSER_SUIV ? c->suiv_on : c->suiv_off, 614, CHOOSER_BUTTON_Y);
    int preview[4];
    place_preview(c, selected, preview);
    draw_sprite(b, preview_of(c, selected), preview[0], preview[1]);
    textprintf_centre_ex(b, c->font, SCREEN_W / 2, CHOOSER_BUTTON_Y, makecol(255, 0, 0), -1, "%s",
                         c->map_titles[selected] ? c->map_titles[selected] : "");
    draw_record_line(b, c, selected);
    draw_replay_button(b, c->replay_button, hovered == CHOOSER_REPLAY);
    draw_on_screen(b, 0, 0);
}

// Releases everything but the returned map name.
static void free_chooser(chooser *c, int kept) {
    unload_datafile(c->datafile);
    destroy_bitmap(c->buffer);
    destroy_bitmap(c->prec_on);
    destroy_bitmap(c->prec_off);
    destroy_bitmap(c->suiv_on);
    destroy_bitmap(c->suiv_off);
    destroy_bitmap(c->default_preview);
    for (int i = 0; i < c->map_count; i++) {
        if (c->thumbnails[i]) destroy_bitmap(c->thumbnails[i]);
        free(c->map_titles[i]);
        if (i != kept) free(c->map_files[i]);
    }
    free(c->thumbnails);
    free(c->map_titles);
    free(c->records);
    free(c->map_files);
}

char *menu_map(const config *cfg, BITMAP *menu_background, bool *watch) {
    chooser c{};
    load_chooser_pictures(&c);
    load_chooser_samples(&c, cfg);
    load_chooser_maps(&c);

    unsigned selected = 0, shown_selected = 1;
    int hovered = -1, shown_hovered = -1;
    // The Enter or click that opened the chooser must be released before anything counts.
    bool input_latch = true;
    int outcome = c.map_count > 0 ? -1 : -2;
    unsigned count = (unsigned)c.map_count;
    *watch = false;
    while (outcome == -1) {
        clear_keybuf();
        poll_keyboard();
        poll_pad();
        if (mouse_moved()) {
            hovered = mouseover(c.prec_button)     ? CHOOSER_PREC
                      : mouseover(c.suiv_button)   ? CHOOSER_SUIV
                      : mouseover(c.replay_button) ? CHOOSER_REPLAY
                                                   : -1;
            if (hovered != shown_hovered && hovered != -1 && c.focus) play_effect(cfg, c.focus);
        }
        // A click on the preview starts the map shown, as Enter does.
        int preview[4];
        place_preview(&c, selected, preview);
        if (!input_latch && (mouse_b & 1) && mouseover(preview)) outcome = (int)selected;
        // R, or a click on the button beside the title, watches the map's record.
        bool has_record = c.records[selected] > 0;
        if (!input_latch && has_record &&
            (key[KEY_R] || ((mouse_b & 1) && hovered == CHOOSER_REPLAY))) {
            outcome = (int)selected;
            *watch = true;
        }
        if (!input_latch && outcome == -1) {
            int step = chooser_step(c.prec_button, c.suiv_button, hovered);
            if (step != STEP_NONE) {
                if (step == STEP_FORWARD)
                    selected = (selected + 1) % count;
                else if (step == STEP_BACK)
                    selected = selected == 0 ? count - 1 : selected - 1;
                input_latch = true;
                if (c.change) play_effect(cfg, c.change);
            }
        }
        if (hovered != shown_hovered || selected != shown_selected) {
            chooser_record(&c, selected);
            place_replay_button(&c, selected);
            draw_chooser(&c, menu_background, selected, hovered);
        }
        shown_hovered = hovered;
        shown_selected = selected;
        if ((menu_key_held(KEY_ENTER) || key[KEY_SPACE]) && !input_latch) outcome = (int)selected;
        // Escape goes back to the menu; the close box too, and the program then quits.
        if (menu_key_held(KEY_ESC) || close_button_clicked()) outcome = -2;
        if (!menu_key_held(KEY_ENTER) && !menu_key_held(KEY_LEFT) && !menu_key_held(KEY_RIGHT) &&
            !key[KEY_SPACE] && !key[KEY_R] && !(mouse_b & 1))
            input_latch = false;
        // A millisecond's sleep keeps the chooser from taking a whole processor.
        rest(1);
    }

    char *chosen = outcome >= 0 && outcome < c.map_count ? c.map_files[outcome] : NULL;
    free_chooser(&c, outcome);
    clear_keybuf();
    if (c.go) {
        play_effect(cfg, c.go);
        rest(1000);
        SAMPLE *samples[3] = {c.focus, c.go, c.change};
        release_samples(samples, 3);
    }
    return chosen;
}
