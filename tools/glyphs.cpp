// Text rasterised with FreeType from a system font.
#include "glyphs.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cstdio>
#include <cstdlib>

struct font_face {
    FT_Library lib;
    FT_Face face;
};

font_face *open_face(const std::string &path, int pixel_size) {
    font_face *f = new font_face;
    if (FT_Init_FreeType(&f->lib)) {
        delete f;
        return nullptr;
    }
    if (FT_New_Face(f->lib, path.c_str(), 0, &f->face) ||
        FT_Set_Pixel_Sizes(f->face, 0, pixel_size)) {
        FT_Done_FreeType(f->lib);
        delete f;
        return nullptr;
    }
    return f;
}

void close_face(font_face *f) {
    if (!f) return;
    FT_Done_Face(f->face);
    FT_Done_FreeType(f->lib);
    delete f;
}

int face_ascent(font_face *f) {
    return (int)((f->face->size->metrics.ascender + 63) >> 6);
}
int face_descent(font_face *f) {
    return (int)((-f->face->size->metrics.descender + 63) >> 6);
}

bool render_glyph(font_face *f, uint32_t code, bool mono, glyph *out) {
    FT_UInt index = FT_Get_Char_Index(f->face, code);
    if (index == 0 && code != ' ') return false;
    FT_Int32 flags = FT_LOAD_RENDER | (mono ? FT_LOAD_TARGET_MONO : FT_LOAD_TARGET_NORMAL);
    if (FT_Load_Glyph(f->face, index, flags)) return false;
    FT_GlyphSlot g = f->face->glyph;
    FT_Bitmap *b = &g->bitmap;
    out->cov.w = (int)b->width;
    out->cov.h = (int)b->rows;
    out->cov.a.assign((size_t)out->cov.w * out->cov.h, 0);
    for (int y = 0; y < out->cov.h; y++)
        for (int x = 0; x < out->cov.w; x++) {
            const unsigned char *row = b->buffer + y * b->pitch;
            uint8_t v = b->pixel_mode == FT_PIXEL_MODE_MONO
                            ? (((row[x >> 3] >> (7 - (x & 7))) & 1) ? 255 : 0)
                            : row[x];
            out->cov.a[y * out->cov.w + x] = v;
        }
    out->left = g->bitmap_left;
    out->top = g->bitmap_top;
    out->advance = (int)((g->advance.x + 32) >> 6);
    return true;
}

static std::vector<uint32_t> decode_utf8(const std::string &s) {
    std::vector<uint32_t> out;
    for (size_t i = 0; i < s.size();) {
        unsigned char c = s[i];
        uint32_t cp = c;
        int extra = 0;
        if (c >= 0xf0)
            cp = c & 7, extra = 3;
        else if (c >= 0xe0)
            cp = c & 15, extra = 2;
        else if (c >= 0xc0)
            cp = c & 31, extra = 1;
        i++;
        for (int k = 0; k < extra && i < s.size(); k++, i++)
            cp = (cp << 6) | (s[i] & 63);
        out.push_back(cp);
    }
    return out;
}

coverage render_text(font_face *f, const std::string &utf8, bool mono, int extra_spacing) {
    std::vector<uint32_t> cps = decode_utf8(utf8);
    std::vector<glyph> gs(cps.size());
    int width = 0;
    for (size_t i = 0; i < cps.size(); i++) {
        render_glyph(f, cps[i], mono, &gs[i]);
        width += gs[i].advance + extra_spacing;
    }
    coverage c;
    int asc = face_ascent(f);
    c.w = width + 4;
    c.h = asc + face_descent(f);
    c.a.assign((size_t)c.w * c.h, 0);
    int pen = 1;
    for (const glyph &g : gs) {
        for (int y = 0; y < g.cov.h; y++)
            for (int x = 0; x < g.cov.w; x++) {
                int X = pen + g.left + x, Y = asc - g.top + y;
                if (X < 0 || Y < 0 || X >= c.w || Y >= c.h) continue;
                uint8_t &d = c.a[Y * c.w + X];
                d = std::max(d, g.cov.at(x, y));
            }
        pen += g.advance + extra_spacing;
    }
    return c;
}

std::string font_path(bool bold) {
    const char *dir = getenv("CINDERMAZE_FONT_DIR");
    std::string base = dir ? dir : "/usr/share/fonts/truetype/dejavu";
    return base + (bold ? "/DejaVuSans-Bold.ttf" : "/DejaVuSans.ttf");
}
