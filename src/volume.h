// The mixer's volumes: the music follows the music volume alone, the effects the
// effects volume alone.
#pragma once

struct config;

// The digital master volume where the music is mixed with the effects: fixed, so that
// neither slider reaches the other's sound. At 200, the default effects volume, the
// default settings sound as loud as they always have.
#define VOLUME_DIGITAL_MASTER 200

// Sets the mixer for the record's volumes; heard from the next sound played on.
void apply_volumes(const config *cfg);
