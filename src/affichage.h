// Display strategies (double buffering, page flipping, triple buffering) and the
// drawing of the play field.
#pragma once

#include <cstdint>

struct BITMAP;
struct config;
struct obj;

enum { DISPLAY_DOUBLE_BUFFER = 0, DISPLAY_PAGE_FLIP = 1, DISPLAY_TRIPLE_BUFFER = 2 };

void init_affichage(config *cfg, BITMAP **current, BITMAP **page1, BITMAP **page2,
                    BITMAP **page3);
void prepare_affichage(const config *cfg, BITMAP **current, BITMAP *page1, BITMAP *page2,
                       BITMAP *page3);
void affiche(const config *cfg, BITMAP *current);
void deinit_affichage(const config *cfg, BITMAP **current, BITMAP **page1, BITMAP **page2,
                      BITMAP **page3);

// Draws every object of the ring but the walls, the player split around the flames.
void draw_playscreen(obj *head, BITMAP *dest, int32_t ox, int32_t oy);
