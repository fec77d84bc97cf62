// The font datafile: object 0 is a font of a readable height with a glyph for every
// Windows-1252 byte that the program's texts use, French letters included.
#include "hud_layout.h"
#include "test_util.h"

#include <allegro.h>
#include <gtest/gtest.h>

#include <dirent.h>
#include <set>

struct font_file {
    DATAFILE *data = nullptr;
    FONT *font = nullptr;
    font_file() {
        allegro_for_tests(32);
        set_uformat(U_ASCII);
        data = load_datafile((std::string(CINDERMAZE_RUN_DIR) + "/bktype.dat").c_str());
        if (data && data[0].type == DAT_FONT) font = (FONT *)data[0].dat;
    }
    ~font_file() {
        if (data) unload_datafile(data);
    }
};

static bool has_glyph(FONT *f, int byte) {
    for (int r = 0; r < get_font_ranges(f); r++)
        if (byte >= get_font_range_begin(f, r) && byte <= get_font_range_end(f, r)) return true;
    return false;
}

// Pixels inked when the text is drawn in red on black.
static int ink(FONT *f, const std::string &text, BITMAP **out = nullptr) {
    BITMAP *b = create_bitmap_ex(32, text_length(f, text.c_str()) + 4, text_height(f) + 4);
    clear_to_color(b, makecol32(0, 0, 0));
    textout_ex(b, f, text.c_str(), 2, 2, makecol32(255, 0, 0), -1);
    int n = 0;
    for (int y = 0; y < b->h; y++)
        for (int x = 0; x < b->w; x++)
            n += getpixel(b, x, y) == makecol32(255, 0, 0);
    if (out)
        *out = b;
    else
        destroy_bitmap(b);
    return n;
}

TEST(AssetsFont, ObjectZeroIsAReadableFont) {
    font_file ff;
    ASSERT_TRUE(ff.data) << "bktype.dat does not load";
    ASSERT_EQ(ff.data[0].type, DAT_FONT);
    ASSERT_TRUE(ff.font);
    EXPECT_GE(text_height(ff.font), 20);
    EXPECT_LE(text_height(ff.font), 24);
    // The map check places the field with this height.
    EXPECT_EQ(text_height(ff.font), HUD_FONT_HEIGHT);
    // Drawn in the caller's colour, as the head-up display and the menus do.
    EXPECT_GT(ink(ff.font, "PLUS DE TEMPS !!!"), 100);
    EXPECT_GT(text_length(ff.font, "88"), 16);
}

TEST(AssetsFont, EveryAsciiAndFrenchLetterHasItsOwnGlyph) {
    font_file ff;
    ASSERT_TRUE(ff.font);
    for (int c = 32; c < 127; c++) {
        EXPECT_TRUE(has_glyph(ff.font, c)) << "byte " << c;
        std::string s(1, (char)c);
        EXPECT_GT(text_length(ff.font, s.c_str()), 0) << "byte " << c;
        if (c != ' ') {
            EXPECT_GT(ink(ff.font, s), 0) << "byte " << c << " draws nothing";
        }
    }
    // The accented letters of French, in Windows-1252 (this file is compiled to it).
    const std::string french = "àâäçéèêëîïôöùûüÿæœÀÂÄÇÉÈÊËÎÏÔÖÙÛÜŸÆŒ«»’€";
    for (unsigned char c : french) {
        EXPECT_TRUE(has_glyph(ff.font, c)) << "byte " << (int)c;
        EXPECT_GT(ink(ff.font, std::string(1, (char)c)), 0) << "byte " << (int)c;
    }
    // An accent shows: é is drawn differently from e.
    BITMAP *e, *e_acute;
    ink(ff.font, "e", &e);
    ink(ff.font, "é", &e_acute);
    int differ = 0;
    for (int y = 0; y < e->h; y++)
        for (int x = 0; x < std::min(e->w, e_acute->w); x++)
            differ += getpixel(e, x, y) != getpixel(e_acute, x, y);
    EXPECT_GT(differ, 2);
    destroy_bitmap(e);
    destroy_bitmap(e_acute);
}

// Windows-1252 byte of a Unicode code point, or -1.
static int cp1252_byte(uint32_t cp) {
    static const uint16_t high[32] = {
        0x20ac, 0,      0x201a, 0x0192, 0x201e, 0x2026, 0x2020, 0x2021, 0x02c6, 0x2030, 0x0160,
        0x2039, 0x0152, 0,      0x017d, 0,      0,      0x2018, 0x2019, 0x201c, 0x201d, 0x2022,
        0x2013, 0x2014, 0x02dc, 0x2122, 0x0161, 0x203a, 0x0153, 0,      0x017e, 0x0178};
    if (cp < 0x80 || (cp >= 0xa0 && cp < 0x100)) return (int)cp;
    for (int i = 0; i < 32; i++)
        if (high[i] && high[i] == cp) return 0x80 + i;
    return -1;
}

// Every character inside a string literal of the program's sources (UTF-8 there, shown
// as Windows-1252 at run time).
static std::set<int> bytes_of_program_texts() {
    std::set<int> bytes;
    std::string dir = std::string(CINDERMAZE_SOURCE_DIR) + "/src";
    DIR *d = opendir(dir.c_str());
    if (!d) return bytes;
    while (dirent *e = readdir(d)) {
        std::string name = e->d_name;
        if (name.size() < 4 || name.substr(name.size() - 4) != ".cpp") continue;
        std::vector<uint8_t> src = read_file(dir + "/" + name);
        bool in_string = false;
        for (size_t i = 0; i < src.size(); i++) {
            uint8_t c = src[i];
            if (!in_string) {
                if (c == '"' && (i == 0 || src[i - 1] != '\''))
                    in_string = true;
                else if (c == '/' && i + 1 < src.size() && src[i + 1] == '/')
                    while (i < src.size() && src[i] != '\n')
                        i++;
                continue;
            }
            if (c == '\\') {
                i++;
                continue;
            }
            if (c == '"' || c == '\n') {
                in_string = false;
                continue;
            }
            uint32_t cp = c;
            int extra = c >= 0xf0 ? 3 : c >= 0xe0 ? 2 : c >= 0xc0 ? 1 : 0;
            if (extra) cp = c & (0x3f >> extra);
            for (int k = 0; k < extra && i + 1 < src.size(); k++)
                cp = cp << 6 | (src[++i] & 0x3f);
            int b = cp1252_byte(cp);
            if (b >= 32) bytes.insert(b);
        }
    }
    closedir(d);
    return bytes;
}

TEST(AssetsFont, TheProgramsTextsAllHaveGlyphs) {
    font_file ff;
    ASSERT_TRUE(ff.font);
    std::set<int> used = bytes_of_program_texts();
    ASSERT_GT(used.size(), 40u) << "the program's texts were not found";
    for (int b : used) {
        EXPECT_TRUE(has_glyph(ff.font, b)) << "byte " << b;
        EXPECT_GT(text_length(ff.font, std::string(1, (char)b).c_str()), 0) << "byte " << b;
    }
}
