// The settings file as the real program meets it at start.
#include "e2e.h"

#include <gtest/gtest.h>

namespace {

TEST(settings_file, a_missing_save_directory_is_a_clear_fatal_error) {
    game_run run;
    ASSERT_TRUE(e2e_prepare(&run));
    run_command("rm -rf '" + run.dir.file("save") + "'");
    ASSERT_TRUE(e2e_launch(&run));
    ASSERT_TRUE(e2e_wait_exit(&run, 10));
    EXPECT_NE(run.status, 0);
    std::vector<std::string> messages = e2e_messages(&run);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].rfind("Erreur : L'ecriture dans le fichier de config a echoue.\n"
                                "Allegro_error : ",
                                0),
              0u)
        << messages[0];
    EXPECT_FALSE(file_exists(run.dir.file("save")));
}

} // namespace
