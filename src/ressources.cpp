// Loading and releasing everything one game needs: font, pictures, sounds, map, objects, timers.
#include "ressources.h"

#include "affichage.h"
#include "bktype.h"
#include "message.h"
#include "config.h"
#include "directory.h"
#include "images.h"
#include "jeu.h"
#include "maps.h"
#include "objets.h"
#include "sons.h"
#include "temps.h"

#include <allegro.h>
#include <cstdlib>
#include <ctime>

static const char *const TIMER_ICON_FAILED = "Echec du chargement du bitmap graphic/timer.bmp";
static const char *const ICONS_FAILED = "Echec de création des bitmap 'bombe' et 'diamant'";
static const char *const END_PICTURES_FAILED =
    "Echec du chargement des bitmaps graphic/ecran_fin_*.bmp";
static const char *const MUSIC_FAILED =
    "Impossible de charger le fichier son 'musique de fond' : essayez de désactiver le son.";
static const char *const EFFECTS_FAILED =
    "Impossible de charger les fichiers sons 'effets' : essayez de désactiver le son.";
static const char *const MAP_FAILED =
    "Echec du chargement de la map. Essayez de choisir un autre map.";
static const char *const OBJECTS_FAILED =
    "La création des objets a échoué. Essayez de libérer de la mémoire vive, de prendre une "
    "petite résolution, de choisir le mode d'affichage DOUBLE BUFFER et de désactiver le son.";
static const char *const FIELD_FAILED = "Echec de la creation de la bitmap \"copie d'écran\".";
static const char *const TIMERS_FAILED = "Echec du lancement des timers";

static const char *const SAMPLE_FILES[SAMPLE_COUNT] = {
    "sounds/drop.wav",      "sounds/bonus.wav",     "sounds/diamant.wav",
    "sounds/explosion.wav", "sounds/fin_gagne.wav", "sounds/fin_perd.wav",
};

// The map image: floor, wall, then the block and its destruction steps (two at least).
static const unsigned MIN_MAP_FRAMES = 4;

// Closing waits, in milliseconds, by the way the game ended.
static const int QUIT_WAIT = 500;
static const int WON_WAIT = 4000;
static const int OTHER_WAIT = 6500;

static void clear(BITMAP *bmp) {
    clear_bitmap(bmp);
}

// Set-up stops at its first failure: the library is shut down and jeu returns 1.
static int32_t setup_failed(const char *text) {
    fatal_error(text);
    return 1;
}

// --- Set-up

static int32_t load_hud(game_session *s) {
    play_screen *ps = &s->ps;
    const char *problem = nullptr;
    s->datafile = load_bktype(&ps->hud_font, &problem);
    if (!s->datafile) return setup_failed(problem);
    ps->timer_icon = load_bitmap("graphics/timer.bmp", nullptr);
    if (!ps->timer_icon) return setup_failed(TIMER_ICON_FAILED);
    ps->bomb_icon = create_bitmap(32, 32);
    ps->diamond_icon = create_bitmap(32, 32);
    if (!ps->bomb_icon || !ps->diamond_icon) return setup_failed(ICONS_FAILED);
    clear_bitmap(ps->bomb_icon);
    clear_bitmap(ps->diamond_icon);
    place_hud(ps, SCREEN_W);
    ps->win_screen = load_bitmap("graphics/fin_gagne.bmp", nullptr);
    ps->lose_screen = ps->win_screen ? load_bitmap("graphics/fin_perd.bmp", nullptr) : nullptr;
    if (!ps->win_screen || !ps->lose_screen) return setup_failed(END_PICTURES_FAILED);
    return 0;
}

// One piece of the music directory, at random (the C library's generator, never the
// game's: whether music plays changes nothing in the game); none when there is none.
static int32_t load_music(game_session *s) {
    char **files = nullptr;
    int count = list_dir_ext("music", ".mid", &files);
    if (s->cfg->music_volume != 0 && count > 0)
        s->ps.music = load_midi(files[(unsigned)rand() % (unsigned)count]);
    bool failed = s->cfg->music_volume != 0 && count > 0 && !s->ps.music;
    free_file_list(files, count);
    return failed ? setup_failed(MUSIC_FAILED) : 0;
}

static int32_t load_effects(game_session *s) {
    if (s->cfg->effects_volume == 0) return 0;
    if (!load_samples(s->samples, SAMPLE_FILES, SAMPLE_COUNT)) return setup_failed(EFFECTS_FAILED);
    return 0;
}

// Floor, wall and block tables from the map's own image of `frames` frames.
static int32_t load_map_tables(game_session *s, unsigned frames) {
    game_tables *t = &s->t;
    load_bitmap_table(t->floor, 0, 1, t->image_name);
    load_bitmap_table(t->wall, 1, 1, t->image_name);
    t->block_count = frames - 2;
    t->blocks = (BITMAP **)calloc(t->block_count, sizeof(BITMAP *));
    if (!t->blocks) return setup_failed(OBJECTS_FAILED);
    load_bitmap_table(t->blocks, 2, t->block_count, t->image_name);
    return 0;
}

static void load_sprite_tables(game_tables *t) {
    load_bonus_bitmap_table(t->bonus, t->blocks, 8, "graphics/bonus.bmp");
    for (unsigned facing = 0; facing < 4; facing++)
        load_bitmap_table(t->player[facing], 4 * facing, 4, "graphics/player1.bmp");
    load_bitmap_table(t->bomb, 0, 4, "graphics/bombs1.bmp");
    load_bitmap_table(t->super_bomb, 4, 4, "graphics/bombs1.bmp");
    load_bitmap_table(t->diamond, 0, 3, "graphics/diamond.bmp");
    load_bitmap_table(t->monster, 0, 2, "graphics/monster.bmp");
    for (unsigned arm = 0; arm < 4; arm++)
        load_bitmap_table(t->explo_dir[arm], 4 * arm, 4, "graphics/explo_dir.bmp");
    for (unsigned part = 0; part < 3; part++)
        load_bitmap_table(t->explo_ctr[part], 4 * part, 4, "graphics/explo_ctr.bmp");
}

// Hands the tables and samples to the rules' record.
static void attach_tables(game_session *s) {
    game *g = &s->g;
    game_tables *t = &s->t;
    g->wall_sprites = t->wall;
    g->block_sprites = t->blocks;
    g->bonus_sprites = t->bonus;
    for (int facing = 0; facing < 4; facing++)
        g->player_sprites[facing] = t->player[facing];
    g->bomb_sprites = t->bomb;
    g->super_bomb_sprites = t->super_bomb;
    g->diamond_sprites = t->diamond;
    g->monster_sprites = t->monster;
    g->flame_sprites[FLAME_PIC_CENTRE] = t->explo_ctr[0];
    g->flame_sprites[FLAME_PIC_END_UP] = t->explo_dir[0];
    g->flame_sprites[FLAME_PIC_END_RIGHT] = t->explo_dir[1];
    g->flame_sprites[FLAME_PIC_END_DOWN] = t->explo_dir[2];
    g->flame_sprites[FLAME_PIC_END_LEFT] = t->explo_dir[3];
    g->flame_sprites[FLAME_PIC_MIDDLE_H] = t->explo_ctr[2];
    g->flame_sprites[FLAME_PIC_MIDDLE_V] = t->explo_ctr[1];
    for (int i = 0; i < SAMPLE_COUNT; i++)
        g->samples[i] = s->samples[i];
}

static void compose_icons(game_session *s) {
    if (s->t.diamond[0]) draw_sprite(s->ps.diamond_icon, s->t.diamond[0], 0, 0);
    if (s->t.bomb[0]) draw_sprite(s->ps.bomb_icon, s->t.bomb[0], 0, 0);
}

// Floor and walls of the whole map, drawn once; a map too big for the screen ends the
// game before it starts.
static int32_t make_background(game_session *s) {
    play_screen *ps = &s->ps;
    const map *m = s->g.map;
    // A field that cannot be shown is never drawn: a 255 x 255 map would take 266 MB.
    if (place_field(ps, m->width * CELL_PIXELS, m->height * CELL_PIXELS, SCREEN_W, SCREEN_H)) {
        s->g.end_state = END_TOO_BIG;
        return 0;
    }
    ps->field_bitmap = create_bitmap(m->width * CELL_PIXELS, m->height * CELL_PIXELS);
    if (!ps->field_bitmap) return setup_failed(FIELD_FAILED);
    clear(ps->field_bitmap);
    for (int r = 0; r < m->height; r++)
        for (int c = 0; c < m->width; c++) {
            BITMAP *tile = m->cells[r][c] == CELL_WALL ? s->t.wall[0] : s->t.floor[0];
            if (tile) draw_sprite(ps->field_bitmap, tile, c * CELL_PIXELS, r * CELL_PIXELS);
        }
    ps->background = get_rle_sprite(ps->field_bitmap);
    if (!ps->background) return setup_failed(FIELD_FAILED);
    return 0;
}

// A new game's seed, from the clock and the C library's generator (seeded at start-up
// and moved on by every game), so that two games started in one second differ.
static uint32_t new_game_seed() {
    uint32_t seed = (uint32_t)time(nullptr) * 2654435761u;
    for (int i = 0; i < 3; i++)
        seed = (seed << 11 | seed >> 21) ^ (uint32_t)rand();
    return seed;
}

static int32_t set_up(game_session *s, map *m, unsigned map_frames, const game_run *replay) {
    s->ps.line_height = text_height(font);
    // The rules' record starts here: its animation tables need the block frame count.
    s->g.map = m;
    if (load_hud(s) || load_music(s) || load_effects(s)) return 1;
    if (load_map_tables(s, map_frames)) return 1;
    s->ps.replaying = replay != nullptr;
    init_game_state(&s->g, s->cfg, m, s->t.block_count, replay ? replay->seed : new_game_seed());
    load_sprite_tables(&s->t);
    attach_tables(s);
    compose_icons(s);
    if (create_map_objects(&s->g)) return setup_failed(OBJECTS_FAILED);
    if (make_background(s)) return 1;
    // The display comes once everything is loaded: a message shown meanwhile leaves a full
    // screen for the time of its box, and video pages do not live through that.
    init_affichage(s->cfg, &s->ps.current, &s->ps.page1, &s->ps.page2, &s->ps.page3);
    if (init_timer()) return setup_failed(TIMERS_FAILED);
    if (s->cfg->music_volume != 0 && s->ps.music) play_midi(s->ps.music, TRUE);
    return 0;
}

// The map file and its picture strip (floor, wall and two block steps at least: fewer
// would divide the destruction time by zero), or null.
static map *load_playable_map(const char *map_name, char **image_name, unsigned *frames) {
    *image_name = get_map_image_filename(map_name);
    *frames = map_image_frames(*image_name);
    return *frames >= MIN_MAP_FRAMES ? load_map(map_name) : nullptr;
}

int32_t open_game(config *cfg, const char *map_name, const game_run *replay,
                  game_session **session) {
    // The map and its strip are read first, so that a map the player may replace by
    // another (one made without its strip, say) costs nothing to give up.
    char *image_name = nullptr;
    unsigned frames = 0;
    map *m = load_playable_map(map_name, &image_name, &frames);
    if (!m) {
        free(image_name);
        show_message("%s", MAP_FAILED);
        return JEU_MAP_REFUSED;
    }
    game_session *s = (game_session *)calloc(1, sizeof(game_session));
    if (!s) {
        free(image_name);
        free_map(m);
        return setup_failed(OBJECTS_FAILED);
    }
    s->cfg = cfg;
    s->t.image_name = image_name;
    if (set_up(s, m, frames, replay)) return JEU_FAILED;
    *session = s;
    return JEU_PLAYED;
}

// --- Tear-down

static void unload_tables(game_tables *t) {
    unload_bitmap_table(t->floor, 1);
    unload_bitmap_table(t->wall, 1);
    unload_bitmap_table(t->blocks, t->block_count);
    for (int facing = 0; facing < 4; facing++)
        unload_bitmap_table(t->player[facing], 4);
    unload_bitmap_table(t->bomb, 4);
    unload_bitmap_table(t->super_bomb, 4);
    unload_bitmap_table(t->diamond, 3);
    unload_bitmap_table(t->monster, 2);
    for (int arm = 0; arm < 4; arm++)
        unload_bitmap_table(t->explo_dir[arm], 4);
    for (int part = 0; part < 3; part++)
        unload_bitmap_table(t->explo_ctr[part], 4);
    unload_bitmap_table(t->bonus, 8);
    free(t->blocks);
    free(t->image_name);
}

static void release_pictures(play_screen *ps) {
    if (ps->background) destroy_rle_sprite(ps->background);
    destroy_bitmap(ps->timer_icon);
    destroy_bitmap(ps->bomb_icon);
    destroy_bitmap(ps->diamond_icon);
    destroy_bitmap(ps->field_bitmap);
    destroy_bitmap(ps->win_screen);
    destroy_bitmap(ps->lose_screen);
}

static int closing_wait(uint8_t end_state) {
    if (end_state == END_QUIT) return QUIT_WAIT;
    return end_state == END_WON ? WON_WAIT : OTHER_WAIT;
}

static void tear_down(game_session *s) {
    if (s->ps.music) {
        stop_midi();
        destroy_midi(s->ps.music);
    }
    unload_tables(&s->t);
    release_pictures(&s->ps);
    unload_datafile(s->datafile);
    free_game_objects(&s->g);
    free_map(s->g.map);
    // The end screen stays up, and its sound plays, during the wait.
    rest(closing_wait(s->g.end_state));
    deinit_affichage(s->cfg, &s->ps.current, &s->ps.page1, &s->ps.page2, &s->ps.page3);
    if (s->cfg->effects_volume != 0) release_samples(s->samples, SAMPLE_COUNT);
    deinit_timer();
    clear_keybuf();
}

void close_game(game_session *s) {
    tear_down(s);
    free(s);
}
