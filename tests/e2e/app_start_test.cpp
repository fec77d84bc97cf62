// The real program's start and end: the settings file of a first start, quitting from
// the menu, safe mode, and each missing resource of the menus with its message.
#include "app_e2e.h"

namespace {

using namespace app_e2e;

const uint8_t DEFAULT_FILE[56] = {0x01, 0,    0, 0, 0x00, 0x00, 0, 0, 0x96, 0, 0, 0, 0xc8, 0, 0, 0,
                                  0x20, 0x03, 0, 0, 0x58, 0x02, 0, 0, 0x5a, 0, 0, 0, 0x54, 0, 0, 0,
                                  0x55, 0,    0, 0, 0x52, 0,    0, 0, 0x53, 0, 0, 0, 0x4b, 0, 0, 0,
                                  0x3b, 0,    0, 0, 0x10, 0,    0, 0};

TEST(app_start, a_first_start_writes_the_default_settings_and_escape_quits) {
    app_run app;
    ASSERT_TRUE(app.prepare());
    ASSERT_FALSE(file_exists(app.settings_path()));
    ASSERT_TRUE(app.start());
    std::vector<uint8_t> bytes = read_file(app.settings_path());
    ASSERT_EQ(bytes.size(), 56u);
    for (size_t i = 0; i < 56; i++) {
        if (i != 6 && i != 7) {
            EXPECT_EQ(bytes[i], DEFAULT_FILE[i]) << "byte " << i;
        }
    }
    EXPECT_EQ(app.highlighted(app.shot()), -1);
    app.key("Escape");
    ASSERT_TRUE(e2e_wait_exit(&app.run, 10));
    EXPECT_EQ(app.run.status, 0);
    EXPECT_TRUE(app.messages().empty());
}

TEST(app_start, any_first_argument_but_safemode_takes_the_normal_start) {
    config cfg = silent_settings();
    app_run app;
    ASSERT_TRUE(app.prepare(&cfg));
    ASSERT_TRUE(app.start({"--SAFEMODE", "--safemode"}));
    EXPECT_TRUE(app.quits_from_menu());
}

// The library's mode selector is a dialog in a 320 x 200 window; cancelling it keeps the
// record's mode, which then serves the menu too.
TEST(app_start, safemode_shows_the_mode_selector_then_the_menu_in_the_chosen_mode) {
    config cfg = silent_settings();
    app_run app;
    ASSERT_TRUE(app.prepare(&cfg));
    ASSERT_TRUE(e2e_launch(&app.run, {"--safemode", "ignored"}));
    ASSERT_TRUE(app.wait_mode(320, 200));
    // The selector's dialog: light background, dark text and frames.
    ASSERT_TRUE(app.wait_for([&](const screenshot &s) {
        int light = 0, dark = 0;
        for (int y = 0; y < 200; y += 2)
            for (int x = 0; x < 320; x += 2) {
                uint32_t p = app.pixel(s, x, y);
                light += (p & 0xff) > 0xc0;
                dark += (p & 0xff) < 0x40;
            }
        return light > 2000 && dark > 200;
    }));
    app.key("Escape");
    ASSERT_TRUE(app.wait_mode(800, 600));
    sleep_seconds(0.5);
    EXPECT_TRUE(app.quits_from_menu());
    // The choice reaches the file only with a later save.
    EXPECT_EQ(read_file(app.settings_path()), bytes_of(cfg));
}

struct missing_resource {
    const char *name;
    const char *file;
    int effects_volume, music_volume;
    const char *text;
};

class app_missing : public ::testing::TestWithParam<missing_resource> {};

TEST_P(app_missing, gives_its_message_and_ends_with_status_1) {
    const missing_resource &m = GetParam();
    config cfg = silent_settings();
    cfg.effects_volume = m.effects_volume;
    cfg.music_volume = m.music_volume;
    app_run app;
    ASSERT_TRUE(app.prepare(&cfg));
    ASSERT_EQ(remove(app.run.dir.file(m.file).c_str()), 0);
    ASSERT_TRUE(e2e_launch(&app.run));
    ASSERT_TRUE(e2e_wait_exit(&app.run, 10));
    EXPECT_EQ(app.run.status, 1);
    std::vector<std::string> messages = app.messages();
    ASSERT_EQ(messages.size(), 1u);
    std::string expected = std::string("Erreur : ") + m.text + "\nAllegro_error : ";
    EXPECT_EQ(messages[0].rfind(expected, 0), 0u) << messages[0];
}

INSTANTIATE_TEST_SUITE_P(
    menu_resources, app_missing,
    ::testing::Values(
        missing_resource{"background", "graphics/fond.bmp", 0, 0,
                         "Erreur de chargement de la bitmap graphics/fond.bmp : vérifiez son "
                         "existence."},
        missing_resource{"menu_music", "sounds/MENU.mid", 0, 150,
                         "Impossible de charger le fichier son 'musique de fond' : essayez de "
                         "désactiver le son."},
        missing_resource{"options_button_on", "graphics/b2_on.bmp", 0, 0,
                         "Erreur de chargement des bitmaps du menu."},
        missing_resource{"quit_button_off", "graphics/b3_off.bmp", 0, 0,
                         "Erreur de chargement des bitmaps du menu."},
        missing_resource{"quit_sound", "sounds/quit.wav", 200, 0,
                         "Impossible de charger les fichiers sons du menu : essayez de "
                         "désactiver le son."}),
    [](const ::testing::TestParamInfo<missing_resource> &info) { return info.param.name; });

// With both volumes at 0 no sound file is opened, so missing ones are no error.
TEST(app_start, silent_settings_need_no_sound_file) {
    config cfg = silent_settings();
    app_run app;
    ASSERT_TRUE(app.prepare(&cfg));
    run_command("rm -f '" + app.run.dir.file("sounds") + "'/*");
    ASSERT_TRUE(app.start());
    EXPECT_TRUE(app.quits_from_menu());
    EXPECT_TRUE(app.messages().empty());
}

} // namespace
