// The options dialog's 8 x 8 font: the built-in one with the French small letters redrawn.
#include "guifont.h"
#include "test_util.h"

#include <allegro.h>
#include <gtest/gtest.h>
#include <set>

namespace {

// Every French small letter has a picture of its own (the built-in font draws é, è, ê
// and ë alike).
TEST(dialog_font, every_french_small_letter_looks_different) {
    allegro_for_tests(32);
    set_uformat(U_ASCII); // the dialog's texts are 8-bit
    FONT *f = make_dialog_font();
    ASSERT_NE(f, nullptr);
    BITMAP *b = create_bitmap(8, 8);
    std::set<std::vector<int>> pictures;
    for (const char *c = "aàâäcçeéèêëiîïoôöuùûü"; *c; c++) {
        clear_bitmap(b);
        textout_ex(b, f, std::string(1, *c).c_str(), 0, 0, makecol(255, 255, 255), -1);
        std::vector<int> picture;
        for (int i = 0; i < 64; i++)
            picture.push_back(getpixel(b, i % 8, i / 8) != 0);
        EXPECT_TRUE(pictures.insert(picture).second) << "letter " << (int)(uint8_t)*c;
    }
    destroy_bitmap(b);
    destroy_font(f);
}

} // namespace
