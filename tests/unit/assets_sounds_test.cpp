// The generated sounds and music: every WAVE and MIDI file loads with Allegro, the
// effects are short, loud enough, not clipped and click-free, the game music loops on a
// bar line, and allegro.cfg leads the MIDI synthesiser to installed patches.
#include "test_util.h"

#include <allegro.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <set>
#include <cstdlib>
#include <fstream>
#include <sstream>

static const std::string RUN = CINDERMAZE_RUN_DIR;

struct effect_case {
    const char *name;
    double min_seconds, max_seconds;
};

TEST(AssetsSounds, EffectsLoadAndAreShortCleanAndLoud) {
    allegro_for_tests();
    const effect_case effects[] = {{"focus", 0.02, 0.2},    {"go", 0.2, 1.0},
                                   {"quit", 0.2, 1.0},      {"change", 0.1, 0.5},
                                   {"drop", 0.1, 0.5},      {"bonus", 0.2, 0.8},
                                   {"diamant", 0.2, 1.0},   {"explosion", 0.7, 1.5},
                                   {"fin_gagne", 0.8, 3.0}, {"fin_perd", 0.8, 3.0}};
    for (const effect_case &e : effects) {
        std::string path = RUN + "/sounds/" + e.name + ".wav";
        SAMPLE *s = load_sample(path.c_str());
        ASSERT_TRUE(s) << path;
        EXPECT_EQ(s->bits, 16) << e.name;
        EXPECT_EQ(s->stereo, 0) << e.name;
        EXPECT_TRUE(s->freq == 22050 || s->freq == 44100) << e.name;
        double seconds = (double)s->len / s->freq;
        EXPECT_GE(seconds, e.min_seconds) << e.name;
        EXPECT_LE(seconds, e.max_seconds) << e.name;
        // Allegro keeps 16-bit samples unsigned, centred on 0x8000.
        const uint16_t *data = (const uint16_t *)s->data;
        int peak = 0;
        for (unsigned long i = 0; i < s->len; i++)
            peak = std::max(peak, std::abs((int)data[i] - 0x8000));
        EXPECT_GT(peak, 0.6 * 32768) << e.name << " is too quiet";
        EXPECT_LT(peak, 0.8 * 32768) << e.name << " is too close to clipping";
        EXPECT_LT(std::abs((int)data[0] - 0x8000), 600) << e.name << " starts with a click";
        EXPECT_LT(std::abs((int)data[s->len - 1] - 0x8000), 600) << e.name << " ends with a click";
        destroy_sample(s);
    }
}

// A minimal reader of standard MIDI files: the end tick of each track, the tempo, and
// which channels play notes.
struct midi_facts {
    int division = 0, tempo_us = 0;
    std::vector<long> track_ends;
    std::set<int> note_channels;
    std::set<int> programs, drum_keys;
};

static bool read_midi(const std::string &path, midi_facts *f) {
    std::vector<uint8_t> b = read_file(path);
    if (b.size() < 14 || memcmp(b.data(), "MThd", 4) != 0) return false;
    int tracks = b[10] << 8 | b[11];
    f->division = b[12] << 8 | b[13];
    size_t pos = 14;
    for (int t = 0; t < tracks; t++) {
        if (pos + 8 > b.size() || memcmp(&b[pos], "MTrk", 4) != 0) return false;
        size_t len = (size_t)b[pos + 4] << 24 | b[pos + 5] << 16 | b[pos + 6] << 8 | b[pos + 7];
        size_t p = pos + 8, end = p + len;
        long tick = 0;
        int status = 0;
        while (p < end) {
            long delta = 0;
            do
                delta = delta << 7 | (b[p] & 0x7f);
            while (b[p++] & 0x80);
            tick += delta;
            if (b[p] & 0x80) status = b[p++];
            if (status == 0xff) {
                int type = b[p++], n = b[p++];
                if (type == 0x51) f->tempo_us = b[p] << 16 | b[p + 1] << 8 | b[p + 2];
                p += n;
                if (type == 0x2f) f->track_ends.push_back(tick);
            } else {
                int kind = status & 0xf0;
                if (kind == 0x90 && b[p + 1] > 0) {
                    f->note_channels.insert(status & 15);
                    if ((status & 15) == 9) f->drum_keys.insert(b[p]);
                }
                if (kind == 0xc0) f->programs.insert(b[p]);
                p += (kind == 0xc0 || kind == 0xd0) ? 1 : 2;
            }
        }
        pos = end;
    }
    return true;
}

TEST(AssetsSounds, MusicLoadsAndGamePiecesLoopOnABarLine) {
    allegro_for_tests();
    MIDI *menu = load_midi((RUN + "/sounds/MENU.mid").c_str());
    ASSERT_TRUE(menu);
    destroy_midi(menu);
    std::vector<std::string> pieces;
    FILE *ls = popen(("ls " + RUN + "/music/*.mid").c_str(), "r");
    char line[512];
    while (ls && fgets(line, sizeof line, ls)) {
        std::string s = line;
        s.erase(s.find_last_not_of("\n") + 1);
        pieces.push_back(s);
    }
    if (ls) pclose(ls);
    ASSERT_GE(pieces.size(), 3u);
    std::set<int> tempos;
    for (const std::string &p : pieces) {
        MIDI *m = load_midi(p.c_str());
        ASSERT_TRUE(m) << p;
        destroy_midi(m);
        midi_facts f;
        ASSERT_TRUE(read_midi(p, &f)) << p;
        ASSERT_FALSE(f.track_ends.empty());
        long bar = 4L * f.division;
        for (long end : f.track_ends) {
            EXPECT_EQ(end, f.track_ends[0]) << p << ": every track must end together";
            EXPECT_EQ(end % bar, 0) << p << ": the loop must fall on a bar line";
        }
        long bars = f.track_ends[0] / bar;
        EXPECT_GE(bars, 16) << p;
        EXPECT_LE(bars, 32) << p;
        int bpm = 60000000 / f.tempo_us;
        EXPECT_GE(bpm, 110) << p;
        EXPECT_LE(bpm, 150) << p;
        tempos.insert(bpm);
        EXPECT_TRUE(f.note_channels.count(9)) << p << " has no drums";
        EXPECT_GE(f.note_channels.size(), 4u) << p << " needs drums, bass, lead and pad";
    }
    EXPECT_GE(tempos.size(), 3u) << "the pieces should not all run at one pace";
}

// The instruments and drums the music asks for are among the patches freepats installs.
TEST(AssetsSounds, MusicUsesOnlyInstrumentsThePatchSetHas) {
    if (!file_exists(RUN + "/freepats.cfg") || !file_exists("/etc/timidity/freepats.cfg"))
        GTEST_SKIP() << "freepats is not installed";
    std::set<int> have;
    std::ifstream list(RUN + "/freepats.cfg");
    std::string line;
    while (std::getline(list, line))
        if (!line.empty() && line[0] != '#') have.insert(atoi(line.c_str()));
    std::vector<std::string> files = {RUN + "/sounds/MENU.mid", RUN + "/music/braises.mid",
                                      RUN + "/music/galerie.mid", RUN + "/music/fournaise.mid"};
    for (const std::string &p : files) {
        midi_facts f;
        ASSERT_TRUE(read_midi(p, &f)) << p;
        for (int program : f.programs)
            EXPECT_TRUE(have.count(program)) << p << ": no patch for program " << program;
        for (int key : f.drum_keys)
            EXPECT_TRUE(have.count(128 + key)) << p << ": no patch for drum " << key;
    }
}

TEST(AssetsSounds, AllegroCfgPointsTheSynthesiserAtInstalledPatches) {
    std::ifstream cfg(RUN + "/allegro.cfg");
    ASSERT_TRUE(cfg);
    std::stringstream text;
    text << cfg.rdbuf();
    EXPECT_NE(text.str().find("[sound]"), std::string::npos);
    if (!file_exists("/etc/timidity/freepats.cfg")) GTEST_SKIP() << "freepats is not installed";
    EXPECT_NE(text.str().find("patches = freepats.cfg"), std::string::npos);
    EXPECT_NE(text.str().find("midi_card = DIGI"), std::string::npos);
    // Every patch of the list is found from the run directory and from anywhere else.
    std::ifstream list(RUN + "/freepats.cfg");
    ASSERT_TRUE(list);
    std::string line;
    int patches = 0, drums = 0;
    while (std::getline(list, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream words(line);
        int number;
        std::string file;
        ASSERT_TRUE(words >> number >> file) << line;
        EXPECT_TRUE(file_exists(RUN + "/" + file)) << file;
        EXPECT_TRUE(file_exists("/tmp/" + file)) << file;
        patches++;
        drums += number >= 128;
    }
    EXPECT_GT(patches, 50);
    EXPECT_GT(drums, 20);
}
