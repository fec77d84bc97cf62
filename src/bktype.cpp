// The font datafile bktype.dat: loaded and checked in one place for every screen.
#include "bktype.h"

#include "message.h"

#include <allegro.h>

static const char *const DATAFILE_FAILED = "Echec du chargement du datafile bktype.dat";
static const char *const FONT_FAILED = "Echec du chargement de la font bktype.";

DATAFILE *load_bktype(FONT **font, const char **problem) {
    DATAFILE *data = load_datafile("bktype.dat");
    if (!data) {
        *problem = DATAFILE_FAILED;
        return nullptr;
    }
    // Object 0 must be a font: any other kind of object would be drawn as one.
    if (data[0].type != DAT_FONT || !data[0].dat) {
        unload_datafile(data);
        *problem = FONT_FAILED;
        return nullptr;
    }
    *font = (FONT *)data[0].dat;
    return data;
}

DATAFILE *load_bktype_or_exit(FONT **font) {
    const char *problem = nullptr;
    DATAFILE *data = load_bktype(font, &problem);
    if (!data) fatal_exit(problem);
    return data;
}
