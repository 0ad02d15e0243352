// The song player as the module's frame uses it: the call sequence and its
// failure texts, the silent and the device outputs' clock, the fade, the song
// name, and the offline output and start time for capture.
#include "music/song_player.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstring>
#include <thread>

#include "music_test_support.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// Whole milliseconds from `a` to `b`.
long long msBetween(Clock::time_point a, Clock::time_point b) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(b - a).count();
}

class SongPlayerTest : public SoundLayerTest {
  protected:
    SongPlayerTest() {
        buffer_.fill('\0');
        target_ = buffer_.data();
        player_.setSongName(builtSongPath().c_str());
    }
    ~SongPlayerTest() override {
        if (opened_) player_.close(0);
    }
    int open(int soundEnabled) {
        const int ok = player_.open(&target_, soundEnabled);
        opened_ = ok == 1;
        return ok;
    }
    void close(int fade) {
        player_.close(fade);
        opened_ = false;
    }
    std::string message() const { return std::string(buffer_.data()); }

    std::array<char, 256> buffer_;
    char* target_;
    SongPlayer player_;
    bool opened_ = false;
};

TEST_F(SongPlayerTest, MakesTheClassicCallsInOrderAndLeavesTheBufferAlone) {
    soundTraceStart(player_.layer());
    ASSERT_EQ(open(0), 1);
    player_.play();
    player_.timeMs();
    close(0);
    const std::vector<SoundCall> calls = soundTraceStop();
    const std::vector<std::string> expected = {
        "setOutput", "setFileCallbacks", "setDriver", "setMixer", "init", "loadSong",
        "play",      "getTime",          "stop",      "free",     "close"};
    EXPECT_EQ(names(calls), expected);
    EXPECT_EQ(calls[0].a, kSoundOutputNone);
    EXPECT_EQ(calls[2].a, 0);
    EXPECT_EQ(calls[3].a, 4);
    EXPECT_EQ(calls[4].a, 44100);
    EXPECT_EQ(calls[4].b, 31);
    EXPECT_EQ(calls[4].c, 0);
    EXPECT_EQ(message(), "");
}

TEST_F(SongPlayerTest, WithSoundPlaysOnTheDeviceAndItsClockFollowsWhatIsPlayed) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);  // consumes audio at real-time pace
    soundTraceStart(player_.layer());
    ASSERT_EQ(open(1), 1);
    EXPECT_EQ(soundTraceStop().front().a, kSoundOutputDevice);
    const Clock::time_point beforePlay = Clock::now();
    player_.play();
    const Clock::time_point started = Clock::now();
    // From 0: never ahead of the time since play.
    EXPECT_LE(player_.timeMs(), msBetween(beforePlay, Clock::now()) + 1);
    std::this_thread::sleep_for(800ms);
    const Clock::time_point readFrom = Clock::now();
    const int ms = player_.timeMs();
    const Clock::time_point readTo = Clock::now();
    // The device buffer (1024 frames, 23 ms) is queued ahead of what is
    // heard, and on a loaded machine SDL's thread may take the buffers late:
    // the clock follows what was played, behind the wall but still near it
    // (a clock at half speed or standing is far below).
    EXPECT_LE(ms, msBetween(beforePlay, readTo) + 1);
    EXPECT_GE(ms, msBetween(started, readFrom) - 300);
}

TEST_F(SongPlayerTest, WithSoundButNoAudioDeviceInitialisationFails) {
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    soundTraceStart(player_.layer());
    EXPECT_EQ(open(1), 0);
    const std::vector<std::string> calls = names(soundTraceStop());
    EXPECT_EQ(message(), "Sound initialization failed!");
    EXPECT_EQ(calls.back(), "init");
    EXPECT_EQ(player_.song, nullptr);
    // Nothing was left open: the same player starts without sound at once.
    EXPECT_EQ(open(0), 1);
}

TEST_F(SongPlayerTest, BadSongFilesAreNotFoundAndLeaveNothingToClose) {
    ScratchFolder folder;
    const std::vector<std::uint8_t> song = readBytes(builtSongPath());
    ASSERT_GT(song.size(), 1000u);
    struct Case {
        const char* name;
        std::vector<std::uint8_t> bytes;
        bool create;
    };
    const std::string text = "This is a text file, not a song.\n";
    std::vector<std::uint8_t> noise(4096);
    for (std::size_t i = 0; i < noise.size(); ++i)
        noise[i] = static_cast<std::uint8_t>(i * 7919 >> 3);
    const std::vector<Case> cases = {
        {"missing.it", {}, false},
        {"empty.it", {}, true},
        {"header-only.it", {song.begin(), song.begin() + 100}, true},
        {"half.it", {song.begin(), song.begin() + song.size() / 2}, true},
        {"last-byte-missing.it", {song.begin(), song.end() - 1}, true},
        {"text.it", {text.begin(), text.end()}, true},
        {"noise.it", noise, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = folder.file(c.name);
        if (c.create) writeBytes(path, c.bytes);
        buffer_.fill('\0');
        player_.setSongName(path.c_str());
        soundTraceStart(player_.layer());
        EXPECT_EQ(open(0), 0);
        const std::vector<std::string> calls = names(soundTraceStop());
        EXPECT_EQ(message(), "Soundfile not found");
        EXPECT_EQ(player_.song, nullptr);
        ASSERT_GE(calls.size(), 2u);
        EXPECT_EQ(calls[calls.size() - 2], "loadSong");
        EXPECT_EQ(calls.back(), "close");  // the player released the layer itself
    }
    player_.setSongName(builtSongPath().c_str());
    EXPECT_EQ(open(0), 1);
}

TEST_F(SongPlayerTest, WithoutSoundTheClockRunsAtRealTimeAndNeverGoesBack) {
    ASSERT_EQ(open(0), 1);
    EXPECT_EQ(player_.timeMs(), 0);
    const Clock::time_point beforePlay = Clock::now();
    player_.play();
    const Clock::time_point started = Clock::now();
    int previous = player_.timeMs();
    EXPECT_LE(previous, msBetween(beforePlay, Clock::now()) + 1);  // from 0
    while (Clock::now() - started < 600ms) {
        const int now = player_.timeMs();
        ASSERT_GE(now, previous);
        previous = now;
        std::this_thread::sleep_for(1ms);
    }
    // Never ahead of the time since play; behind it by what the silent
    // output's thread has not mixed yet, a 10 ms tick or, where a loaded
    // machine holds that thread up, more (a clock at half speed or standing
    // is far below).
    const Clock::time_point readFrom = Clock::now();
    const int ms = player_.timeMs();
    const Clock::time_point readTo = Clock::now();
    EXPECT_LE(ms, msBetween(beforePlay, readTo) + 1);
    EXPECT_GE(ms, msBetween(started, readFrom) - 200);
}

TEST_F(SongPlayerTest, FadeSetsTheVolume256TimesFourMillisecondsApartThenCloses) {
    ASSERT_EQ(open(0), 1);
    player_.play();
    soundTraceStart(player_.layer());
    const Clock::time_point begun = Clock::now();
    close(1);
    const Clock::time_point ended = Clock::now();
    const std::vector<SoundCall> calls = soundTraceStop();
    ASSERT_EQ(calls.size(), 256u + 3u);
    Clock::time_point previous = begun;
    for (int i = 0; i < 256; ++i) {
        ASSERT_EQ(calls[i].name, "setMasterVolume");
        EXPECT_EQ(calls[i].a, 256 - i);
        EXPECT_GE(calls[i].at - previous, 4ms) << "step " << i;
        previous = calls[i].at;
    }
    EXPECT_EQ(calls[256].name, "stop");
    EXPECT_EQ(calls[257].name, "free");
    EXPECT_EQ(calls[258].name, "close");
    EXPECT_GE(ended - begun, 1024ms);
}

TEST_F(SongPlayerTest, CloseWithoutFadeStopsFreesAndClosesAtOnce) {
    ASSERT_EQ(open(0), 1);
    player_.play();
    soundTraceStart(player_.layer());
    const Clock::time_point begun = Clock::now();
    close(0);
    // Well short of the 1024 ms a fade takes, even on a loaded machine.
    EXPECT_LT(Clock::now() - begun, 1000ms);
    EXPECT_EQ(names(soundTraceStop()), (std::vector<std::string>{"stop", "free", "close"}));
}

TEST_F(SongPlayerTest, SettingTheNameTwiceKeepsAPrivateCopyOfTheSecond) {
    char first[] = "first.it";
    char second[] = "second.it";
    player_.setSongName(first);
    player_.setSongName(second);
    second[0] = 'X';
    EXPECT_STREQ(player_.songName, "second.it");
    player_.setSongName(nullptr);
    EXPECT_EQ(player_.songName, nullptr);
}

TEST_F(SongPlayerTest, OfflineTheClockIsStartPlusFramesPulledExactly) {
    player_.useOfflineOutput(true);
    player_.setStartMs(969000);
    soundTraceStart(player_.layer());
    ASSERT_EQ(open(0), 1);
    EXPECT_EQ(soundTraceStop().front().a, kSoundOutputOffline);
    ASSERT_EQ(player_.play(), 1);
    EXPECT_EQ(player_.timeMs(), 969000);
    std::this_thread::sleep_for(30ms);
    EXPECT_EQ(player_.timeMs(), 969000);  // no thread runs the song on

    std::vector<std::int16_t> audio(44100 * 2);
    ASSERT_EQ(player_.mixOffline(audio.data(), 44100), 44100);
    EXPECT_EQ(player_.timeMs(), 970000);
    const int peak = std::abs(*std::max_element(
        audio.begin(), audio.end(), [](int a, int b) { return std::abs(a) < std::abs(b); }));
    EXPECT_GT(peak, 2000);  // the song, not silence
    ASSERT_EQ(player_.mixOffline(audio.data(), 441), 441);
    EXPECT_EQ(player_.timeMs(), 970010);
    ASSERT_EQ(player_.mixOffline(audio.data(), 44), 44);  // 0.998 ms
    EXPECT_EQ(player_.timeMs(), 970010);
    ASSERT_EQ(player_.mixOffline(audio.data(), 1), 1);  // 45 frames: 1.02 ms
    EXPECT_EQ(player_.timeMs(), 970011);
}

}  // namespace
