// Any bytes as save/config.czc: the settings must load into a record whose keys index
// the key table, whose values the options dialog can show, and whose next save loads
// back byte for byte.
#include "config.h"
#include "options.h"
#include "fuzz_check.h"

#include <allegro.h>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <sys/stat.h>
#include <unistd.h>

enum { OPT_VSYNC = 1, OPT_METHOD = 2, OPT_RESOLUTION = 3, OPT_WINDOW = 4, OPT_TIME = 5,
       OPT_MUSIC = 6, OPT_EFFECTS = 7 };

typedef char *(*list_getter)(int index, int *list_size);

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    // The settings file is relative to the working directory: work in a fresh one.
    char dir[] = "/tmp/cindermaze-fuzz-config-XXXXXX";
    if (!mkdtemp(dir) || chdir(dir) != 0 || mkdir("save", 0755) != 0) {
        perror("fuzz_config: work directory");
        exit(1);
    }
    return 0;
}

static void write_settings(const uint8_t *data, size_t size) {
    FILE *f = fopen(CONFIG_FILE, "wb");
    FUZZ_CHECK(f != nullptr);
    if (size)
        FUZZ_CHECK(fwrite(data, 1, size, f) == size);
    fclose(f);
}

static long settings_size() {
    struct stat st;
    return stat(CONFIG_FILE, &st) == 0 ? (long)st.st_size : -1;
}

// Every key the game reads goes through key[code]: the code must lie inside the table.
static void check_keys(config *cfg) {
    volatile char held = 0;
    for (int action = 0; action < KEY_ACTION_COUNT; action++) {
        int32_t *code = config_key_field(cfg, action);
        FUZZ_CHECK(code != nullptr);
        FUZZ_CHECK(*code > 0 && *code < KEY_MAX);
        held = held | key[*code];
    }
    FUZZ_CHECK(config_key_field(cfg, -1) == nullptr);
    FUZZ_CHECK(config_key_field(cfg, KEY_ACTION_COUNT) == nullptr);
}

// The list boxes must open on an entry they have, and the sliders inside 0..255.
static void check_dialog() {
    for (int item : {OPT_METHOD, OPT_RESOLUTION, OPT_WINDOW, OPT_TIME}) {
        list_getter getter = (list_getter)the_dialog[item].dp;
        int entries = 0;
        getter(-1, &entries);
        FUZZ_CHECK(the_dialog[item].d1 >= 0 && the_dialog[item].d1 < entries);
        FUZZ_CHECK(getter(the_dialog[item].d1, &entries) != nullptr);
    }
    for (int item : {OPT_MUSIC, OPT_EFFECTS})
        FUZZ_CHECK(the_dialog[item].d2 >= 0 && the_dialog[item].d2 <= the_dialog[item].d1);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    write_settings(data, size);
    config *cfg = load_config();
    FUZZ_CHECK(cfg != nullptr);
    // Whatever was read, the file on disk is never shortened or damaged by reading it.
    FUZZ_CHECK(settings_size() == (long)size);
    check_keys(cfg);

    fill_options_dialog(cfg);
    check_dialog();

    // Saving from the dialog writes one whole record that the next start reads back.
    save_options_dialog(cfg);
    FUZZ_CHECK(settings_size() == CONFIG_SIZE);
    config *again = load_config();
    FUZZ_CHECK(memcmp(again, cfg, CONFIG_SIZE) == 0);
    // A second showing of the dialog opens on the same entries as the saved ones.
    int shown[8];
    for (int item = OPT_METHOD; item <= OPT_TIME; item++)
        shown[item] = the_dialog[item].d1;
    fill_options_dialog(again);
    for (int item = OPT_METHOD; item <= OPT_TIME; item++)
        FUZZ_CHECK(the_dialog[item].d1 == shown[item]);

    free(again);
    free(cfg);
    return 0;
}
