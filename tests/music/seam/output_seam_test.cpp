// The sound layer driving an output without a thread of its own, as the
// page's AudioWorklet output is: what it mixes on demand is the offline mix
// sample for sample, the clock is the output's while the song plays or is
// held, every start, pause, seek and stop reaches it in order, and an output
// that never mixes (the page's silent clock) gets the same course.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "music/song_files.h"
#include "music/sound_layer.h"
#include "scripted_outputs.h"

namespace {

constexpr int kRate = 44100;

class OutputSeam : public testing::Test {
  protected:
    void SetUp() override { scripted() = ScriptedOutputs{}; }

    SoundSong* open(SoundLayer& layer, int output) {
        EXPECT_EQ(layer.setOutput(output), 1);
        EXPECT_EQ(layer.setFileCallbacks(fileOpen, fileClose, fileRead, fileSeek, fileTell), 1);
        if (layer.init(kRate, 31, 0) != 1) return nullptr;
        return layer.songLoad(SORVANEL_TEST_SONG);
    }

    // The song playing from startMs on the given output; null when it is not.
    SoundSong* playing(SoundLayer& layer, int output, int startMs) {
        SoundSong* song = open(layer, output);
        if (song == nullptr || layer.songSetStartMs(song, startMs) != 1 ||
            layer.songPlay(song) != 1) {
            return nullptr;
        }
        return song;
    }

    // `frames` frames from startMs on the offline output, the volume set to
    // `volume` after `changeAt` frames.
    std::vector<std::int16_t> offline(int startMs, int frames, int changeAt = 0,
                                      int volume = kSoundMaxVolume) {
        SoundLayer layer;
        SoundSong* song = open(layer, kSoundOutputOffline);
        EXPECT_NE(song, nullptr);
        layer.songSetStartMs(song, startMs);
        layer.songPlay(song);
        std::vector<std::int16_t> out(static_cast<std::size_t>(frames) * 2);
        EXPECT_EQ(layer.songMixOffline(song, out.data(), changeAt), changeAt);
        layer.songSetMasterVolume(song, volume);
        EXPECT_EQ(layer.songMixOffline(song, out.data() + 2 * changeAt, frames - changeAt),
                  frames - changeAt);
        return out;
    }
};

TEST_F(OutputSeam, WhatTheOutputMixesOnDemandIsTheOfflineMix) {
    SoundLayer layer;
    SoundSong* song = playing(layer, kSoundOutputDevice, 14000);
    ASSERT_NE(song, nullptr);
    ASSERT_EQ(scripted().generations.size(), 1u);
    EXPECT_EQ(scripted().generations[0].size(), 8192u * 2);  // mixed ahead at the start
    // A volume step while nothing more is heard mixes nothing more; reading
    // the clock once two chunks are heard tops the mix up again.
    layer.songSetMasterVolume(song, 128);
    EXPECT_EQ(scripted().generations[0].size(), 8192u * 2);
    scripted().heardFrames = 4096;
    EXPECT_EQ(layer.songGetTimeMs(song), 14000 + 4096 * 1000 / kRate);
    ASSERT_EQ(scripted().generations[0].size(), 12288u * 2);
    EXPECT_TRUE(scripted().generations[0] == offline(14000, 12288, 8192, 128))
        << "the samples sent differ from the offline mix";
}

TEST_F(OutputSeam, TheClockIsTheOutputsAndEveryChangeReachesIt) {
    SoundLayer layer;
    SoundSong* song = open(layer, kSoundOutputDevice);
    ASSERT_NE(song, nullptr);
    ASSERT_EQ(layer.songSetStartMs(song, 1000), 1);
    EXPECT_EQ(layer.songGetTimeMs(song), 1000);  // before play: the start time
    ASSERT_EQ(layer.songPlay(song), 1);
    scripted().heardFrames = kRate;
    EXPECT_EQ(layer.songGetTimeMs(song), 2000);
    ASSERT_EQ(layer.songPause(song), 1);
    EXPECT_EQ(layer.songGetTimeMs(song), 2000);
    ASSERT_EQ(layer.songSeekMs(song, 5000), 1);
    EXPECT_EQ(layer.songGetTimeMs(song), 5000);
    ASSERT_EQ(layer.songResume(song), 1);
    scripted().heardFrames = kRate / 2;
    EXPECT_EQ(layer.songGetTimeMs(song), 5500);
    ASSERT_EQ(layer.songSeekMs(song, 9000), 1);
    scripted().heardFrames = kRate / 100;
    EXPECT_EQ(layer.songGetTimeMs(song), 9010);
    ASSERT_EQ(layer.songStop(song), 1);
    // Stopped: the tail sent plays out; the clock never goes back.
    const int stoppedMs = layer.songGetTimeMs(song);
    EXPECT_GE(stoppedMs, 9010);
    EXPECT_GE(layer.songGetTimeMs(song), stoppedMs);
    EXPECT_EQ(layer.songFree(song), 1);
    layer.close();
    const std::vector<std::string> expected = {"playFrom 1000", "holdAt 2000",   "holdAt 5000",
                                               "playFrom 5000", "playFrom 9000", "stopAt 9010",
                                               "closed"};
    EXPECT_EQ(scripted().calls, expected);
    // Held generations got nothing; each start got the song from its place.
    ASSERT_EQ(scripted().generations.size(), 5u);
    EXPECT_TRUE(scripted().generations[1].empty());
    EXPECT_TRUE(scripted().generations[2].empty());
    const std::vector<std::int16_t>& resumed = scripted().generations[3];
    ASSERT_GE(resumed.size(), 4096u * 2);
    EXPECT_TRUE(std::vector<std::int16_t>(resumed.begin(), resumed.begin() + 4096 * 2) ==
                offline(5000, 4096))
        << "the song resumed after a seek is not the offline mix from there";
}

TEST_F(OutputSeam, AnOutputThatNeverMixesGetsTheSameCourse) {
    SoundLayer layer;
    SoundSong* song = playing(layer, kSoundOutputNone, 30000);
    ASSERT_NE(song, nullptr);
    scripted().silentMs = 31234;
    EXPECT_EQ(layer.songGetTimeMs(song), 31234);
    ASSERT_EQ(layer.songPause(song), 1);
    ASSERT_EQ(layer.songResume(song), 1);
    ASSERT_EQ(layer.songSeekMs(song, 40000), 1);
    EXPECT_EQ(layer.songGetTimeMs(song), 40000);
    ASSERT_EQ(layer.songStop(song), 1);
    EXPECT_EQ(layer.songStop(song), 1);  // stopped already: nothing more to tell
    const std::vector<std::string> expected = {"playFrom 30000", "holdAt 31234", "playFrom 31234",
                                               "playFrom 40000", "stopAt 40000"};
    EXPECT_EQ(scripted().calls, expected);
    EXPECT_TRUE(scripted().generations.empty());
}

TEST_F(OutputSeam, ADeviceThatCannotOpenFailsTheInitAndLeavesTheLayerClosed) {
    scripted().deviceFails = true;
    SoundLayer layer;
    EXPECT_EQ(open(layer, kSoundOutputDevice), nullptr);
    EXPECT_EQ(layer.songLoad(SORVANEL_TEST_SONG), nullptr);  // not initialised
    EXPECT_EQ(layer.setOutput(kSoundOutputOffline), 1);      // settings still open
    scripted().deviceFails = false;
    EXPECT_EQ(layer.init(kRate, 31, 0), 1);
    EXPECT_FALSE(scripted().deviceOpen);  // offline: no device was opened
}

}  // namespace
