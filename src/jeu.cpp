// One game: the frame loop with its ticks, the pause, and the end screen.
#include "jeu.h"

#include "affichage.h"
#include "cindermaze.h"
#include "config.h"
#include "hud.h"
#include "manette.h"
#include "records.h"
#include "ressources.h"
#include "rules.h"
#include "sons.h"
#include "temps.h"

#include <allegro.h>
#include <cstring>

// A key counts only when its scancode is one of Allegro's.
static bool key_held(int32_t scancode) {
    return scancode > 0 && scancode < KEY_MAX && key[scancode] != 0;
}

// The actions held now, from a fresh look at the keyboard and the pad: an action is held
// when its key or its button is.
static void read_keys(const config *cfg, game_keys *keys) {
    poll_keyboard();
    poll_pad();
    keys->up = key_held(cfg->key_up);
    keys->down = key_held(cfg->key_down);
    keys->left = key_held(cfg->key_left);
    keys->right = key_held(cfg->key_right);
    keys->bomb = key_held(cfg->key_bomb);
    keys->quit = key_held(cfg->key_quit);
    keys->pause = key_held(cfg->key_pause);
    pad_state pad;
    read_pad(&pad);
    add_pad_actions(&pad, current_pad_bindings(), keys);
}

static bool pause_held(const config *cfg) {
    game_keys keys;
    read_keys(cfg, &keys);
    return keys.pause;
}

// Waits until the pause key is up; true when it was down at all.
static bool wait_pause_key_up(const config *cfg) {
    bool was_down = false;
    while (pause_held(cfg)) {
        was_down = true;
        rest(1);
    }
    return was_down;
}

// Under page flipping and triple buffering the screen's first page is not always the
// one shown, so the pause text goes onto the page presented last.
static BITMAP *pause_surface(const game_session *s) {
    if (s->cfg->display_method == DISPLAY_PAGE_FLIP ||
        s->cfg->display_method == DISPLAY_TRIPLE_BUFFER)
        return s->ps.current;
    return screen;
}

// A press and release of the pause key stops the game until the next press and release.
// The clocks stop from the first press until the game resumes: a pause moves nothing and
// costs no time.
static void pause_check(game_session *s) {
    if (!pause_held(s->cfg)) return;
    hold_timers(true);
    wait_pause_key_up(s->cfg);
    draw_pause_text(pause_surface(s), &s->ps, SCREEN_W, SCREEN_H);
    // The close box leaves the pause too; the next tick ends the game.
    while (!close_button_clicked() && !wait_pause_key_up(s->cfg))
        rest(1);
    hold_timers(false);
}

// The frame rate shown: the frames drawn in the last whole second of the seconds counter.
static void count_frame(play_screen *ps) {
    int32_t now = sec_counter.load();
    if (ps->last_second != now) {
        ps->fps = ps->frames_this_second;
        ps->frames_this_second = 0;
        ps->last_second = now;
    }
    ps->frames_this_second++;
}

static void draw_frame(game_session *s) {
    play_screen *ps = &s->ps;
    prepare_affichage(s->cfg, &ps->current, ps->page1, ps->page2, ps->page3);
    draw_game_frame(ps->current, ps, &s->g);
    affiche(s->cfg, ps->current);
}

// Where the keys of each tick come from: the keyboard, recorded as the player plays, or a
// run played back.
struct key_source {
    const game_run *replay;
    run_reader reader;
    run_recorder recorder;
    game_run recorded;
};

static void tick_keys(const config *cfg, key_source *source, game_keys *keys) {
    read_keys(cfg, keys);
    // The window's close box ends the game as the quit key does. Only a tick takes the
    // click: the pause check, which also reads the keys, would throw it away.
    if (take_close_button()) keys->quit = true;
    if (!source->replay) {
        record_tick(&source->recorder, keys);
        return;
    }
    // The run moves the player; Escape, the quit key or the close box stop it.
    bool stop = keys->quit || key_held(KEY_ESC);
    if (!next_run_keys(&source->reader, keys)) *keys = game_keys{};
    keys->quit = stop;
}

static void play(game_session *s, key_source *source) {
    game *g = &s->g;
    while (g->end_state == END_NONE) {
        // Every tick owed, back to back; the tick that ends the game forgives the rest.
        while (game_time.load() > 0) {
            game_keys keys;
            tick_keys(s->cfg, source, &keys);
            bool ended = advance_game(g, &keys);
            game_time.fetch_sub(1);
            if (ended) game_time.store(0);
        }
        count_frame(&s->ps);
        pause_check(s);
        draw_frame(s);
    }
}

static void show_end_screen(game_session *s) {
    play_screen *ps = &s->ps;
    game *g = &s->g;
    if (g->end_state == END_QUIT) return; // the last frame of play stays on screen
    prepare_affichage(s->cfg, &ps->current, ps->page1, ps->page2, ps->page3);
    draw_end_screen(ps->current, ps, g);
    if (g->end_state == END_WON)
        play_effect(s->cfg, g->samples[SAMPLE_FIN_GAGNE]);
    else if (g->end_state == END_DEAD || g->end_state == END_TIME_UP)
        play_effect(s->cfg, g->samples[SAMPLE_FIN_PERD]);
    affiche(s->cfg, ps->current);
}

// A win played by the player is offered as the map's record, its run checked first.
static void offer_win(game_session *s, const char *map_name, key_source *source) {
    // A trial of the map editor (its map kept outside maps/) is no record.
    if (source->replay || s->g.end_state != END_WON || strncmp(map_name, "maps/", 5) != 0) return;
    finish_recording(&source->recorder);
    s->ps.new_record = offer_record(map_name, &source->recorded, s->g.ticks);
}

static int32_t play_game(config *cfg, const char *map_name, const game_run *replay) {
    game_session *s = nullptr;
    int32_t opened = open_game(cfg, map_name, replay, &s);
    if (opened != JEU_PLAYED) return opened;
    key_source source{};
    source.replay = replay;
    if (replay)
        start_reading(&source.reader, replay);
    else
        start_recording(&source.recorder, &source.recorded, s->g.seed, cfg->time_limit);
    play(s, &source);
    offer_win(s, map_name, &source);
    show_end_screen(s);
    close_game(s);
    // A click on the close box during the end screen closes the game, which has ended.
    take_close_button();
    return JEU_PLAYED;
}

int32_t jeu(config *cfg, const char *map_name) {
    return play_game(cfg, map_name, nullptr);
}

int32_t jeu_replay(config *cfg, const char *map_name, const game_run *run) {
    // The run's time limit holds, whatever the options say now.
    config played = *cfg;
    played.time_limit = run->time_limit;
    return play_game(&played, map_name, run);
}
