// Cost of drawing one frame of play (background, head-up display, every object of a busy
// 25 x 18 map) into a memory bitmap, against a bare full-screen blit of the same size.
#include "affichage.h"
#include "config.h"
#include "hud.h"
#include "maps.h"
#include "objets.h"
#include "rules.h"

#include <allegro.h>
#include <benchmark/benchmark.h>
#include <cerrno>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// Border walls, pillars every other cell, blocks, hidden bonuses, diamonds and monsters.
std::vector<uint8_t> busy_map() {
    const int w = 25, h = 18;
    std::vector<uint8_t> bytes = {h, w};
    for (int r = 0; r < h; r++)
        for (int c = 0; c < w; c++) {
            uint8_t code = 0xff;
            if (r == 0 || c == 0 || r == h - 1 || c == w - 1 || (r % 2 == 0 && c % 2 == 0))
                code = 0;
            else if (r == 1 && c == 1)
                code = 7;
            else if ((r * 7 + c * 3) % 5 == 0)
                code = 2;
            else if ((r * 7 + c * 3) % 11 == 1)
                code = 4;
            else if ((r + c) % 13 == 0)
                code = 12;
            else if ((r * c) % 17 == 3)
                code = 11;
            bytes.push_back(code);
        }
    return bytes;
}

// A 32-pixel frame of one colour with a transparent corner, `height` pixels tall.
BITMAP *frame(int colour, int height = 32) {
    BITMAP *b = create_bitmap(32, height);
    clear_to_color(b, colour);
    rectfill(b, 0, 0, 5, 5, bitmap_mask_color(b));
    return b;
}

struct busy_game {
    config cfg;
    game g;
    play_screen ps{};
    std::vector<BITMAP *> owned;
    BITMAP *tables[16][4] = {};
    BITMAP *field = nullptr;

    BITMAP **table(int i, int colour, int height = 32) {
        for (int k = 0; k < 4; k++) {
            tables[i][k] = frame(colour + k, height);
            owned.push_back(tables[i][k]);
        }
        return tables[i];
    }

    explicit busy_game(int screen_w, int screen_h) {
        default_config(&cfg);
        std::vector<uint8_t> bytes = busy_map();
        ::map *m = load_map_from_memory(bytes.data(), bytes.size());
        init_game_state(&g, &cfg, m, 4, 1);
        g.wall_sprites = table(0, makecol(90, 90, 120));
        g.block_sprites = table(1, makecol(140, 70, 20));
        g.bonus_sprites = table(2, makecol(200, 200, 40));
        for (int f = 0; f < 4; f++)
            g.player_sprites[f] = table(3 + f, makecol(230, 230, 230), 48);
        g.bomb_sprites = table(7, makecol(30, 30, 30));
        g.super_bomb_sprites = table(8, makecol(30, 30, 90));
        g.diamond_sprites = table(9, makecol(40, 200, 220));
        g.monster_sprites = table(10, makecol(180, 40, 160));
        for (int i = 0; i < FLAME_PIC_COUNT; i++)
            g.flame_sprites[i] = table(11 + i % 5, makecol(255, 200, 60));
        create_map_objects(&g);
        add_explosions();
        ps.hud_font = font;
        ps.line_height = text_height(font);
        ps.timer_icon = ps.bomb_icon = ps.diamond_icon = frame(makecol(200, 0, 0));
        owned.push_back(ps.timer_icon);
        place_hud(&ps, screen_w);
        field = create_bitmap(m->width * 32, m->height * 32);
        clear_to_color(field, makecol(20, 60, 20));
        for (int r = 0; r < m->height; r++)
            for (int c = 0; c < m->width; c++)
                if (m->cells[r][c] == CELL_WALL)
                    draw_sprite(field, g.wall_sprites[0], c * 32, r * 32);
        ps.background = get_rle_sprite(field);
        place_field(&ps, field->w, field->h, screen_w, screen_h);
        g.time_left = 4; // the warning is drawn too
    }

    // Three bombs and three crosses of flames, as in a lively moment of play.
    void add_explosions() {
        int spots[3][2] = {{3, 3}, {11, 9}, {19, 13}};
        for (auto &s : spots) {
            creer_obj(g.map, g.player, &g.object_count, s[0], s[1] + 2, 0, 0, OBJ_BOMB, 0, 1, 2, 3,
                      30, g.bomb_sprites, 0);
            for (int d = -2; d <= 2; d++) {
                creer_obj(g.map, g.player, &g.object_count, s[0] + d, s[1], 0, 0, OBJ_FLAME, 0, 0,
                          0, 40, 5, g.flame_sprites[0], 0);
                creer_obj(g.map, g.player, &g.object_count, s[0], s[1] + d, 0, 0, OBJ_FLAME, 0, 0,
                          0, 40, 5, g.flame_sprites[0], 0);
            }
        }
    }

    ~busy_game() {
        free_game_objects(&g);
        free_map(g.map);
        destroy_rle_sprite(ps.background);
        destroy_bitmap(field);
        for (BITMAP *b : owned)
            destroy_bitmap(b);
    }
};

void start_allegro() {
    static bool started = false;
    if (!started) {
        install_allegro(SYSTEM_NONE, &errno, atexit);
        set_color_depth(32);
        started = true;
    }
}

void BM_frame(benchmark::State &state) {
    start_allegro();
    int w = (int)state.range(0), h = (int)state.range(1);
    busy_game busy(w, h);
    BITMAP *dest = create_bitmap(w, h);
    for (auto _ : state) {
        clear_bitmap(dest);
        draw_game_frame(dest, &busy.ps, &busy.g);
        benchmark::ClobberMemory();
    }
    state.counters["objects"] = busy.g.object_count;
    destroy_bitmap(dest);
}
BENCHMARK(BM_frame)->Args({800, 600})->Args({1024, 768});

// The frame's parts alone, at 1024 x 768: 0 the clearing, 1 the background, 2 the objects.
void BM_frame_part(benchmark::State &state) {
    start_allegro();
    busy_game busy(1024, 768);
    BITMAP *dest = create_bitmap(1024, 768);
    clear_bitmap(dest);
    for (auto _ : state) {
        if (state.range(0) == 0)
            clear_bitmap(dest);
        else if (state.range(0) == 1)
            draw_rle_sprite(dest, busy.ps.background, busy.ps.field_x, busy.ps.field_y);
        else
            draw_playscreen(busy.g.player, dest, busy.ps.field_x, busy.ps.field_y);
        benchmark::ClobberMemory();
    }
    destroy_bitmap(dest);
}
BENCHMARK(BM_frame_part)->Arg(0)->Arg(1)->Arg(2);

void BM_bare_blit(benchmark::State &state) {
    start_allegro();
    int w = (int)state.range(0), h = (int)state.range(1);
    BITMAP *src = create_bitmap(w, h);
    BITMAP *dest = create_bitmap(w, h);
    clear_to_color(src, makecol(1, 2, 3));
    for (auto _ : state) {
        blit(src, dest, 0, 0, 0, 0, w, h);
        benchmark::ClobberMemory();
    }
    destroy_bitmap(src);
    destroy_bitmap(dest);
}
BENCHMARK(BM_bare_blit)->Args({800, 600})->Args({1024, 768});

} // namespace

BENCHMARK_MAIN();
