// Sound effects: loading a list of samples, playing one at the configured volume, releasing them.
#include "sons.h"

#include "config.h"

#include <allegro.h>

void play_effect(const config *cfg, SAMPLE *sample) {
    if (!cfg || cfg->effects_volume == 0 || !sample) return;
    stop_sample(sample);
    play_sample(sample, cfg->effects_volume, 128, 1000, 0);
}

bool load_samples(SAMPLE **samples, const char *const *names, int count) {
    bool all = true;
    for (int i = 0; i < count; i++) {
        samples[i] = load_sample(names[i]);
        all = all && samples[i];
    }
    return all;
}

void release_samples(SAMPLE **samples, int count) {
    for (int i = 0; i < count; i++) {
        stop_sample(samples[i]);
        destroy_sample(samples[i]);
    }
}
