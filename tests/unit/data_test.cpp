// The game's data as the build makes it: pictures have the sizes and frames the game
// cuts, the font has a glyph for every character the texts use, every shipped map loads
// with its tile strip and thumbnail.
#include "hud_layout.h"
#include "maplist.h"
#include "test_util.h"

#include <algorithm>
#include <allegro.h>
#include <cmath>
#include <gtest/gtest.h>
#include <set>

namespace {

const std::string RUN = CINDERMAZE_RUN_DIR;

// Width x height of a picture of the run directory, "missing" when it does not load.
std::string size_of(const std::string &file) {
    allegro_for_tests(32);
    BITMAP *b = load_bitmap((RUN + "/" + file).c_str(), nullptr);
    if (!b) return "missing";
    std::string size = std::to_string(b->w) + "x" + std::to_string(b->h);
    destroy_bitmap(b);
    return size;
}

TEST(data, pictures_have_the_frames_and_sizes_the_game_cuts) {
    const char *const expected[][2] = {
        {"graphics/bonus.bmp", "256x32"},      {"graphics/player1.bmp", "512x48"},
        {"graphics/bombs1.bmp", "256x32"},     {"graphics/diamond.bmp", "96x32"},
        {"graphics/monster.bmp", "64x32"},     {"graphics/explo_ctr.bmp", "384x32"},
        {"graphics/explo_dir.bmp", "512x32"},  {"graphics/timer.bmp", "32x32"},
        {"graphics/fin_gagne.bmp", "512x384"}, {"graphics/fond.bmp", "800x600"},
        {"graphics/surprise.bmp", "448x312"}};
    for (const auto &e : expected)
        EXPECT_EQ(size_of(e[0]), e[1]) << e[0];
}

// The bytes, at run time, of the characters beyond ASCII in the string literals of src/.
std::set<int> program_accents() {
    std::set<int> found;
    FILE *p = popen("cd '" CINDERMAZE_SOURCE_DIR
                    "' && cat src/*.cpp editor/*.cpp | grep -v '^ *//' | grep -o "
                    "'\"[^\"]*\"' | iconv -f UTF-8 -t CP1252",
                    "r");
    for (int c; p && (c = fgetc(p)) != EOF;)
        if (c >= 0x80) found.insert(c);
    if (p) pclose(p);
    return found;
}

TEST(data, the_font_has_a_glyph_for_every_character_of_the_texts) {
    allegro_for_tests(32);
    set_uformat(U_ASCII);
    DATAFILE *data = load_datafile((RUN + "/bktype.dat").c_str());
    ASSERT_TRUE(data && data[0].type == DAT_FONT);
    FONT *f = (FONT *)data[0].dat;
    EXPECT_EQ(text_height(f), HUD_FONT_HEIGHT); // the map check places the field with it
    std::set<int> bytes = program_accents();
    EXPECT_GE(bytes.size(), 5u) << "the accented letters of the texts were not found";
    for (int c = 32; c < 127; c++)
        bytes.insert(c);
    for (int c : bytes) {
        bool in_range = false;
        for (int r = 0; r < get_font_ranges(f); r++)
            in_range |= c >= get_font_range_begin(f, r) && c <= get_font_range_end(f, r);
        EXPECT_TRUE(in_range && text_length(f, std::string(1, (char)c).c_str()) > 0) << c;
    }
    unload_datafile(data);
}

// WCAG contrast of two colours, from their relative luminances.
double contrast_ratio(int c1, int c2) {
    auto luminance = [](int c) {
        auto linear = [](int v) {
            double s = v / 255.0;
            return s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * linear(getr32(c)) + 0.7152 * linear(getg32(c)) + 0.0722 * linear(getb32(c));
    };
    double a = luminance(c1), b = luminance(c2);
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

// The texts the key binding screen and the map chooser draw over the menu background, at
// their places on the 800 x 600 menu: each reads at 4.5:1 or better against every pixel
// of the background behind it.
TEST(data, texts_over_the_menu_background_stand_out_from_every_pixel_behind_them) {
    allegro_for_tests(32);
    set_uformat(U_ASCII);
    BITMAP *back = load_bitmap((RUN + "/graphics/fond.bmp").c_str(), nullptr);
    DATAFILE *data = load_datafile((RUN + "/bktype.dat").c_str());
    ASSERT_TRUE(back && data);
    FONT *f = (FONT *)data[0].dat;
    const int h = text_height(f), blue = makecol32(0, 0, 255), yellow = makecol32(255, 255, 0),
              red = makecol32(255, 0, 0);
    struct text_place {
        std::string text;
        int y, colour;
    };
    std::vector<text_place> texts = {{"Changements enregistres !", (600 - h) / 2, blue},
                                     {"TOUCHE DEJA UTILISEE !", 300 + h + 5, red}};
    for (const char *action : {"haut", "bas", "gauche", "droite", "bombe", "quitter", "pause"})
        texts.push_back({std::string("Appuyez sur la touche '") + action + "'.", 298, blue});
    texts.push_back({"ISO_Level3_Shift", 300 + h + 5, yellow}); // among the longest key names
    // Between the chooser's arrow buttons, whatever the map's name.
    texts.push_back({std::string(52, 'M'), 555, red});
    for (const text_place &t : texts) {
        int w = std::min(text_length(f, t.text.c_str()), 454), x0 = 400 - w / 2;
        double worst = 21;
        for (int y = t.y; y < t.y + h; y++)
            for (int x = x0; x < x0 + w; x++)
                worst = std::min(worst, contrast_ratio(t.colour, getpixel(back, x, y)));
        EXPECT_GE(worst, 4.5) << t.text;
    }
    unload_datafile(data);
    destroy_bitmap(back);
}

// The build compiles each shipped map through the map check for the screen its list names;
// the golden test of its winning route (rules_test) reads it from the run directory with a
// strip of at least four pictures, and wins it.
TEST(data, every_shipped_map_has_its_pictures) {
    std::vector<map_entry> maps;
    std::string error;
    ASSERT_TRUE(read_map_list(CINDERMAZE_SOURCE_DIR "/assets/maps/maps.list", &maps, &error))
        << error;
    ASSERT_GE(maps.size(), 24u); // the curve from the first steps to the abyss
    for (const map_entry &m : maps) {
        std::string tiles = size_of("maps/" + m.name + ".bmp"); // cells of 32 pixels
        EXPECT_TRUE(tiles.size() > 3 && tiles.substr(tiles.size() - 3) == "x32") << tiles;
        EXPECT_NE(size_of("thbs/" + m.name + ".bmp"), "missing") << m.name;
    }
}

} // namespace
