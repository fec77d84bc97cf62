// What a fuzz target does when the game breaks one of its own promises: say which one
// and abort, so that libFuzzer keeps the input that did it.
#pragma once

#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(condition)                                                                  \
    do {                                                                                       \
        if (!(condition)) {                                                                    \
            fprintf(stderr, "%s:%d: broken: %s\n", __FILE__, __LINE__, #condition);            \
            abort();                                                                           \
        }                                                                                      \
    } while (0)
