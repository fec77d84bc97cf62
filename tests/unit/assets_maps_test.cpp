// The shipped maps: each compiles into maps/, loads in the game, passes the map check
// for its screen, has its own tile strip and a thumbnail, and they grow harder and larger.
#include "mapcheck.h"
#include "maplist.h"
#include "maps.h"
#include "test_util.h"

#include <allegro.h>
#include <gtest/gtest.h>

static const std::string RUN = CINDERMAZE_RUN_DIR;

static std::vector<map_entry> shipped_maps() {
    std::vector<map_entry> maps;
    std::string error;
    EXPECT_TRUE(
        read_map_list(std::string(CINDERMAZE_SOURCE_DIR) + "/assets/maps/maps.list", &maps, &error))
        << error;
    return maps;
}

static int count_code(const std::vector<uint8_t> &bytes, uint8_t code) {
    int n = 0;
    for (size_t i = 2; i < bytes.size(); i++)
        n += bytes[i] == code;
    return n;
}

TEST(AssetsMaps, EveryShippedMapLoadsAndPassesTheCheck) {
    std::vector<map_entry> maps = shipped_maps();
    ASSERT_GE(maps.size(), 8u);
    for (const map_entry &m : maps) {
        std::string path = RUN + "/maps/" + m.name + ".czm";
        std::vector<uint8_t> bytes = read_file(path);
        ASSERT_FALSE(bytes.empty()) << path;
        map *loaded = load_map(path.c_str());
        EXPECT_TRUE(loaded) << path << " is refused by the game";
        free_map(loaded);
        map_check_options opt;
        opt.screen_w = m.screen_w;
        opt.screen_h = m.screen_h;
        std::vector<std::string> problems = check_map(bytes.data(), bytes.size(), opt);
        EXPECT_TRUE(problems.empty()) << m.name << ": " << (problems.empty() ? "" : problems[0]);
        EXPECT_EQ(count_code(bytes, CELL_PLAYER), 1) << m.name;
        EXPECT_GE(count_code(bytes, CELL_DIAMOND), 5) << m.name;
        EXPECT_GE(count_code(bytes, CELL_MONSTER), 2) << m.name;
        EXPECT_GE(count_code(bytes, CELL_BLOCK), 8) << m.name;
        EXPECT_GE(count_code(bytes, CELL_BONUS), 4) << m.name;
    }
}

TEST(AssetsMaps, EveryMapFits800x600AndDifficultyGrows) {
    int previous_monsters = 0;
    for (const map_entry &m : shipped_maps()) {
        std::vector<uint8_t> bytes = read_file(RUN + "/maps/" + m.name + ".czm");
        ASSERT_GE(bytes.size(), 2u);
        map_check_options at800;
        at800.screen_w = 800, at800.screen_h = 600;
        EXPECT_TRUE(check_map(bytes.data(), bytes.size(), at800).empty()) << m.name;
        int monsters = count_code(bytes, CELL_MONSTER);
        EXPECT_GE(monsters, previous_monsters) << m.name << " is easier than the map before it";
        previous_monsters = monsters;
    }
}

static bool fully_opaque(BITMAP *b, int frame) {
    for (int y = 0; y < b->h; y++)
        for (int x = 0; x < 32; x++)
            if ((uint32_t)getpixel(b, frame * 32 + x, y) == (uint32_t)bitmap_mask_color(b))
                return false;
    return true;
}

TEST(AssetsMaps, EachMapHasItsOwnTileStripAndAThumbnail) {
    allegro_for_tests(32);
    std::vector<map_entry> maps = shipped_maps();
    std::vector<std::vector<uint8_t>> strips;
    for (const map_entry &m : maps) {
        std::string tiles = RUN + "/maps/" + m.name + ".bmp";
        BITMAP *b = load_bitmap(tiles.c_str(), nullptr);
        ASSERT_TRUE(b) << tiles;
        EXPECT_EQ(b->h, 32);
        EXPECT_EQ(b->w % 32, 0);
        int n = b->w / 32 - 2;
        EXPECT_GE(n, 4) << tiles << ": an intact block and at least three destruction steps";
        EXPECT_TRUE(fully_opaque(b, 0)) << tiles << ": the floor tile has holes";
        EXPECT_TRUE(fully_opaque(b, 1)) << tiles << ": the wall tile has holes";
        destroy_bitmap(b);
        strips.push_back(read_file(tiles));

        std::string thumb = RUN + "/thbs/" + m.name + ".bmp";
        BITMAP *t = load_bitmap(thumb.c_str(), nullptr);
        ASSERT_TRUE(t) << thumb;
        // Centred on the 800 x 600 chooser, above its bottom strip.
        EXPECT_LE(t->w, 800);
        EXPECT_LE((600 - t->h) / 2 + t->h, 555);
        EXPECT_GE(t->w, 200);
        destroy_bitmap(t);
    }
    for (size_t a = 0; a < strips.size(); a++)
        for (size_t b = a + 1; b < strips.size(); b++)
            EXPECT_NE(strips[a], strips[b])
                << maps[a].name << " and " << maps[b].name << " share their tiles";
}
