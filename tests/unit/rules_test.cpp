// What the golden replays cannot show: maps the set-up refuses, and freeing a game.
#include "world.h"

#include <gtest/gtest.h>

namespace {

// create_map_objects on a map made by hand: 1 for a first cell that makes nothing or no
// player start, and nothing left behind.
TEST(setup, maps_without_a_first_object_or_a_player_start_are_refused) {
    for (auto rows : {std::vector<std::string>{".####", "#P.D#", "#####"},
                      std::vector<std::string>{"#####", "#.MD#", "#####"}}) {
        ::map *m = raw_map(map_bytes(rows));
        config cfg{};
        game g;
        init_game_state(&g, &cfg, m, 3);
        EXPECT_EQ(create_map_objects(&g), 1) << rows[0];
        EXPECT_EQ(g.player, nullptr);
        for (int r = 0; r < m->height; r++)
            for (int c = 0; c < m->width; c++) {
                suppr_obj(m, m->fixed_grid[r][c], &g.object_count);
                suppr_obj(m, m->mover_grid[r][c], &g.object_count);
            }
        EXPECT_EQ(g.object_count, 0u);
        free_map(m);
    }
}

TEST(setup, freeing_the_objects_frees_them_all_and_twice_is_harmless) {
    world w({"#####", "#P?M#", "#.D.#", "#####"});
    EXPECT_EQ(w.count(OBJ_WALL), 14);
    free_game_objects(&w.g);
    EXPECT_EQ(w.g.object_count, 0u);
    EXPECT_EQ(w.g.player, nullptr);
    free_game_objects(&w.g);
}

} // namespace
