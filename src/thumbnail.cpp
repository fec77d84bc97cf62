// A map's picture as a game starts it, and its thumbnail: shrunk to fit 448 x 312 and framed.
#include "thumbnail.h"

#include "maps.h"

#include <allegro.h>

#include <algorithm>
#include <string>
#include <vector>

static const int THUMB_MAX_W = 448, THUMB_MAX_H = 312;
static const int MAGENTA = 0xff00ff;

// One frame of a strip as 0xRRGGBB pixels, MAGENTA where transparent.
struct frame {
    int w = 0, h = 0;
    std::vector<int> px;
};

static frame cut(BITMAP *strip, int index) {
    frame f;
    if (!strip || (index + 1) * CELL_PIXELS > strip->w) return f;
    int depth = bitmap_color_depth(strip), mask = bitmap_mask_color(strip);
    f.w = CELL_PIXELS;
    f.h = strip->h;
    for (int y = 0; y < f.h; y++)
        for (int x = 0; x < CELL_PIXELS; x++) {
            int c = getpixel(strip, index * CELL_PIXELS + x, y);
            f.px.push_back(c == mask ? MAGENTA
                                     : getr_depth(depth, c) << 16 | getg_depth(depth, c) << 8 |
                                           getb_depth(depth, c));
        }
    return f;
}

static frame cut_file(const std::string &path, int index) {
    BITMAP *b = load_bitmap(path.c_str(), nullptr);
    frame f = cut(b, index);
    if (b) destroy_bitmap(b);
    return f;
}

static void put(std::vector<int> *img, int w, int h, const frame &f, int x, int y) {
    for (int j = 0; j < f.h; j++)
        for (int i = 0; i < f.w; i++) {
            int c = f.px[j * f.w + i];
            if (c != MAGENTA && x + i >= 0 && y + j >= 0 && x + i < w && y + j < h)
                (*img)[(y + j) * w + x + i] = c;
        }
}

// Box filter: each pixel the mean of the area it covers; mostly transparent stays so.
static BITMAP *shrink(const std::vector<int> &img, int w, int h) {
    double k = std::max(std::max((double)w / THUMB_MAX_W, (double)h / THUMB_MAX_H), 1.0);
    int tw = (int)(w / k), th = (int)(h / k);
    BITMAP *out = create_bitmap_ex(24, tw, th);
    if (!out) return nullptr;
    for (int y = 0; y < th; y++)
        for (int x = 0; x < tw; x++) {
            int x0 = (int)(x * k), x1 = std::max(x0 + 1, (int)((x + 1) * k));
            int y0 = (int)(y * k), y1 = std::max(y0 + 1, (int)((y + 1) * k));
            long r = 0, g = 0, b = 0, n = 0, masked = 0;
            for (int j = y0; j < y1 && j < h; j++)
                for (int i = x0; i < x1 && i < w; i++) {
                    int c = img[j * w + i];
                    if (c == MAGENTA) {
                        masked++;
                        continue;
                    }
                    r += c >> 16, g += (c >> 8) & 255, b += c & 255, n++;
                }
            putpixel(out, x, y,
                     masked > n || n == 0 ? makecol24(255, 0, 255)
                                          : makecol24(r / n, g / n, b / n));
        }
    return out;
}

static void bevel(BITMAP *b, int x, int y, int w, int h, int light, int dark) {
    hline(b, x, y, x + w - 1, light);
    hline(b, x, y + h - 1, x + w - 1, dark);
    vline(b, x, y, y + h - 1, light);
    vline(b, x + w - 1, y, y + h - 1, dark);
}

// The map as a game starts it: floor and walls, then blocks (hidden bonuses as blocks),
// diamonds, monsters and the player standing in its cell, as 0xRRGGBB pixels.
struct map_picture {
    int w = 0, h = 0;
    std::vector<int> px;
};

static bool draw_map(const char *run_dir, const uint8_t *bytes, size_t length,
                     const char *strip_path, map_picture *out) {
    if (map_bytes_shape(bytes, length) != MAP_WHOLE) return false;
    int h = bytes[0], w = bytes[1];
    std::string g = std::string(run_dir) + "/graphics/";
    BITMAP *strip = load_bitmap(strip_path, nullptr);
    frame floor_t = cut(strip, 0), wall_t = cut(strip, 1), block_t = cut(strip, 2);
    if (strip) destroy_bitmap(strip);
    frame player = cut_file(g + "player1.bmp", 8), diamond = cut_file(g + "diamond.bmp", 0),
          monster = cut_file(g + "monster.bmp", 0);
    if (!block_t.w || !player.w || !diamond.w || !monster.w) return false;
    int iw = w * CELL_PIXELS, ih = h * CELL_PIXELS;
    std::vector<int> &img = out->px;
    img.assign((size_t)iw * ih, MAGENTA);
    const uint8_t *cells = bytes + 2;
    for (int r = 0; r < h; r++)
        for (int c = 0; c < w; c++)
            put(&img, iw, ih, cells[r * w + c] == CELL_WALL ? wall_t : floor_t, c * CELL_PIXELS,
                r * CELL_PIXELS);
    int pr = -1, pc = -1;
    for (int r = 0; r < h; r++)
        for (int c = 0; c < w; c++) {
            uint8_t code = cells[r * w + c];
            int x = c * CELL_PIXELS, y = r * CELL_PIXELS;
            if (code == CELL_BLOCK || code == CELL_BONUS) put(&img, iw, ih, block_t, x, y);
            if (code == CELL_DIAMOND) put(&img, iw, ih, diamond, x, y);
            if (code == CELL_MONSTER) put(&img, iw, ih, monster, x, y);
            if (code == CELL_PLAYER) pr = r, pc = c;
        }
    // The player stands in its cell, its head above it.
    if (pr >= 0)
        put(&img, iw, ih, player, pc * CELL_PIXELS, pr * CELL_PIXELS - (player.h - CELL_PIXELS));
    out->w = iw;
    out->h = ih;
    return true;
}

BITMAP *make_map_picture(const char *run_dir, const uint8_t *bytes, size_t length,
                         const char *strip_path) {
    map_picture img;
    if (!draw_map(run_dir, bytes, length, strip_path, &img)) return nullptr;
    BITMAP *b = create_bitmap_ex(24, img.w, img.h);
    if (!b) return nullptr;
    for (int y = 0; y < img.h; y++)
        for (int x = 0; x < img.w; x++) {
            int c = img.px[(size_t)y * img.w + x];
            putpixel(b, x, y, makecol24(c >> 16, (c >> 8) & 255, c & 255));
        }
    return b;
}

static BITMAP *make_map_thumbnail(const char *run_dir, const uint8_t *bytes, size_t length,
                                  const char *strip_path) {
    map_picture img;
    if (!draw_map(run_dir, bytes, length, strip_path, &img)) return nullptr;
    BITMAP *t = shrink(img.px, img.w, img.h);
    if (!t) return nullptr;
    // The stone greys of the game's palette, light above and left.
    bevel(t, 0, 0, t->w, t->h, makecol24(0xc4, 0xbe, 0xc6), makecol24(0x1e, 0x1b, 0x24));
    bevel(t, 1, 1, t->w - 2, t->h - 2, makecol24(0x8a, 0x83, 0x90), makecol24(0x3a, 0x35, 0x42));
    return t;
}

// Allegro writes a picture through these: its bytes go into a vector.
static int memory_close(void *) {
    return 0;
}
static int memory_getc(void *) {
    return EOF;
}
static int memory_ungetc(int, void *) {
    return EOF;
}
static long memory_fread(void *, long, void *) {
    return 0;
}
static int memory_putc(int c, void *out) {
    ((std::vector<uint8_t> *)out)->push_back((uint8_t)c);
    return c;
}
static long memory_fwrite(const void *data, long n, void *out) {
    const uint8_t *bytes = (const uint8_t *)data;
    ((std::vector<uint8_t> *)out)->insert(((std::vector<uint8_t> *)out)->end(), bytes, bytes + n);
    return n;
}
static int memory_fseek(void *, int) {
    return -1;
}
static int memory_feof(void *) {
    return 0;
}
static int memory_ferror(void *) {
    return 0;
}
static const PACKFILE_VTABLE memory_writer = {memory_close, memory_getc, memory_ungetc,
                                              memory_fread, memory_putc, memory_fwrite,
                                              memory_fseek, memory_feof, memory_ferror};

bool map_thumbnail_bmp(const char *run_dir, const uint8_t *bytes, size_t length,
                       const char *strip_path, std::vector<uint8_t> *bmp) {
    BITMAP *t = make_map_thumbnail(run_dir, bytes, length, strip_path);
    if (!t) return false;
    bmp->clear();
    PACKFILE *f = pack_fopen_vtable(&memory_writer, bmp);
    bool ok = f && save_bmp_pf(f, t, nullptr) == 0;
    if (f) ok = pack_fclose(f) == 0 && ok;
    destroy_bitmap(t);
    return ok;
}
