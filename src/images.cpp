// Sprite tables: strip images cut into 32-pixel-wide frames.
#include "images.h"

#include "message.h"

#include <allegro.h>

static const char *const STRIP_MISSING =
    "La création des bitmaps a échoué. Essayez de libérer de la mémoire vive, de prendre une "
    "petite résolution, de choisir le mode d'affichage DOUBLE BUFFER et de désactiver le son.";
static const char *const FRAME_FAILED = "Echec de la création d'une image de jeu.";

void load_bitmap_table(BITMAP **table, unsigned first, unsigned count, const char *filename) {
    // Entries a short strip cannot fill stay null, so nobody draws or frees garbage.
    for (unsigned k = 0; k < count; k++)
        table[k] = nullptr;
    BITMAP *strip = load_bitmap(filename, nullptr);
    if (!strip) {
        show_message("Ne peut charger la bitmap %s", filename);
        fatal_exit(STRIP_MISSING);
    }
    unsigned width = (unsigned)strip->w;
    if (count * FRAME_WIDTH > width - first * FRAME_WIDTH) {
        unsigned whole = width / FRAME_WIDTH;
        count = whole > first ? whole - first : 0;
        show_message("load_bitmap_table : size error : %s %d %d", filename, (int)first, (int)count);
    }
    for (unsigned k = 0; k < count; k++) {
        table[k] = create_bitmap(FRAME_WIDTH, strip->h);
        if (!table[k]) fatal_exit(FRAME_FAILED);
        // Frames past the strip's right edge stay blank (transparent).
        clear_to_color(table[k], bitmap_mask_color(table[k]));
        blit(strip, table[k], (first + k) * FRAME_WIDTH, 0, 0, 0, FRAME_WIDTH, strip->h);
    }
    destroy_bitmap(strip);
}

void load_bonus_bitmap_table(BITMAP **table, BITMAP **overlay, unsigned count,
                             const char *filename) {
    load_bitmap_table(table, 0, count, filename);
    if (count > 0 && table[0] && overlay && overlay[0]) draw_sprite(table[0], overlay[0], 0, 0);
}

void unload_bitmap_table(BITMAP **table, unsigned count) {
    for (unsigned i = 0; i < count; i++)
        if (table[i]) destroy_bitmap(table[i]);
}
