// The program's entry and its main loop.
#include "config.h"

#include <allegro.h>

int main(int argc, char **argv) {
    (void)argc;
    (void)argv;
    load_config();
    return 0;
}
END_OF_MAIN()
