// Maps from outside: each broken map the map text can describe, alone in the maps
// directory with a picture, chosen in the real chooser and started. The game refuses it
// with its message and the chooser comes back, or plays it safely (a 255 x 255 map is too
// big for any screen and says so), and never crashes.
#include "hardening_e2e.h"

namespace {

using namespace hardening;

const char *const MAP_REFUSED = "Echec du chargement de la map. Essayez de choisir un autre map.";

struct broken_map {
    const char *name;
    std::vector<uint8_t> bytes;
    bool refused; // else the game starts and ends on its own (too big), back to the menu
};

void PrintTo(const broken_map &b, std::ostream *out) { *out << b.name; }

// Map text: '#' wall, '+' block, '?' hidden bonus, 'P' player, 'M' monster, 'D' diamond,
// '8' a bomb's code, '.' floor.
std::vector<uint8_t> bytes_of_rows(const std::vector<std::string> &rows) {
    std::vector<uint8_t> bytes = {(uint8_t)rows.size(), (uint8_t)rows[0].size()};
    for (const std::string &row : rows)
        for (char c : row)
            bytes.push_back(c == '#' ? 0 : c == '+' ? 2 : c == '?' ? 4 : c == 'P' ? 7
                            : c == 'M' ? 11 : c == 'D' ? 12 : c == '8' ? 8 : 0xff);
    return bytes;
}

// A square map of `size` cells a side, walled, with the player and a diamond.
std::vector<uint8_t> big_map(int size, bool walled) {
    std::vector<std::string> rows(size, std::string(size, '.'));
    for (int i = 0; i < size; i++) {
        if (!walled) break;
        rows[0][i] = rows[size - 1][i] = rows[i][0] = rows[i][size - 1] = '#';
    }
    rows[1][1] = 'P';
    rows[size - 2][size - 2] = 'D';
    return bytes_of_rows(rows);
}

std::vector<broken_map> broken_maps() {
    std::vector<uint8_t> good = bytes_of_rows({"#######", "#P.+.D#", "#.M...#", "#######"});
    std::vector<uint8_t> shortened(good.begin(), good.end() - 5);
    return {
        {"empty_file", {}, true},
        {"one_byte", {7}, true},
        {"sizes_only", {4, 7}, true},
        {"short_file", shortened, true},
        {"height_0", {0, 7}, true},
        {"width_0", {4, 0, 0, 0, 0, 0}, true},
        {"open_border", bytes_of_rows({"#######", "#P...D.", "#.M...#", "#######"}), true},
        {"hole_in_the_top_row", bytes_of_rows({"###.###", "#P...D#", "#.....#", "#######"}), true},
        {"no_player_start", bytes_of_rows({"#######", "#..+.D#", "#.M...#", "#######"}), true},
        {"two_player_starts", bytes_of_rows({"#######", "#P.+.D#", "#.M..P#", "#######"}), true},
        {"code_8", bytes_of_rows({"#######", "#P.8.D#", "#.M...#", "#######"}), true},
        {"size_255_open", big_map(255, false), true},
        {"too_big_40_walled", big_map(40, true), false},
        {"size_255_walled", big_map(255, true), false},
    };
}

class broken : public ::testing::TestWithParam<broken_map> {};

TEST_P(broken, is_refused_with_its_message_or_played_safely) {
    const broken_map &b = GetParam();
    if (SANITIZED && b.bytes.size() > 10000)
        GTEST_SKIP() << "setting up a 255 x 255 map takes over a minute under AddressSanitizer; "
                        "too_big_40_walled takes the same road";
    config cfg = silent_settings();
    cfg.gfx_card = GFX_AUTODETECT_WINDOWED;
    app_run app;
    ASSERT_TRUE(app.prepare(&cfg));
    std::vector<uint8_t> settings = settings_bytes(app);
    run_command("rm -f '" + app.run.dir.file("maps") + "'/* '" + app.run.dir.file("thbs") + "'/*");
    write_file(app.run.dir.file("maps/broken.czm"), b.bytes);
    write_map_picture(app.run.dir.file("maps/broken.bmp"), 0x204060);

    ASSERT_TRUE(app.start());
    app.key("Down");
    ASSERT_TRUE(app.wait_highlighted(PLAY, slow(3)));
    app.key("Return");
    ASSERT_TRUE(wait_menu_gone(&app, slow(5)));
    sleep_seconds(slow(0.5));
    app.key("Return");
    if (b.refused) {
        ASSERT_TRUE(app.wait_for([&](const screenshot &) { return !app.messages().empty(); },
                                 slow(10)))
            << "the map was not refused";
        EXPECT_EQ(app.messages(), std::vector<std::string>{MAP_REFUSED});
        // The chooser comes back: Escape, pressed until it counts there, leads to the menu.
        bool menu = false;
        for (int i = 0; i < 10 && !menu && e2e_running(&app.run); i++) {
            app.key("Escape");
            menu = app.wait_menu(slow(1));
        }
        ASSERT_TRUE(menu);
        EXPECT_TRUE(app.quits_from_menu());
    } else {
        // The too-big screen stays 6.5 s, then the menu comes back.
        ASSERT_TRUE(app.wait_menu(slow(20)));
        EXPECT_TRUE(app.quits_from_menu());
        EXPECT_TRUE(app.messages().empty());
    }
    EXPECT_EQ(settings_bytes(app), settings);
}

INSTANTIATE_TEST_SUITE_P(
    maps_from_outside, broken, ::testing::ValuesIn(broken_maps()),
    [](const ::testing::TestParamInfo<broken_map> &info) { return info.param.name; });

} // namespace
