// The key binding screen: asks the seven game keys one by one and saves them.
#pragma once

struct BITMAP;
struct config;

// Asks the seven keys over the menu background (a key already given is refused) and
// saves them in the settings file.
void config_touches(config *cfg, BITMAP *menu_background);
