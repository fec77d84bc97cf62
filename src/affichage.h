// Display strategies: double buffering, page flipping and triple buffering.
#pragma once

#include <cstdint>

struct BITMAP;
struct config;

enum { DISPLAY_DOUBLE_BUFFER = 0, DISPLAY_PAGE_FLIP = 1, DISPLAY_TRIPLE_BUFFER = 2 };

void init_affichage(config *cfg, BITMAP **current, BITMAP **page1, BITMAP **page2, BITMAP **page3);
void prepare_affichage(const config *cfg, BITMAP **current, BITMAP *page1, BITMAP *page2,
                       BITMAP *page3);
void affiche(const config *cfg, BITMAP *current);
void deinit_affichage(const config *cfg, BITMAP **current, BITMAP **page1, BITMAP **page2,
                      BITMAP **page3);
