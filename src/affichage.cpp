// Display strategies: double buffering, page flipping and triple buffering.
#include "affichage.h"

#include "message.h"
#include "config.h"

#include <allegro.h>

static const char *const TRIPLE_UNSUPPORTED =
    "Triple buffering non supporté ! Essayez en plein écran, si ce n'est pas déjà le cas, ou "
    "choisissez un autre mode vidéo.\nPassage automatique en double buffering pour cette partie.";
static const char *const PAGE_FLIP_UNSUPPORTED =
    "Page flipping non supporté ! Essayez en plein écran, si ce n'est pas déjà le cas, ou "
    "choisissez un autre mode vidéo.\nPassage automatique en double buffering pour cette partie.";
static const char *const VIDEO_PAGES_FAILED =
    "La création des bitmaps vidéo a échoué. Choisissez un autre mode vidéo.";
static const char *const MEMORY_PAGE_FAILED =
    "Double buffering : échec de la création de la bitmap principale.";

static void clear(BITMAP *bmp) {
    clear_bitmap(bmp);
}

// --- Triple buffering: three video pages shown in turn, flips requested ahead.

static void init_triple_buffer(config *cfg, BITMAP **current, BITMAP **page1, BITMAP **page2,
                               BITMAP **page3) {
    if (!(gfx_capabilities & GFX_CAN_TRIPLE_BUFFER)) enable_triple_buffer();
    if (!(gfx_capabilities & GFX_CAN_TRIPLE_BUFFER)) {
        show_message("%s", TRIPLE_UNSUPPORTED);
        cfg->display_method = DISPLAY_DOUBLE_BUFFER;
        return;
    }
    *page1 = create_video_bitmap(SCREEN_W, SCREEN_H);
    *page2 = create_video_bitmap(SCREEN_W, SCREEN_H);
    *page3 = create_video_bitmap(SCREEN_W, SCREEN_H);
    if (!*page1 || !*page2 || !*page3) fatal_exit(VIDEO_PAGES_FAILED);
    *current = *page1;
}

static void next_triple_page(BITMAP **current, BITMAP *page1, BITMAP *page2, BITMAP *page3) {
    if (*current == page1)
        *current = page2;
    else if (*current == page2)
        *current = page3;
    else
        *current = page1;
}

static void show_triple_page(BITMAP *current) {
    release_bitmap(current);
    // At most one flip waits at a time: the page being drawn is never the one shown.
    while (poll_scroll())
        ;
    request_video_bitmap(current);
}

// --- Page flipping: two video pages, the hidden one drawn then shown.

static void init_page_flip(config *cfg, BITMAP **current, BITMAP **page1, BITMAP **page2) {
    *page1 = create_video_bitmap(SCREEN_W, SCREEN_H);
    *page2 = create_video_bitmap(SCREEN_W, SCREEN_H);
    if (!*page1 || !*page2) {
        // A lone first page is of no use: give its video memory back at once.
        if (*page1) destroy_bitmap(*page1);
        if (*page2) destroy_bitmap(*page2);
        *page1 = *page2 = nullptr;
        show_message("%s", PAGE_FLIP_UNSUPPORTED);
        cfg->display_method = DISPLAY_DOUBLE_BUFFER;
        return;
    }
    *current = *page1;
}

static void next_flip_page(BITMAP **current, BITMAP *page1, BITMAP *page2) {
    *current = *current == page1 ? page2 : page1;
}

static void show_flip_page(BITMAP *current) {
    release_bitmap(current);
    show_video_bitmap(current);
}

// --- Double buffering: one memory bitmap copied to the screen.

static void init_double_buffer(config *cfg, BITMAP **current) {
    cfg->display_method = DISPLAY_DOUBLE_BUFFER;
    *current = create_bitmap(SCREEN_W, SCREEN_H);
    if (!*current) fatal_exit(MEMORY_PAGE_FAILED);
}

static void show_memory_page(const config *cfg, BITMAP *current) {
    if (cfg->vsync == 1) vsync();
    blit(current, screen, 0, 0, 0, 0, SCREEN_W, SCREEN_H);
}

// Each step reads the method again, so a fallback lands in double buffering.
void init_affichage(config *cfg, BITMAP **current, BITMAP **page1, BITMAP **page2, BITMAP **page3) {
    if (cfg->display_method == DISPLAY_TRIPLE_BUFFER)
        init_triple_buffer(cfg, current, page1, page2, page3);
    if (cfg->display_method == DISPLAY_PAGE_FLIP) init_page_flip(cfg, current, page1, page2);
    if (cfg->display_method != DISPLAY_PAGE_FLIP && cfg->display_method != DISPLAY_TRIPLE_BUFFER)
        init_double_buffer(cfg, current);
    clear(*current);
}

void prepare_affichage(const config *cfg, BITMAP **current, BITMAP *page1, BITMAP *page2,
                       BITMAP *page3) {
    if (cfg->display_method == DISPLAY_TRIPLE_BUFFER) {
        next_triple_page(current, page1, page2, page3);
        acquire_bitmap(*current);
    } else if (cfg->display_method == DISPLAY_PAGE_FLIP) {
        next_flip_page(current, page1, page2);
        acquire_bitmap(*current);
    }
    clear_bitmap(*current);
}

void affiche(const config *cfg, BITMAP *current) {
    if (cfg->display_method == DISPLAY_TRIPLE_BUFFER)
        show_triple_page(current);
    else if (cfg->display_method == DISPLAY_PAGE_FLIP)
        show_flip_page(current);
    else
        show_memory_page(cfg, current);
}

void deinit_affichage(const config *cfg, BITMAP **current, BITMAP **page1, BITMAP **page2,
                      BITMAP **page3) {
    if (cfg->display_method == DISPLAY_TRIPLE_BUFFER) {
        destroy_bitmap(*page3);
        destroy_bitmap(*page2);
        destroy_bitmap(*page1);
    } else if (cfg->display_method == DISPLAY_PAGE_FLIP) {
        destroy_bitmap(*page2);
        destroy_bitmap(*page1);
    } else {
        destroy_bitmap(*current);
    }
}
