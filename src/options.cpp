// The options dialog (Allegro GUI): display, game time and volumes, saved on request.
#include "options.h"

#include "cindermaze.h"
#include "config.h"
#include "guifont.h"

#include <allegro.h>

#include <atomic>
#include <chrono>
#include <cstring>

static char *listbox_strings(const char *const *strings, int size, int index, int *list_size) {
    if (index < 0) {
        *list_size = size;
        return NULL;
    }
    return index < size ? (char *)strings[index] : NULL;
}

static char *listbox_getter(int index, int *list_size) {
    static const char *const strings[] = {"Double buffering", "Page flipping", "Triple buffering"};
    return listbox_strings(strings, 3, index, list_size);
}

static char *listbox_getter2(int index, int *list_size) {
    static const char *const strings[] = {"640 x 480", "800 x 600", "1024 x 768"};
    return listbox_strings(strings, 3, index, list_size);
}

static char *listbox_getter3(int index, int *list_size) {
    static const char *const strings[] = {"Plein écran", "Fenêtre", "Safe mode"};
    return listbox_strings(strings, 3, index, list_size);
}

static char *listbox_getter4(int index, int *list_size) {
    static const char *const strings[] = {
        "30 secondes", "1 minute",       "90 secondes", "2 minutes",      "2 minutes 30\"",
        "3 minutes",   "3 minutes 30\"", "4 minutes",   "4 minutes 30\"", "5 minutes"};
    return listbox_strings(strings, 10, index, list_size);
}

static char the_text0[] =
    "Si cette option est cochée, le jeu tentera de synchroniser la sortie vidéo. A ne cocher que "
    "si vous avez un clignotement ou un autre problème, car cela ralenti beaucoup l'affichage.";
static char the_text1[] =
    "3 différentes méthodes d'affichage, plus ou moins efficaces selon les configurations. Le "
    "double buffering est la méthode la plus rapide et qui fonctionne avec le maximum de drivers "
    "vidéos, mais aussi celle qui provoque le plus de scintillement. Si vous avez une "
    "configuration qui vous le permet, je vous suggère le page flipping ou le triple buffering.";
static char the_text2[] =
    "Plus la résolution est grande, plus l'affichage est lent. Donc, si vous avez un fps en "
    "dessous de 30, baissez la resolution. Cela dit, les très grandes maps peuvent ne pas tenir "
    "dans l'écran (ou sans être gênées par l'affichage des données du jeu) avec une petite "
    "résolution.";
static char the_text3[] =
    "Le mode plein écran est plus rapide et plus sûr que le mode fenêtré. De plus, avec "
    "certaines cartes graphiques, le page flipping et le triple buffering ne fonctionnent qu'en "
    "plein écran, affichant un ecran noir en mode fenêtré. Le safe mode n'est à utiliser que si "
    "vous rencontrez des problèmes avec les autres modes.";
static char the_text4[] =
    "Le volume de fond est celui de la musique de fond du jeu, qui utilise un driver MIDI pour "
    "jouer les fichiers au format MIDI. Les effets (explosions, bruitages, voix, etc) sont eux "
    "au format WAVE. Si vous rencontrez des problèmes avec un des 2 types de sons, essayez de "
    "mettre le volume correspondant a 0.";
static char the_text5[] =
    "Vous pouver faire défiler les textes avec les flèches haut et bas tout en survolant la zone "
    "de texte avec la souris. Referez-vous a la description de chaque champ pour trouver la "
    "configuration idéale ou résoudre un problème. Au cas où, voici la configuration la plus "
    "sûre : Double Buffering + 640 x 480 + Safe Mode + volumes a 0. En dernier recours, lancez "
    "le jeu en safe mode depuis le menu Démarrer (ou l'exécutable avec l'option --safemode) et "
    "essayez les différents drivers proposés.";

// Set by the save button of the showing in progress.
static char saved = 0;

// The confirmation box takes one key per button: y answers "Oui", and so does o, the
// letter its underline shows, turned into a y while the box waits.
static int o_answers_yes(int key, int *) {
    return key == 'o' ? 'y' : key == 'O' ? 'Y' : key;
}

static int quit() {
    int (*keys)(int, int *) = keyboard_ucallback;
    keyboard_ucallback = o_answers_yes;
    int answer =
        alert("Quitter sans enregistrer la configuration ?", NULL, NULL, "&Oui", "&Non", 'y', 'n');
    keyboard_ucallback = keys;
    return answer == 1 ? D_CLOSE : D_O_K;
}

static int exit_n_save_config() {
    saved = 1;
    return D_CLOSE;
}

static int my_button_proc(int msg, DIALOG *d, int c) {
    int result = d_button_proc(msg, d, c);
    if (result == D_CLOSE && d->dp3) return ((int (*)())d->dp3)();
    return result;
}

// The selected entry of a list, white on black across the row: Allegro's own highlight has
// a dotted frame over the top and bottom rows of the letters.
static void draw_selected_entry(DIALOG *d) {
    int size = 0;
    ((char *(*)(int, int *))d->dp)(-1, &size);
    int height = text_height(font), rows = (d->h - 4) / height, row = d->d1 - d->d2;
    if (d->d1 < 0 || d->d1 >= size || row < 0 || row >= rows) return;
    const char *text = ((char *(*)(int, int *))d->dp)(d->d1, &size);
    // Allegro leaves room for the scroll bar when the list is longer than its box.
    int right = size > rows ? d->x + d->w - 15 : d->x + d->w - 3;
    int y = d->y + 2 + row * height;
    BITMAP *bmp = gui_get_screen();
    rectfill(bmp, d->x + 2, y, right, y + height - 1, d->fg);
    textout_ex(bmp, font, text, d->x + 10, y, makecol(255, 255, 255), -1);
}

// Allegro's text list, with a readable selected entry. Printable keys are left to the
// buttons' shortcuts: a list under the pointer would take 's' for "Safe mode".
static int list_proc(int msg, DIALOG *d, int c) {
    if ((msg == MSG_CHAR && (c & 0xff) >= ' ') || (msg == MSG_UCHAR && c >= ' ')) return D_O_K;
    int result = d_text_list_proc(msg, d, c);
    if (msg == MSG_DRAW) draw_selected_entry(d);
    return result;
}

DIALOG the_dialog[] = {
    {d_clear_proc, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, NULL, NULL, NULL},
    {d_check_proc, 160, 20, 200, 10, 0, 0, 0, 0, 1, 0, (void *)" (double buffering)", NULL, NULL},
    {list_proc, 160, 50, 160, 30, 0, 0, 0, 0, 0, 0, (void *)listbox_getter, NULL, NULL},
    {list_proc, 160, 100, 160, 30, 0, 0, 0, 0, 1, 0, (void *)listbox_getter2, NULL, NULL},
    {list_proc, 160, 150, 160, 30, 0, 0, 0, 0, 0, 0, (void *)listbox_getter3, NULL, NULL},
    {list_proc, 160, 230, 160, 50, 0, 0, 0, 0, 3, 0, (void *)listbox_getter4, NULL, NULL},
    {d_slider_proc, 160, 290, 160, 12, 0, 0, 0, 0, 255, 100, NULL, NULL, NULL},
    {d_slider_proc, 160, 310, 160, 12, 0, 0, 0, 0, 255, 100, NULL, NULL, NULL},
    {d_textbox_proc, 380, 20, 250, 25, 0, 0, 0, 0, 0, 0, the_text0, NULL, NULL},
    {d_textbox_proc, 380, 50, 250, 48, 0, 0, 0, 0, 0, 0, the_text1, NULL, NULL},
    {d_textbox_proc, 380, 100, 250, 48, 0, 0, 0, 0, 0, 0, the_text2, NULL, NULL},
    {d_textbox_proc, 380, 150, 250, 48, 0, 0, 0, 0, 0, 0, the_text3, NULL, NULL},
    {d_textbox_proc, 380, 290, 250, 48, 0, 0, 0, 0, 0, 0, the_text4, NULL, NULL},
    {d_textbox_proc, 0, 370, 630, 62, 0, 0, 0, 0, 0, 0, the_text5, NULL, NULL},
    {d_ctext_proc, 120, 0, 0, 0, 0, 0, 0, 0, 0, 0, (void *)"Options d'affichage :", NULL, NULL},
    {d_text_proc, 0, 20, 0, 0, 0, 0, 0, 0, 0, 0, (void *)"Synchro verticale", NULL, NULL},
    {d_text_proc, 0, 50, 0, 0, 0, 0, 0, 0, 0, 0, (void *)"Méthode d'affichage", NULL, NULL},
    {d_text_proc, 0, 100, 0, 0, 0, 0, 0, 0, 0, 0, (void *)"Résolution", NULL, NULL},
    {d_text_proc, 0, 150, 0, 0, 0, 0, 0, 0, 0, 0, (void *)"Fenêtrage", NULL, NULL},
    {d_ctext_proc, 120, 200, 0, 0, 0, 0, 0, 0, 0, 0, (void *)"Options de jeu :", NULL, NULL},
    {d_text_proc, 0, 230, 0, 0, 0, 0, 0, 0, 0, 0, (void *)"Temps de jeu", NULL, NULL},
    {d_text_proc, 0, 290, 0, 0, 0, 0, 0, 0, 0, 0, (void *)"Volume fond", NULL, NULL},
    {d_text_proc, 0, 310, 0, 0, 0, 0, 0, 0, 0, 0, (void *)"Volume effets", NULL, NULL},
    {d_ctext_proc, 120, 350, 0, 0, 0, 0, 0, 0, 0, 0, (void *)"A LIRE :", NULL, NULL},
    {my_button_proc, 0, 450, 160, 20, 0, 0, 'q', D_EXIT, 0, 0, (void *)"&Quitter", NULL,
     (void *)quit},
    {my_button_proc, 170, 450, 200, 20, 0, 0, 's', D_EXIT, 0, 0, (void *)"&Sauvegarder et Quitter",
     NULL, (void *)exit_n_save_config},
    {NULL, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, NULL, NULL, NULL},
};

enum {
    OPT_CLEAR = 0,
    OPT_VSYNC = 1,
    OPT_METHOD = 2,
    OPT_RESOLUTION = 3,
    OPT_WINDOW = 4,
    OPT_TIME = 5,
    OPT_MUSIC = 6,
    OPT_EFFECTS = 7,
};

static int clamp(int value, int low, int high) {
    return value < low ? low : value > high ? high : value;
}

void fill_options_dialog(const config *cfg) {
    the_dialog[OPT_VSYNC].flags = cfg->vsync == 1 ? D_SELECTED : 0;
    the_dialog[OPT_METHOD].d1 = clamp(cfg->display_method, 0, 2);
    the_dialog[OPT_RESOLUTION].d1 = cfg->screen_w == 1024 ? 2 : cfg->screen_w == 800 ? 1 : 0;
    the_dialog[OPT_WINDOW].d1 = cfg->gfx_card == GFX_SAFE                  ? 2
                                : cfg->gfx_card == GFX_AUTODETECT_WINDOWED ? 1
                                                                           : 0;
    // Unsigned, as the file may hold a negative time: it then shows as the longest one.
    unsigned half_minutes = (unsigned)cfg->time_limit / 30;
    the_dialog[OPT_TIME].d1 = half_minutes == 0 ? 0 : (int)MIN(half_minutes - 1, 9u);
    the_dialog[OPT_MUSIC].d2 = clamp(cfg->music_volume, 0, 255);
    the_dialog[OPT_EFFECTS].d2 = clamp(cfg->effects_volume, 0, 255);
}

void save_options_dialog(config *cfg) {
    int window = the_dialog[OPT_WINDOW].d1;
    int card = window == 2   ? GFX_SAFE
               : window == 1 ? GFX_AUTODETECT_WINDOWED
                             : GFX_AUTODETECT_FULLSCREEN;
    int resolution = the_dialog[OPT_RESOLUTION].d1;
    int width = resolution == 2 ? 1024 : resolution == 1 ? 800 : 640;
    int height = resolution == 2 ? 768 : resolution == 1 ? 600 : 480;
    int vsync = (the_dialog[OPT_VSYNC].flags & D_SELECTED) ? 1 : 0;
    make_config(cfg, card, the_dialog[OPT_METHOD].d1, vsync, the_dialog[OPT_MUSIC].d2,
                the_dialog[OPT_EFFECTS].d2, width, height, (the_dialog[OPT_TIME].d1 + 1) * 30,
                cfg->key_up, cfg->key_down, cfg->key_left, cfg->key_right, cfg->key_bomb,
                cfg->key_quit, cfg->key_pause);
}

// Black text on light grey; the labels take the screen's background colour.
static void colour_options_dialog() {
    gui_fg_color = makecol(0, 0, 0);
    gui_mg_color = makecol(128, 128, 128);
    gui_bg_color = makecol(200, 200, 200);
    set_dialog_color(the_dialog, gui_fg_color, gui_bg_color);
    the_dialog[OPT_CLEAR].bg = gui_bg_color;
    for (DIALOG *d = &the_dialog[OPT_CLEAR + 1]; d->proc; d++)
        if (d->proc == d_text_proc || d->proc == d_ctext_proc || d->proc == d_rtext_proc)
            d->bg = the_dialog[OPT_CLEAR].bg;
}

// The dialog is drawn in memory and what changed is put on the screen. Drawn straight on a
// DirectDraw screen, each of its hundreds of lines and boxes is a surface update of its own,
// and under Wine (which paces such updates) the 640 x 480 screen stayed black for seconds.
//
// The pointer is drawn here too, over what is put on the screen, and Allegro's own pointer
// stays hidden. The GUI takes Allegro's pointer off the screen around each of its drawings,
// even in memory, and Allegro's pointer is moved by the timer thread: each taking off waits
// for that thread, which waits for the X server. On a loaded machine one answer of the
// dialog took up to a second to reach the screen that way.
static BITMAP *dialog_picture = NULL;
static BITMAP *shown_picture = NULL;         // what was last put on the screen
static int dialog_input[4];                  // pointer x, y, wheel and buttons when last looked at
static std::atomic<bool> key_event(false);   // set by the keyboard driver's thread
static std::atomic<bool> screen_lost(false); // set when the program comes back to the front
static int turns_since_input = 0;
static int pointer_x = 0, pointer_y = 0; // where the pointer was drawn
static double look_time = 0;

// The GUI answers an input within two of its turns (a list takes a key on one turn and
// draws itself on the next): for LOOK_TURNS turns after an input the picture is looked at
// on every turn, however long a turn takes. Otherwise it is looked at every LOOK_IDLE
// seconds, which costs a comparison of the whole picture.
static const int LOOK_TURNS = 4;
static const double LOOK_IDLE = 0.02;

static void note_key_event(int) {
    key_event = true;
}

static void note_screen_lost() {
    screen_lost = true;
}

static double seconds_now() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// The top-left corner of the pointer's picture for the pointer's place now.
static void pointer_corner(int *x, int *y) {
    *x = mouse_x - mouse_x_focus;
    *y = mouse_y - mouse_y_focus;
}

static void draw_pointer() {
    pointer_corner(&pointer_x, &pointer_y);
    if (mouse_sprite) draw_sprite(screen, mouse_sprite, pointer_x, pointer_y);
}

// Puts a part of the picture on the screen, and the pointer back over it when it lies there.
static void show_area(int x, int y, int w, int h) {
    blit(dialog_picture, shown_picture, x, y, x, y, w, h);
    blit(dialog_picture, screen, x, y, x, y, w, h);
    if (mouse_sprite && pointer_x < x + w && x < pointer_x + mouse_sprite->w && pointer_y < y + h &&
        y < pointer_y + mouse_sprite->h)
        draw_pointer();
}

// The smallest rectangle holding every pixel that differs from what the screen shows;
// false when none does.
static bool changed_area(int *x0, int *y0, int *x1, int *y1) {
    int bytes_per_pixel = (bitmap_color_depth(dialog_picture) + 7) / 8;
    int row_bytes = dialog_picture->w * bytes_per_pixel;
    *x0 = dialog_picture->w, *y0 = dialog_picture->h, *x1 = -1, *y1 = -1;
    for (int y = 0; y < dialog_picture->h; y++) {
        const uint8_t *now = dialog_picture->line[y], *shown = shown_picture->line[y];
        if (memcmp(now, shown, row_bytes) == 0) continue;
        int first = 0, last = row_bytes - 1;
        while (now[first] == shown[first])
            first++;
        while (now[last] == shown[last])
            last--;
        *x0 = MIN(*x0, first / bytes_per_pixel), *x1 = MAX(*x1, last / bytes_per_pixel);
        *y0 = MIN(*y0, y), *y1 = y;
    }
    return *y1 >= 0;
}

// Puts on the screen what the GUI drew since the last look, and the pointer where it is now.
static void show_changes() {
    double now = seconds_now();
    if (turns_since_input >= LOOK_TURNS && now - look_time < LOOK_IDLE && !screen_lost) return;
    look_time = now;
    int x0, y0, x1, y1;
    if (screen_lost.exchange(false))
        show_area(0, 0, dialog_picture->w, dialog_picture->h);
    else if (changed_area(&x0, &y0, &x1, &y1))
        show_area(x0, y0, x1 - x0 + 1, y1 - y0 + 1);
    int x, y;
    pointer_corner(&x, &y);
    if (mouse_sprite && (x != pointer_x || y != pointer_y)) {
        blit(shown_picture, screen, pointer_x, pointer_y, pointer_x, pointer_y, mouse_sprite->w,
             mouse_sprite->h);
        draw_pointer();
    }
}

// The GUI asks for the buttons at every turn of its loops (the dialog's, a drag's, the
// confirmation box's), between its drawings: each turn shows what the last one drew.
static int buttons_showing_dialog() {
    int input[4] = {mouse_x, mouse_y, mouse_z, mouse_b};
    bool input_seen = memcmp(input, dialog_input, sizeof input) != 0 || key_event.exchange(false);
    memcpy(dialog_input, input, sizeof input);
    turns_since_input = input_seen ? 0 : MIN(turns_since_input + 1, LOOK_TURNS);
    show_changes();
    return input[3];
}

// Allegro's do_dialog, with a millisecond's sleep between passes so that the dialog
// does not take a whole processor while it waits for the player. What a pass drew is
// shown before the sleep.
static void run_options_dialog() {
    // Without memory for the pictures, the dialog is drawn straight on the screen under
    // Allegro's pointer.
    dialog_picture = create_bitmap(SCREEN_W, SCREEN_H);
    shown_picture = dialog_picture ? create_bitmap(SCREEN_W, SCREEN_H) : NULL;
    if (shown_picture) {
        clear_bitmap(dialog_picture);
        clear_bitmap(shown_picture);
    } else if (dialog_picture) {
        destroy_bitmap(dialog_picture);
        dialog_picture = NULL;
    }
    int (*buttons)() = gui_mouse_b;
    void (*key_events)(int) = keyboard_lowlevel_callback;
    if (dialog_picture) {
        gui_set_screen(dialog_picture);
        gui_mouse_b = buttons_showing_dialog;
        keyboard_lowlevel_callback = note_key_event;
        set_display_switch_callback(SWITCH_IN, note_screen_lost);
        screen_lost = false; // both pictures start as the new mode's black screen
        turns_since_input = 0;
        pointer_corner(&pointer_x, &pointer_y);
    } else {
        show_mouse(screen);
    }
    DIALOG_PLAYER *player = init_dialog(the_dialog, -1);
    bool open = true;
    while (open) {
        // The window's close box leaves the dialog without saving.
        open = update_dialog(player) && !take_close_button();
        if (dialog_picture) show_changes();
        if (open) rest(1);
    }
    shutdown_dialog(player);
    // The main menu that comes next shows its pointer over its own picture.
    show_mouse(NULL);
    gui_mouse_b = buttons;
    keyboard_lowlevel_callback = key_events;
    remove_display_switch_callback(note_screen_lost);
    gui_set_screen(NULL);
    if (dialog_picture) destroy_bitmap(dialog_picture);
    if (shown_picture) destroy_bitmap(shown_picture);
    dialog_picture = shown_picture = NULL;
}

void gui_config(config *cfg) {
    saved = 0;
    colour_options_dialog();
    fill_options_dialog(cfg);
    position_dialog(the_dialog, 2, 2);
    // The dialog and its confirmation box are drawn in the font with readable accents.
    FONT *builtin = font, *dialog_font = make_dialog_font();
    if (dialog_font) font = dialog_font;
    run_options_dialog();
    font = builtin;
    if (dialog_font) destroy_font(dialog_font);
    if (saved == 1) save_options_dialog(cfg);
}
