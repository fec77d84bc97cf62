// Sound effects: loading a list of samples, playing one at the configured volume, releasing them.
#pragma once

struct SAMPLE;
struct config;

// Plays a sample from its start, centred, at the configured effects volume; nothing when
// that volume is 0 or the sample is missing.
void play_effect(const config *cfg, SAMPLE *sample);
// Loads the named samples in order; true when every one of them could be read.
bool load_samples(SAMPLE **samples, const char *const *names, int count);
// Stops and destroys each sample.
void release_samples(SAMPLE **samples, int count);
