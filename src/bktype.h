// The font datafile bktype.dat: loaded and checked in one place for every screen.
#pragma once

struct DATAFILE;
struct FONT;

// Loads bktype.dat and its font (object 0). Null when the file is missing or its first
// object is no font; *problem then holds the text to show the player.
DATAFILE *load_bktype(FONT **font, const char **problem);
// The same, a failure being fatal.
DATAFILE *load_bktype_or_exit(FONT **font);
