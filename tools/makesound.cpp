// makesound: synthesises the sound effects (16-bit mono WAVE), writes the menu and
// game music as General MIDI files, and the allegro.cfg that points Allegro's MIDI
// synthesiser at Debian's freepats patches.
//   makesound RUN_DIR [FREEPATS_CFG]
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <vector>

// The names of the configuration files, from the list of files written.
#define SOUND_FILE(name, making)
#define CONFIG_FILE(id, name) static const char *const id = name;
#include "sound_files.def"
#undef SOUND_FILE
#undef CONFIG_FILE

static const int RATE = 22050;
static const double PI = 3.14159265358979;

// ---------------------------------------------------------------- synthesis

typedef std::vector<double> wave;

static uint32_t rng_state = 12345;
static double white() {
    rng_state = rng_state * 1664525u + 1013904223u;
    return (rng_state >> 8) / 8388608.0 - 1.0;
}

static wave silence(double seconds) {
    return wave((size_t)(seconds * RATE), 0.0);
}

// Adds a tone at `start` seconds: sine partials with an exponential decay.
static void tone(wave *w, double start, double freq, double dur, double amp, double decay,
                 const std::vector<double> &partials = {1.0}, double attack = 0.003) {
    size_t s0 = (size_t)(start * RATE), n = (size_t)(dur * RATE);
    if (w->size() < s0 + n) w->resize(s0 + n, 0.0);
    for (size_t i = 0; i < n; i++) {
        double t = (double)i / RATE;
        double env = std::exp(-t * decay) * std::min(1.0, t / attack);
        double v = 0;
        for (size_t p = 0; p < partials.size(); p++)
            v += partials[p] * std::sin(2 * PI * freq * (p + 1) * t);
        (*w)[s0 + i] += amp * env * v;
    }
}

static double note_freq(int midi) {
    return 440.0 * std::pow(2.0, (midi - 69) / 12.0);
}

// Scales to a peak of -3 dBFS and fades both ends so that nothing clicks.
static void finish(wave *w) {
    double peak = 1e-9;
    for (double v : *w)
        peak = std::max(peak, std::fabs(v));
    for (double &v : *w)
        v *= 0.708 / peak;
    size_t in = RATE / 500, out = RATE / 80;
    for (size_t i = 0; i < in && i < w->size(); i++)
        (*w)[i] *= (double)i / in;
    for (size_t i = 0; i < out && i < w->size(); i++)
        (*w)[w->size() - 1 - i] *= (double)i / out;
}

static wave sfx_focus() {
    wave w = silence(0.05);
    tone(&w, 0, 1850, 0.05, 0.8, 90, {1.0, 0.0, 0.2});
    for (size_t i = 0; i < 120; i++)
        w[i] += 0.25 * white() * std::exp(-(double)i / 30);
    return w;
}

static wave sfx_chime(bool rising) {
    static const int up[3] = {84, 88, 91}, down[3] = {79, 76, 72};
    wave w = silence(0.6);
    for (int k = 0; k < 3; k++)
        tone(&w, k * 0.08, note_freq(rising ? up[k] : down[k]), 0.6 - k * 0.08, 0.5, rising ? 6 : 5,
             {1.0, 0.0, 0.35, 0.0, 0.1});
    return w;
}

static wave sfx_change() {
    wave w = silence(0.28);
    double lp = 0, bp = 0;
    for (size_t i = 0; i < w.size(); i++) {
        double t = (double)i / w.size();
        double cutoff = 0.05 + 0.4 * std::sin(PI * t);
        lp += cutoff * (white() - lp);
        bp += cutoff * (lp - bp);
        w[i] = (lp - bp) * std::sin(PI * t);
    }
    return w;
}

static wave sfx_drop() {
    wave w = silence(0.22);
    double phase = 0;
    for (size_t i = 0; i < w.size(); i++) {
        double t = (double)i / RATE;
        double f = 60 + 110 * std::exp(-t * 25);
        phase += 2 * PI * f / RATE;
        w[i] = std::sin(phase) * std::exp(-t * 18) * std::min(1.0, t / 0.005);
    }
    double lp = 0;
    for (size_t i = 0; i < 600; i++) {
        lp += 0.2 * (white() - lp);
        w[i] += 0.6 * lp * std::exp(-(double)i / 150);
    }
    return w;
}

static wave sfx_bonus() {
    static const int notes[5] = {72, 76, 79, 84, 88};
    wave w = silence(0.5);
    for (int k = 0; k < 5; k++)
        tone(&w, k * 0.055, note_freq(notes[k]), 0.5 - k * 0.055, 0.45, 9,
             {1.0, 0.0, 0.3, 0.0, 0.15});
    return w;
}

static wave sfx_diamant() {
    wave w = silence(0.7);
    tone(&w, 0, 2637, 0.7, 0.6, 7, {1.0});
    tone(&w, 0, 2637 * 2.76, 0.4, 0.25, 14, {1.0});
    tone(&w, 0, 2637 * 5.4, 0.2, 0.12, 25, {1.0});
    tone(&w, 0.06, 3520, 0.6, 0.3, 8, {1.0});
    return w;
}

static wave sfx_explosion() {
    wave w = silence(1.05);
    double lp = 0, lp2 = 0;
    for (size_t i = 0; i < w.size(); i++) {
        double t = (double)i / RATE;
        double cutoff = 0.03 + 0.5 * std::exp(-t * 4);
        lp += cutoff * (white() - lp);
        lp2 += cutoff * (lp - lp2);
        double env =
            std::min(1.0, t / 0.004) * (0.3 * std::exp(-t * 14) + 0.7 * std::exp(-t * 2.2));
        w[i] = 0.5 * lp2 * env / std::sqrt(cutoff); // the rumble keeps its loudness as it darkens
    }
    double phase = 0;
    for (size_t i = 0; i < w.size(); i++) {
        double t = (double)i / RATE;
        phase += 2 * PI * (45 + 60 * std::exp(-t * 12)) / RATE;
        w[i] += 0.9 * std::sin(phase) * std::exp(-t * 6) * std::min(1.0, t / 0.003);
    }
    return w;
}

// A brassy note: a few odd and even partials with a softer attack.
static void brass(wave *w, double start, int midi, double dur, double amp) {
    tone(w, start, note_freq(midi), dur, amp, 2.5, {1.0, 0.6, 0.45, 0.3, 0.2, 0.12}, 0.02);
}

static wave sfx_fin_gagne() {
    wave w = silence(1.8);
    struct n {
        double at, dur;
        int key;
    } tune[] = {{0, 0.14, 67},    {0.14, 0.14, 67}, {0.28, 0.14, 67},
                {0.42, 0.45, 72}, {0.9, 0.2, 76},   {1.1, 0.7, 79}};
    for (auto &t : tune) {
        brass(&w, t.at, t.key, t.dur + 0.05, 0.5);
        brass(&w, t.at, t.key - 12, t.dur + 0.05, 0.2);
    }
    tone(&w, 1.1, note_freq(84), 0.7, 0.15, 3, {1.0});
    return w;
}

static wave sfx_fin_perd() {
    wave w = silence(2.2);
    static const int tune[5] = {67, 65, 63, 62, 60};
    for (int k = 0; k < 5; k++) {
        double dur = k == 4 ? 1.0 : 0.3;
        tone(&w, k * 0.3, note_freq(tune[k]), dur + 0.1, 0.5, k == 4 ? 2.0 : 4.0,
             {1.0, 0.0, 0.11, 0.0, 0.04}, 0.01);
        tone(&w, k * 0.3, note_freq(tune[k] - 12), dur + 0.1, 0.25, 3.0, {1.0, 0.3}, 0.01);
    }
    tone(&w, 1.2, note_freq(48), 1.0, 0.3, 2.0, {1.0, 0.4}, 0.02);
    tone(&w, 1.2, note_freq(51), 1.0, 0.2, 2.0, {1.0}, 0.02);
    return w;
}

static bool write_wav(const std::string &path, wave w) {
    finish(&w);
    FILE *f = fopen(path.c_str(), "wb");
    if (!f) return false;
    uint32_t data = (uint32_t)w.size() * 2;
    auto u32 = [&](uint32_t v) {
        fputc(v & 255, f), fputc((v >> 8) & 255, f), fputc((v >> 16) & 255, f), fputc(v >> 24, f);
    };
    auto u16 = [&](uint16_t v) { fputc(v & 255, f), fputc(v >> 8, f); };
    fwrite("RIFF", 1, 4, f), u32(36 + data), fwrite("WAVEfmt ", 1, 8, f);
    u32(16), u16(1), u16(1), u32(RATE), u32(RATE * 2), u16(2), u16(16);
    fwrite("data", 1, 4, f), u32(data);
    for (double v : w) {
        int s = (int)std::lround(v * 32767);
        u16((uint16_t)(int16_t)std::max(-32768, std::min(32767, s)));
    }
    return fclose(f) == 0;
}

// ---------------------------------------------------------------- music

static const int PPQ = 480, EIGHTH = PPQ / 2, BAR = 4 * PPQ;

struct midi_event {
    int tick;
    int order; // note-offs before note-ons at the same tick
    std::vector<uint8_t> bytes;
};

struct track {
    std::vector<midi_event> ev;
};

static void add(track *t, int tick, int order, std::vector<uint8_t> bytes) {
    t->ev.push_back({tick, order, bytes});
}

static void note(track *t, int ch, int tick, int dur, int key, int vel) {
    add(t, tick, 1, {(uint8_t)(0x90 | ch), (uint8_t)key, (uint8_t)vel});
    add(t, tick + dur, 0, {(uint8_t)(0x80 | ch), (uint8_t)key, 0});
}

static void setup(track *t, int ch, int program, int volume, int pan) {
    if (ch != 9) add(t, 0, 0, {(uint8_t)(0xc0 | ch), (uint8_t)program});
    add(t, 0, 0, {(uint8_t)(0xb0 | ch), 7, (uint8_t)volume});
    add(t, 0, 0, {(uint8_t)(0xb0 | ch), 10, (uint8_t)pan});
}

// "A4", "C#5", "Bb3" -> MIDI key.
static int key_of(const std::string &s) {
    static const int base[7] = {9, 11, 0, 2, 4, 5, 7}; // A B C D E F G
    int k = base[s[0] - 'A'];
    size_t i = 1;
    if (i < s.size() && s[i] == '#')
        k++, i++;
    else if (i < s.size() && s[i] == 'b')
        k--, i++;
    return k + 12 * (atoi(s.c_str() + i) + 1);
}

// A melody in "KEY:EIGHTHS" words ("r" rests); returns the tick after it.
static int melody(track *t, int ch, int tick, const char *text, int vel) {
    std::istringstream in(text);
    std::string word;
    while (in >> word) {
        size_t colon = word.find(':');
        int len = atoi(word.c_str() + colon + 1) * EIGHTH;
        std::string k = word.substr(0, colon);
        if (k != "r") note(t, ch, tick, len - 12, key_of(k), vel);
        tick += len;
    }
    return tick;
}

struct chord {
    int root; // pitch class
    bool minor;
};

static chord chord_of(const std::string &s) {
    int k = key_of(s.substr(0, s[1] == '#' || s[1] == 'b' ? 2 : 1) + "0") % 12;
    return {k, s.back() == 'm'};
}

static std::vector<chord> chords_of(const char *text) {
    std::istringstream in(text);
    std::vector<chord> out;
    std::string w;
    while (in >> w)
        out.push_back(chord_of(w));
    return out;
}

// Close triad around middle C.
static std::vector<int> voicing(chord c, int low) {
    int root = low + ((c.root - low) % 12 + 12) % 12;
    return {root, root + (c.minor ? 3 : 4), root + 7};
}

static void pad(track *t, int ch, const std::vector<chord> &cs, int vel) {
    for (size_t b = 0; b < cs.size(); b++)
        for (int k : voicing(cs[b], 53))
            note(t, ch, (int)b * BAR, BAR - 20, k, vel);
}

static void offbeat_chords(track *t, int ch, const std::vector<chord> &cs, int vel) {
    for (size_t b = 0; b < cs.size(); b++)
        for (int q = 0; q < 4; q++)
            for (int k : voicing(cs[b], 55))
                note(t, ch, (int)b * BAR + q * PPQ + EIGHTH, EIGHTH - 40, k, vel);
}

// Bass patterns over eight eighths: 'R' root, 'O' octave, 'F' fifth, '.' rest.
static void bass(track *t, int ch, const std::vector<chord> &cs, const char *pattern, int vel) {
    for (size_t b = 0; b < cs.size(); b++) {
        int root = 28 + ((cs[b].root - 28) % 12 + 12) % 12;
        size_t steps = strlen(pattern);
        int step = BAR / (int)steps;
        for (size_t i = 0; i < steps; i++) {
            int k = pattern[i] == 'R'   ? root
                    : pattern[i] == 'O' ? root + 12
                    : pattern[i] == 'F' ? root + 7
                                        : -1;
            if (k >= 0) note(t, ch, (int)b * BAR + (int)i * step, step - 30, k, vel - (i % 2) * 12);
        }
    }
}

static void harp(track *t, int ch, const std::vector<chord> &cs, int vel) {
    for (size_t b = 0; b < cs.size(); b++) {
        std::vector<int> v = voicing(cs[b], 50);
        int seq[8] = {v[0], v[1], v[2], v[0] + 12, v[1] + 12, v[2] + 12, v[0] + 24, v[2] + 12};
        for (int i = 0; i < 8; i++)
            note(t, ch, (int)b * BAR + i * EIGHTH, EIGHTH * 3, seq[i], vel - i * 3);
    }
}

// Drum bars of 16 steps: x hit, o soft hit, '.' nothing.
static void drums(track *t, int bar, const char *kick, const char *snare, const char *hat,
                  int hat_key = 42) {
    int step = BAR / 16;
    for (int i = 0; i < 16; i++) {
        int tick = bar * BAR + i * step;
        if (kick[i] != '.') note(t, 9, tick, step / 2, 36, kick[i] == 'x' ? 110 : 80);
        if (snare[i] != '.') note(t, 9, tick, step / 2, 38, snare[i] == 'x' ? 100 : 60);
        if (hat[i] != '.')
            note(t, 9, tick, step / 2, hat[i] == 'O' ? 46 : hat_key, hat[i] == 'x' ? 75 : 50);
    }
}

static void crash(track *t, int bar) {
    note(t, 9, bar * BAR, PPQ, 49, 90);
}

static bool write_midi(const std::string &path, int bpm, int bars, std::vector<track> tracks) {
    track tempo;
    int us = 60000000 / bpm;
    add(&tempo, 0, 0, {0xff, 0x51, 3, (uint8_t)(us >> 16), (uint8_t)(us >> 8), (uint8_t)us});
    add(&tempo, 0, 0, {0xff, 0x58, 4, 4, 2, 24, 8});
    tracks.insert(tracks.begin(), tempo);
    FILE *f = fopen(path.c_str(), "wb");
    if (!f) return false;
    auto be32 = [&](uint32_t v) {
        fputc(v >> 24, f), fputc((v >> 16) & 255, f), fputc((v >> 8) & 255, f), fputc(v & 255, f);
    };
    fwrite("MThd", 1, 4, f);
    be32(6);
    fputc(0, f), fputc(1, f), fputc(0, f), fputc((int)tracks.size(), f), fputc(PPQ >> 8, f),
        fputc(PPQ & 255, f);
    int end = bars * BAR;
    for (track &t : tracks) {
        std::stable_sort(t.ev.begin(), t.ev.end(), [](const midi_event &a, const midi_event &b) {
            return a.tick != b.tick ? a.tick < b.tick : a.order < b.order;
        });
        std::vector<uint8_t> data;
        int last = 0;
        auto delta = [&](int d) {
            uint8_t buf[5];
            int n = 0;
            buf[n++] = d & 0x7f;
            while (d >>= 7)
                buf[n++] = 0x80 | (d & 0x7f);
            while (n)
                data.push_back(buf[--n]);
        };
        for (const midi_event &e : t.ev) {
            int tick = std::min(e.tick, end);
            delta(tick - last);
            last = tick;
            data.insert(data.end(), e.bytes.begin(), e.bytes.end());
        }
        // Every track ends exactly on the last bar line, so the loop has no gap.
        delta(end - last);
        data.insert(data.end(), {0xff, 0x2f, 0});
        fwrite("MTrk", 1, 4, f);
        be32((uint32_t)data.size());
        fwrite(data.data(), 1, data.size(), f);
    }
    return fclose(f) == 0;
}

enum { CH_LEAD = 0, CH_PAD = 1, CH_BASS = 2, CH_EXTRA = 3, CH_DRUMS = 9 };

// Every instrument below is one that Allegro's synthesiser plays from freepats: some
// freepats patches (square lead, synth bass, distortion guitar, the string ensemble, the
// sweep pad, all the drums) load without a sound from it, and a piece made only of those
// is silence. The drums are kept for the system's MIDI device.

// Tense: A minor, clarinet lead over tremolo strings and a pulsing picked bass.
static bool piece_braises(const std::string &path) {
    std::vector<chord> cs = chords_of("Am Am F E Am Am Dm E F G Am Am F G E E");
    track lead, strings, low, kit;
    setup(&lead, CH_LEAD, 71, 80, 70), setup(&strings, CH_PAD, 44, 72, 50),
        setup(&low, CH_BASS, 34, 100, 64);
    setup(&kit, CH_DRUMS, 0, 100, 64);
    melody(
        &lead, CH_LEAD, 0,
        "E5:2 A5:2 G5:1 E5:1 C5:2 D5:2 E5:4 r:2 F5:2 E5:1 D5:1 C5:2 A4:2 B4:2 G#4:2 E4:4 "
        "E5:2 A5:2 B5:1 C6:1 B5:2 A5:2 E5:4 r:2 F5:2 E5:1 D5:1 A5:2 F5:2 E5:2 D5:1 C5:1 B4:2 G#4:2 "
        "C6:3 A5:1 F5:2 A5:2 B5:3 G5:1 D5:2 G5:2 C6:2 B5:1 A5:1 E5:4 r:2 E5:1 F5:1 G5:1 A5:1 B5:2 "
        "C6:2 A5:2 F5:2 C6:2 D6:2 B5:2 G5:2 D6:2 E6:4 B5:2 G#5:2 E5:6 r:2",
        92);
    pad(&strings, CH_PAD, cs, 58);
    bass(&low, CH_BASS, cs, "RRORRROR", 100);
    for (int b = 0; b < 16; b++) {
        bool fill = b % 4 == 3;
        drums(&kit, b, "x.......x.o.....", fill ? "....x.......x.xo" : "....x.......x...",
              b < 8 ? "x.o.x.o.x.o.x.o." : "xoxoxoxoxoxoxoxO");
    }
    crash(&kit, 0), crash(&kit, 8);
    return write_midi(path, 132, 16, {lead, strings, low, kit});
}

// Playful: C major, xylophone tune, bouncing bass and offbeat piano.
static bool piece_galerie(const std::string &path) {
    std::vector<chord> cs = chords_of("C Am F G C Am Dm G F G Em Am Dm G C C");
    track lead, keys, low, kit;
    setup(&lead, CH_LEAD, 13, 110, 74), setup(&keys, CH_PAD, 4, 70, 48),
        setup(&low, CH_BASS, 33, 100, 64);
    setup(&kit, CH_DRUMS, 0, 90, 64);
    melody(
        &lead, CH_LEAD, 0,
        "C5:1 E5:1 G5:1 E5:1 C6:2 G5:2 A5:1 G5:1 E5:1 C5:1 A4:2 r:2 F5:1 A5:1 C6:1 A5:1 F5:2 E5:1 "
        "F5:1 "
        "G5:2 D5:2 B4:2 r:2 E5:1 G5:1 C6:1 G5:1 E5:1 G5:1 C6:2 E6:2 C6:1 A5:1 E5:2 r:2 "
        "D5:1 F5:1 A5:1 D6:1 C6:2 A5:2 B5:2 G5:1 A5:1 B5:2 D6:2 "
        "C6:3 A5:1 F5:2 A5:2 B5:3 G5:1 D5:2 G5:2 E5:1 G5:1 B5:1 E6:1 D6:2 B5:2 C6:2 A5:2 E5:2 r:2 "
        "F5:1 E5:1 D5:1 E5:1 F5:2 A5:2 G5:1 F5:1 E5:1 F5:1 G5:2 B5:2 C6:2 G5:1 E5:1 C5:2 E5:2 "
        "G5:2 r:2 G4:1 A4:1 B4:2",
        100);
    offbeat_chords(&keys, CH_PAD, cs, 55);
    bass(&low, CH_BASS, cs, "R.F.O.F.", 96);
    for (int b = 0; b < 16; b++)
        drums(&kit, b, "x.......x.......", b % 8 == 7 ? "....x.......x.x." : "....x.......x...",
              "..x...x...x...x.");
    return write_midi(path, 120, 16, {lead, keys, low, kit});
}

// Driving: E minor at a run, overdriven guitar riff, halo pad, four-on-the-floor.
static bool piece_fournaise(const std::string &path) {
    std::vector<chord> cs = chords_of("Em Em C D Em Em C B C D Em Em C D B B");
    track lead, padt, low, kit;
    setup(&lead, CH_LEAD, 29, 78, 80), setup(&padt, CH_PAD, 94, 70, 44),
        setup(&low, CH_BASS, 34, 105, 64);
    setup(&kit, CH_DRUMS, 0, 100, 64);
    melody(&lead, CH_LEAD, 0,
           "E5:1 E5:1 G5:1 E5:1 B5:2 A5:1 G5:1 F#5:1 G5:1 F#5:1 E5:1 D5:2 E5:2 "
           "E5:1 E5:1 G5:1 E5:1 C6:2 B5:1 A5:1 F#5:2 A5:2 D6:2 C6:1 A5:1 "
           "B5:1 B5:1 E6:1 B5:1 G5:2 A5:1 B5:1 C6:1 B5:1 A5:1 G5:1 F#5:2 E5:2 "
           "G5:2 E5:1 G5:1 C6:2 B5:1 A5:1 B5:4 D#5:2 F#5:2 "
           "E6:2 D6:1 C6:1 B5:2 G5:2 D6:2 C6:1 B5:1 A5:2 F#5:2 G5:1 A5:1 B5:1 E6:1 D6:1 B5:1 G5:1 "
           "E5:1 "
           "B4:2 E5:2 G5:2 B5:2 C6:2 B5:1 C6:1 E6:2 C6:2 D6:2 C6:1 D6:1 F#6:2 D6:2 "
           "D#6:2 B5:2 F#5:2 B5:2 F#5:1 G5:1 A5:1 B5:1 D#6:4",
           96);
    pad(&padt, CH_PAD, cs, 52);
    bass(&low, CH_BASS, cs, "RRRRORRROOFRRRRF", 104);
    for (int b = 0; b < 16; b++)
        drums(&kit, b, "x...x...x...x...", b % 4 == 3 ? "....x.......xxxx" : "....x.......x...",
              "xoxoxoxoxoxoxoxo");
    crash(&kit, 0), crash(&kit, 4), crash(&kit, 8), crash(&kit, 12);
    return write_midi(path, 144, 16, {lead, padt, low, kit});
}

// The menu: a calm D dorian flute over harp and a halo pad, played once.
static bool piece_menu(const std::string &path) {
    std::vector<chord> cs = chords_of("Dm G Dm C Bb C Dm Dm Bb C G A Dm");
    track lead, padt, arp, low;
    setup(&lead, CH_LEAD, 73, 96, 70), setup(&padt, CH_PAD, 94, 70, 50),
        setup(&arp, CH_EXTRA, 46, 90, 60);
    setup(&low, CH_BASS, 32, 80, 64);
    melody(&lead, CH_LEAD, 0,
           "r:4 A4:2 D5:2 E5:4 D5:2 B4:2 A4:6 F4:2 G4:4 E4:2 G4:2 F4:2 Bb4:2 D5:4 C5:2 E5:2 G5:4 "
           "F5:3 E5:1 D5:2 A4:2 D5:8 D5:2 F5:2 Bb5:4 A5:2 G5:2 E5:4 D5:3 E5:1 F5:2 E5:2 C#5:4 E5:4 "
           "D5:8",
           84);
    pad(&padt, CH_PAD, cs, 50);
    harp(&arp, CH_EXTRA, std::vector<chord>(cs.begin(), cs.end() - 1), 70);
    bass(&low, CH_BASS, cs, "R.......", 80);
    return write_midi(path, 90, 13, {lead, padt, arp, low});
}

// ---------------------------------------------------------------- allegro.cfg

// Allegro's software synthesiser reads a patch list of "NUMBER FILE" lines (drums as
// 128 + key), relative to the list's own directory. The list is made from freepats'
// TiMidity configuration; "../" at the root stays at the root, so a climb of many
// levels reaches the system's patches from wherever the game is installed.
static bool write_patch_list(const std::string &run, const std::string &freepats_cfg) {
    std::ifstream in(freepats_cfg);
    if (!in) return false;
    std::string dir = "/usr/share/midi/freepats", line;
    std::vector<std::string> out;
    bool drums = false;
    while (std::getline(in, line)) {
        std::istringstream w(line);
        std::string first, file;
        if (!(w >> first) || first[0] == '#') continue;
        if (first == "dir") {
            w >> dir;
            continue;
        }
        if (first == "drumset") drums = true;
        if (first == "bank") drums = false;
        if (first == "drumset" || first == "bank" || !(w >> file)) continue;
        int number = atoi(first.c_str());
        std::string path = file[0] == '/' ? file : dir + "/" + file;
        std::string up;
        for (int i = 0; i < 32; i++)
            up += "../";
        out.push_back(std::to_string(drums ? 128 + number : number) + " " + up + path.substr(1));
    }
    FILE *f = fopen((run + "/" + FREEPATS_CFG).c_str(), "w");
    if (!f) return false;
    fprintf(f, "# Patch list for Allegro's MIDI synthesiser, made from %s.\n",
            freepats_cfg.c_str());
    for (const std::string &s : out)
        fprintf(f, "%s\n", s.c_str());
    return fclose(f) == 0 && !out.empty();
}

static bool write_allegro_cfg(const std::string &run, bool have_patches) {
    FILE *f = fopen((run + "/" + ALLEGRO_CFG).c_str(), "w");
    if (!f) return false;
    fprintf(f, "# Read by Allegro at start-up, from the game's directory.\n"
               "[sound]\n");
    if (have_patches)
        fprintf(f,
                "# Music through the software synthesiser, with Debian's freepats instruments.\n"
                "midi_card = DIGI\n"
                "patches = %s\n",
                FREEPATS_CFG);
    else
        fprintf(f, "# freepats was not installed when the game was built: the default MIDI device "
                   "plays the music.\n");
    return fclose(f) == 0;
}

int main(int argc, char **argv) {
    if (argc < 2) {
        fprintf(stderr, "usage: makesound RUN_DIR [FREEPATS_CFG]\n");
        return 2;
    }
    std::string run = argv[1];
    std::string freepats = argc > 2 ? argv[2] : "/etc/timidity/freepats.cfg";
    for (const char *d : {"", "/sounds", "/music"})
        mkdir((run + d).c_str(), 0755);
    bool ok = true;
#define SOUND_FILE(name, making)                                                                   \
    if (ok) {                                                                                      \
        std::string path = run + "/" name;                                                         \
        ok = making;                                                                               \
    }
#define CONFIG_FILE(id, name)
#include "sound_files.def"
#undef SOUND_FILE
#undef CONFIG_FILE
    if (!ok) {
        fprintf(stderr, "makesound: cannot write into %s\n", run.c_str());
        return 1;
    }
    bool patches = write_patch_list(run, freepats);
    if (!patches) {
        fprintf(stderr,
                "makesound: warning: %s not found, music will use the default MIDI device\n",
                freepats.c_str());
        FILE *f = fopen((run + "/" + FREEPATS_CFG).c_str(), "w");
        if (f) fprintf(f, "# freepats was not installed when the game was built.\n"), fclose(f);
    }
    return write_allegro_cfg(run, patches) ? 0 : 1;
}
