// Sprite tables: strip images cut into 32-pixel-wide frames.
#pragma once

struct BITMAP;

enum { FRAME_WIDTH = 32 };

// table[k] = strip frame first + k, for k < count. Entries are cleared first, so a
// strip too short for the request leaves null entries (with a warning message).
void load_bitmap_table(BITMAP **table, unsigned first, unsigned count, const char *filename);
// The same from frame 0, then overlay[0] drawn masked over table[0].
void load_bonus_bitmap_table(BITMAP **table, BITMAP **overlay, unsigned count,
                             const char *filename);
// Destroys the first `count` entries, skipping null ones.
void unload_bitmap_table(BITMAP **table, unsigned count);
