// The composer's parts: the Impulse Tracker writer (read back by libopenmpt),
// the note and chord notation and the tunes written in it, chord voicing, the
// synthesised samples, and the whole song being the same bytes every build.
#include <gtest/gtest.h>
#include <libopenmpt/libopenmpt.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <stdexcept>

#include "harmony.h"
#include "it_writer.h"
#include "music_test_support.h"
#include "sample_bank.h"
#include "song_builder.h"
#include "themes.h"

namespace {

it::Module smallModule() {
    it::Module m;
    m.name = "test";
    m.initialSpeed = 6;
    m.initialTempo = 150;
    m.channelPan = {16, 48};
    m.channelVolume = {64, 64};
    it::Sample s;
    s.name = "saw";
    for (int i = 0; i < 100; ++i) s.data.push_back(static_cast<std::int16_t>((i - 50) * 600));
    s.loop = true;
    s.loopStart = 0;
    s.loopEnd = 100;
    m.samples.push_back(s);
    it::Instrument ins;
    ins.name = "saw";
    m.instruments.push_back(ins);
    it::Pattern p(32, 2);
    p.at(0, 0) = {57, 1, 40, it::effect('T'), 150};
    p.at(8, 1) = {64, 1, it::kNoVolume, 0, 0};
    p.at(16, 0).note = it::kNoteOff;
    m.patterns.push_back(p);
    m.patterns.push_back(it::Pattern(64, 2));
    m.orders = {0, 1, 0};
    return m;
}

TEST(ItWriter, WritesAModuleLibopenmptReadsBackCellForCell) {
    const std::vector<std::uint8_t> bytes = it::writeModule(smallModule());
    ASSERT_GE(bytes.size(), 192u);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "IMPM");
    EXPECT_EQ(bytes[0x20], 4);  // three orders and the end marker
    EXPECT_EQ(bytes[192 + 3], 255);

    openmpt_module* mod = openmpt_module_create_from_memory2(
        bytes.data(), bytes.size(), openmpt_log_func_silent, nullptr, openmpt_error_func_ignore,
        nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(mod, nullptr);
    EXPECT_EQ(openmpt_module_get_num_orders(mod), 3);
    EXPECT_EQ(openmpt_module_get_num_patterns(mod), 2);
    EXPECT_EQ(openmpt_module_get_num_instruments(mod), 1);
    EXPECT_EQ(openmpt_module_get_pattern_num_rows(mod, 1), 64);
    auto cell = [&](int row, int ch, int what) {
        return openmpt_module_get_pattern_row_channel_command(mod, 0, row, ch, what);
    };
    EXPECT_EQ(cell(0, 0, OPENMPT_MODULE_COMMAND_NOTE), 57 + 1);  // libopenmpt counts from 1
    EXPECT_EQ(cell(0, 0, OPENMPT_MODULE_COMMAND_INSTRUMENT), 1);
    EXPECT_EQ(cell(0, 0, OPENMPT_MODULE_COMMAND_VOLUME), 40);
    EXPECT_EQ(cell(0, 0, OPENMPT_MODULE_COMMAND_PARAMETER), 150);
    EXPECT_EQ(cell(8, 1, OPENMPT_MODULE_COMMAND_NOTE), 64 + 1);
    EXPECT_EQ(cell(16, 0, OPENMPT_MODULE_COMMAND_NOTE), 255);
    EXPECT_EQ(cell(4, 0, OPENMPT_MODULE_COMMAND_NOTE), 0);
    EXPECT_NEAR(openmpt_module_get_duration_seconds(mod), (32 + 64 + 32) * 0.1, 1e-6);
    std::vector<float> audio(4410 * 2);
    openmpt_module_read_interleaved_float_stereo(mod, 44100, 4410, audio.data());
    EXPECT_GT(*std::max_element(audio.begin(), audio.end()), 0.01f);
    openmpt_module_destroy(mod);
}

TEST(Harmony, ParsesNotesChordsAndTunes) {
    EXPECT_EQ(parseNoteName("C5"), 72);
    EXPECT_EQ(parseNoteName("A4"), 69);
    EXPECT_EQ(parseNoteName("G#5"), 80);
    EXPECT_EQ(parseNoteName("Bb3"), 58);
    EXPECT_EQ(parseNoteName("H4"), -1);
    EXPECT_EQ(parseChord("Am").intervals, (std::vector<int>{0, 3, 7}));
    EXPECT_EQ(parseChord("Fmaj7").root, 5);
    EXPECT_TRUE(parseChord("E").contains(parseNoteName("G#2")));
    EXPECT_FALSE(parseChord("Am").contains(parseNoteName("G#2")));
    EXPECT_THROW(parseChord("Xm"), std::invalid_argument);
    EXPECT_THROW(parseTheme("short", "Am", "A4:15"), std::invalid_argument);
    EXPECT_THROW(parseTheme("two chords", "Am F", "A4:16"), std::invalid_argument);
    EXPECT_EQ(parseTheme("ok", "Am", "A4:8 r:8").bars[0][1].pitch, -1);
}

TEST(Harmony, TheTunesLandOnTheirChordsOnTheDownbeat) {
    int downbeats = 0, chordTones = 0;
    for (int id = 0; id < kThemeCount; ++id) {
        const Theme& t = theme(static_cast<ThemeId>(id));
        ASSERT_EQ(t.bars.size(), 8u) << t.name;
        for (std::size_t b = 0; b < t.bars.size(); ++b) {
            if (t.bars[b][0].pitch < 0) continue;
            ++downbeats;
            chordTones += t.chords[b].contains(t.bars[b][0].pitch) ? 1 : 0;
        }
    }
    EXPECT_GE(chordTones * 10, downbeats * 9);
}

TEST(Harmony, VoicingMovesAsLittleAsItCan) {
    const Chord am = parseChord("Am"), f = parseChord("F");
    const std::vector<int> first = voiceChord(am, {}, 3, 53, 74);
    ASSERT_EQ(first.size(), 3u);
    for (int p : first) EXPECT_TRUE(am.contains(p));
    const std::vector<int> next = voiceChord(f, first, 3, 53, 74);
    ASSERT_EQ(next.size(), 3u);
    int moved = 0;
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(f.contains(next[i]));
        EXPECT_GE(next[i], 53);
        EXPECT_LE(next[i], 74);
        moved += std::abs(next[i] - first[i]);
    }
    EXPECT_LE(moved, 3);  // A C E -> A C F
}

TEST(SampleBank, LoopsJoinSeamlesslyAndNothingSitsOffCentre) {
    const SampleBank bank = makeSampleBank();
    ASSERT_EQ(bank.samples.size(), static_cast<std::size_t>(kVoiceCount));
    ASSERT_EQ(bank.instruments.size(), static_cast<std::size_t>(kVoiceCount));
    for (const it::Sample& s : bank.samples) {
        SCOPED_TRACE(s.name);
        ASSERT_FALSE(s.data.empty());
        const auto [lo, hi] = std::minmax_element(s.data.begin(), s.data.end());
        EXPECT_GT(std::max(-*lo, static_cast<int>(*hi)), 16000);  // normalised
        double sum = 0.0;
        for (std::int16_t v : s.data) sum += v;
        EXPECT_LT(std::fabs(sum / s.data.size()), 400.0);
        if (!s.loop) continue;
        int steepest = 0;
        for (int i = s.loopStart + 1; i < s.loopEnd; ++i) {
            steepest = std::max(steepest, std::abs(s.data[i] - s.data[i - 1]));
        }
        EXPECT_LE(std::abs(s.data[s.loopStart] - s.data[s.loopEnd - 1]), steepest + 2);
    }
}

TEST(Song, TheComposerWritesTheSameBytesAsTheBuildDid) {
    EXPECT_EQ(songFileBytes(), readBytes(builtSongPath()));
}

}  // namespace
