// makefont: rasterises the head-up display font (DejaVu Sans Bold) into Allegro's
// font grid picture: an 8-bit image, glyphs in colour 1 on 0, boxes separated by 255,
// one glyph for every byte from 32 to 255 read as Windows-1252.
//   makefont OUT.bmp [PIXEL_SIZE]
// The build hands the picture to `dat`, which stores it as object 0 of bktype.dat.
#include "cp1252.h"
#include "glyphs.h"

#include <allegro.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <vector>

int main(int argc, char **argv) {
    if (argc < 2) {
        fprintf(stderr, "usage: makefont OUT.bmp [PIXEL_SIZE]\n");
        return 2;
    }
    int size = argc > 2 ? atoi(argv[2]) : 18;
    font_face *face = open_face(font_path(true), size);
    if (!face) {
        fprintf(stderr, "makefont: cannot open %s\n", font_path(true).c_str());
        return 1;
    }
    const int first = 32, last = 255, per_row = 16;
    const int ascent = face_ascent(face), height = ascent + face_descent(face);
    std::vector<glyph> glyphs(last - first + 1);
    glyph space;
    render_glyph(face, ' ', true, &space);
    for (int b = first; b <= last; b++) {
        uint32_t cp = cp1252_to_unicode(b);
        glyph &g = glyphs[b - first];
        if (cp == 0 || cp == 0xa0 || !render_glyph(face, cp == 0xad ? '-' : cp, true, &g))
            g = space;
        if (g.advance < 1) g.advance = space.advance;
        g.advance += 1; // one pixel between letters reads better at this size
    }
    close_face(face);

    // Lay the glyph boxes out in rows, each box framed by colour 255.
    int rows = (int)(glyphs.size() + per_row - 1) / per_row, width = 0;
    for (int r = 0; r < rows; r++) {
        int w = 1;
        for (int k = 0; k < per_row && r * per_row + k < (int)glyphs.size(); k++)
            w += glyphs[r * per_row + k].advance + 1;
        if (w > width) width = w;
    }
    install_allegro(SYSTEM_NONE, &errno, atexit);
    set_color_depth(8);
    BITMAP *grid = create_bitmap_ex(8, width, 1 + rows * (height + 1));
    clear_to_color(grid, 255);
    for (int r = 0; r < rows; r++) {
        int x = 1, y = 1 + r * (height + 1);
        for (int k = 0; k < per_row && r * per_row + k < (int)glyphs.size(); k++) {
            const glyph &g = glyphs[r * per_row + k];
            rectfill(grid, x, y, x + g.advance - 1, y + height - 1, 0);
            for (int j = 0; j < g.cov.h; j++)
                for (int i = 0; i < g.cov.w; i++) {
                    int px = x + g.left + i, py = y + ascent - g.top + j;
                    if (g.cov.at(i, j) && px >= x && px < x + g.advance && py >= y &&
                        py < y + height)
                        putpixel(grid, px, py, 1);
                }
            x += g.advance + 1;
        }
    }
    PALETTE pal;
    for (int i = 0; i < 256; i++)
        pal[i].r = pal[i].g = pal[i].b = 0;
    pal[1].r = pal[1].g = pal[1].b = 63;
    pal[255].r = pal[255].g = 63;
    if (save_bitmap(argv[1], grid, pal) != 0) {
        fprintf(stderr, "makefont: cannot write %s\n", argv[1]);
        return 1;
    }
    destroy_bitmap(grid);

    // Read it back the way the datafile tool will, and make sure every byte has its glyph.
    FONT *f = load_bitmap_font(argv[1], nullptr, nullptr);
    if (!f || get_font_range_begin(f, 0) != first || get_font_range_end(f, -1) != last) {
        fprintf(stderr, "makefont: the grid does not read back as a font of bytes %d to %d\n",
                first, last);
        return 1;
    }
    destroy_font(f);
    return 0;
}
