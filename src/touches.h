// The key binding screen: asks the seven game actions one by one, each answered by a key
// or a pad button, and saves them.
#pragma once

#include <cstdint>

struct BITMAP;
struct config;
struct pad_bindings;

// Asks the seven actions over the menu background, each answered by a key or a pad button
// (one already given in this pass is refused), and saves them in the settings file and the
// pad's file.
void config_touches(config *cfg, BITMAP *menu_background);

// An action that was answered by the other kind of input in this pass.
enum { NOT_GIVEN = -1 };
// The bindings after a pass: an answer replaces the binding of its kind; an action keeps
// its binding of the other kind unless another action was given it, and then has no
// button, or a key of the earlier ones no action keeps.
void settle_bindings(const int32_t *old_keys, const pad_bindings *old_buttons, const int *new_keys,
                     const int *new_buttons, int32_t *keys, pad_bindings *buttons);
