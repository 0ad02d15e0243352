// The sound layer's own rules: settings only before initialisation, handles
// it does not know, the volume glide measured sample by sample on the
// offline output, starting the song part-way, and the silent output's
// thread stopping with the layer.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>
#include <vector>

#include "music/song_files.h"
#include "music_test_support.h"

namespace {

using namespace std::chrono_literals;

class LayerTest : public SoundLayerTest {
  protected:
    void initialise(int output) {
        ASSERT_EQ(layer_.setOutput(output), 1);
        ASSERT_EQ(layer_.setFileCallbacks(fileOpen, fileClose, fileRead, fileSeek, fileTell), 1);
        ASSERT_EQ(layer_.init(44100, 31, 0), 1);
    }

    // Frames [0, n) of the song from `startMs` at full volume, except that
    // the volume is set to `volumeAt` after `changeAt` frames.
    std::vector<std::int16_t> render(int startMs, int n, int changeAt, int volumeAt) {
        initialise(kSoundOutputOffline);
        SoundSong* song = layer_.songLoad(builtSongPath().c_str());
        EXPECT_NE(song, nullptr);
        EXPECT_EQ(layer_.songSetStartMs(song, startMs), 1);
        EXPECT_EQ(layer_.songPlay(song), 1);
        std::vector<std::int16_t> out(static_cast<std::size_t>(n) * 2);
        EXPECT_EQ(layer_.songMixOffline(song, out.data(), changeAt), changeAt);
        layer_.songSetMasterVolume(song, volumeAt);
        EXPECT_EQ(layer_.songMixOffline(song, out.data() + 2 * changeAt, n - changeAt),
                  n - changeAt);
        layer_.close();
        return out;
    }

    SoundLayer layer_;
};

TEST_F(LayerTest, SettingsAreAcceptedOnlyBeforeInitialisation) {
    EXPECT_EQ(layer_.setOutput(7), 0);
    EXPECT_EQ(layer_.setMixer(kSoundMixerCount), 0);
    EXPECT_EQ(layer_.setDriver(-1), 0);
    EXPECT_EQ(layer_.setFileCallbacks(fileOpen, nullptr, fileRead, fileSeek, fileTell), 0);
    initialise(kSoundOutputNone);
    EXPECT_EQ(layer_.setOutput(kSoundOutputDevice), 0);
    EXPECT_EQ(layer_.setDriver(1), 0);
    EXPECT_EQ(layer_.setMixer(0), 0);
    EXPECT_EQ(layer_.init(44100, 31, 0), 0);  // already initialised
    layer_.close();
    layer_.close();  // harmless twice
    EXPECT_EQ(layer_.setOutput(kSoundOutputOffline), 1);
}

TEST_F(LayerTest, NothingLoadsBeforeInitialisationAndUnknownHandlesAreRefused) {
    ASSERT_EQ(layer_.setFileCallbacks(fileOpen, fileClose, fileRead, fileSeek, fileTell), 1);
    EXPECT_EQ(layer_.songLoad(builtSongPath().c_str()), nullptr);
    initialise(kSoundOutputOffline);
    EXPECT_EQ(layer_.songLoad(nullptr), nullptr);
    SoundSong* song = layer_.songLoad(builtSongPath().c_str());
    ASSERT_NE(song, nullptr);
    std::int16_t frame[2];
    EXPECT_EQ(layer_.songMixOffline(song, frame, 1), 0);  // not playing yet
    ASSERT_EQ(layer_.songFree(song), 1);
    EXPECT_EQ(layer_.songFree(song), 0);
    EXPECT_EQ(layer_.songPlay(song), 0);
    EXPECT_EQ(layer_.songStop(nullptr), 0);
    EXPECT_EQ(layer_.songGetTimeMs(song), 0);
    EXPECT_EQ(layer_.songSetMasterVolume(song, 10), 0);
    EXPECT_EQ(layer_.songSetStartMs(song, 10), 0);
}

TEST_F(LayerTest, PullingAudioIsRefusedUnlessTheOutputIsOffline) {
    initialise(kSoundOutputNone);
    SoundSong* song = layer_.songLoad(builtSongPath().c_str());
    ASSERT_NE(song, nullptr);
    ASSERT_EQ(layer_.songPlay(song), 1);
    std::vector<std::int16_t> audio(2048);
    EXPECT_EQ(layer_.songMixOffline(song, audio.data(), 1024), 0);
    EXPECT_EQ(layer_.songSetStartMs(song, 5000), 0);  // too late once playing
}

TEST_F(LayerTest, AVolumeChangeGlidesToItsTargetOverTenMilliseconds) {
    constexpr int kBefore = 4410;
    constexpr int kAfter = 1000;
    const std::vector<std::int16_t> full = render(20000, kBefore + kAfter, kBefore, 256);
    const std::vector<std::int16_t> cut = render(20000, kBefore + kAfter, kBefore, 0);
    for (int i = 0; i < 2 * kBefore; ++i) ASSERT_EQ(cut[i], full[i]) << i;
    double loud = 0.0;
    for (int k = 0; k < kAfter; ++k) {
        const double gain = std::max(0.0, 1.0 - (k + 1) / 441.0);
        for (int c = 0; c < 2; ++c) {
            const int i = 2 * (kBefore + k) + c;
            ASSERT_NEAR(cut[i], full[i] * gain, 1.01) << "frame " << k;
            if (k < 100) loud = std::max(loud, std::fabs(cut[i]));
        }
    }
    EXPECT_GT(loud, 500.0);  // the glide had something to fade
}

TEST_F(LayerTest, StartingPartWayPlaysWhatPlayingThroughWouldReachThere) {
    // Half a second from `at`, once by starting there and once by starting
    // earlier and pulling the frames in between, sample for sample: on a
    // row start that floating-point rounding would push a row on (14.3 s),
    // inside a row, and where a jump to the row alone would miss notes
    // still sounding from seconds before (772 s).
    for (const auto& [at, earlier] : {std::pair{14300, 0}, {100050, 60000}, {772000, 740000}}) {
        SCOPED_TRACE(at);
        const int lead = (at - earlier) * 441 / 10;
        const std::vector<std::int16_t> started = render(at, 22050, 22050, 256);
        const std::vector<std::int16_t> through = render(earlier, lead + 22050, lead + 22050, 256);
        double power = 0.0;
        for (const std::int16_t x : started) power += double(x) * x;
        EXPECT_GT(std::sqrt(power / started.size()), 1000.0);
        EXPECT_TRUE(std::equal(started.begin(), started.end(), through.begin() + 2 * lead));
    }
}

// How alike two stretches of the song are: 1 for the same audio.
double likeness(const std::vector<std::int16_t>& x, const std::vector<std::int16_t>& y) {
    double both = 0.0, a = 0.0, b = 0.0;
    for (std::size_t i = 0; i < x.size() && i < y.size(); ++i) {
        both += double(x[i]) * y[i];
        a += double(x[i]) * x[i];
        b += double(y[i]) * y[i];
    }
    return a > 0.0 && b > 0.0 ? both / std::sqrt(a * b) : 0.0;
}

TEST_F(LayerTest, PauseHoldsTheClockAndResumeAndSeekPlayOnFromTheirSongTime) {
    initialise(kSoundOutputOffline);
    SoundSong* song = layer_.songLoad(builtSongPath().c_str());
    ASSERT_NE(song, nullptr);
    EXPECT_EQ(layer_.songPause(song), 0);  // not playing yet
    ASSERT_EQ(layer_.songSetStartMs(song, 18000), 1);
    ASSERT_EQ(layer_.songPlay(song), 1);
    std::vector<std::int16_t> skipped(44100 * 2);
    ASSERT_EQ(layer_.songMixOffline(song, skipped.data(), 44100), 44100);
    ASSERT_EQ(layer_.songPause(song), 1);
    EXPECT_EQ(layer_.songGetTimeMs(song), 19000);
    EXPECT_EQ(layer_.songMixOffline(song, skipped.data(), 441), 0);  // nothing plays while paused
    EXPECT_EQ(layer_.songGetTimeMs(song), 19000);
    EXPECT_EQ(layer_.songResume(song), 1);
    EXPECT_EQ(layer_.songResume(song), 0);  // already playing
    std::vector<std::int16_t> resumed(22050 * 2);
    ASSERT_EQ(layer_.songMixOffline(song, resumed.data(), 22050), 22050);
    EXPECT_EQ(layer_.songGetTimeMs(song), 19500);

    // Back while playing, then forward while paused: each lands on its time.
    ASSERT_EQ(layer_.songSeekMs(song, 14300), 1);
    EXPECT_EQ(layer_.songGetTimeMs(song), 14300);
    std::vector<std::int16_t> back(22050 * 2);
    ASSERT_EQ(layer_.songMixOffline(song, back.data(), 22050), 22050);
    ASSERT_EQ(layer_.songPause(song), 1);
    ASSERT_EQ(layer_.songSeekMs(song, 19050), 1);
    EXPECT_EQ(layer_.songGetTimeMs(song), 19050);
    EXPECT_EQ(layer_.songMixOffline(song, skipped.data(), 441), 0);  // still paused
    ASSERT_EQ(layer_.songResume(song), 1);
    std::vector<std::int16_t> forward(22050 * 2);
    ASSERT_EQ(layer_.songMixOffline(song, forward.data(), 22050), 22050);
    EXPECT_EQ(layer_.songSeekMs(song, -1), 0);
    layer_.close();

    EXPECT_EQ(resumed, render(19000, 22050, 22050, 256));
    EXPECT_EQ(back, render(14300, 22050, 22050, 256));
    EXPECT_EQ(forward, render(19050, 22050, 22050, 256));
    // Not alike by accident: another stretch of the song is not the same.
    EXPECT_LT(likeness(forward, render(14300, 22050, 22050, 256)), 0.5);
}

TEST_F(LayerTest, TheSilentOutputStopsWithTheLayer) {
    initialise(kSoundOutputNone);
    SoundSong* song = layer_.songLoad(builtSongPath().c_str());
    ASSERT_NE(song, nullptr);
    ASSERT_EQ(layer_.songPlay(song), 1);
    std::this_thread::sleep_for(50ms);
    EXPECT_GT(layer_.songGetTimeMs(song), 0);
    layer_.close();
    EXPECT_EQ(layer_.songGetTimeMs(song), 0);  // freed with the layer
}

}  // namespace
