// The options dialog's 8 x 8 font: Allegro's built-in one with the French small letters redrawn.
#pragma once

struct FONT;

// A new font of the bytes 32 to 255 (read as Windows-1252): the built-in font's glyphs,
// whose accented small letters are squeezed into marks that cannot be told apart, with
// those letters redrawn. Null when it could not be made; the caller destroys it.
FONT *make_dialog_font();
