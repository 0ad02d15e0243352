// The clock's arithmetic with made-up mixing times: latency is taken off,
// the clock runs on between chunks (through the audio still queued when the
// next chunk is late) but not past what was mixed, never goes back, counts
// from the start time, and offline is exactly frames / rate.
#include "music/song_clock.h"

#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;
using Clock = SongClock::Clock;

TEST(SongClock, SubtractsQueuedAudioAndRunsOnTheWallClockBetweenChunks) {
    SongClock clock;
    clock.start(0, 44100, false);
    const Clock::time_point t0 = Clock::time_point{} + 1s;
    EXPECT_EQ(clock.nowMs(t0), 0);
    clock.mixed(0, 4410, 4410, t0);  // 100 ms mixed, 100 ms queued before it
    EXPECT_EQ(clock.nowMs(t0 + 50ms), 0);
    clock.mixed(4410, 4410, 4410, t0 + 100ms);
    EXPECT_EQ(clock.nowMs(t0 + 100ms), 0);
    EXPECT_EQ(clock.nowMs(t0 + 130ms), 30);
    // A late next chunk: the output plays on through what it holds ...
    EXPECT_EQ(clock.nowMs(t0 + 250ms), 150);
    // ... and no further than what was mixed.
    EXPECT_EQ(clock.nowMs(t0 + 500ms), 200);
}

TEST(SongClock, NeverGoesBackwards) {
    SongClock clock;
    clock.start(0, 44100, false);
    const Clock::time_point t0 = Clock::time_point{} + 1s;
    clock.mixed(44100, 4410, 0, t0);
    EXPECT_EQ(clock.nowMs(t0 + 50ms), 1050);
    clock.mixed(44100, 4410, 8820, t0 + 60ms);  // the device now reports more queued
    EXPECT_EQ(clock.nowMs(t0 + 61ms), 1050);
    EXPECT_EQ(clock.nowMs(t0), 1050);  // an earlier reading time changes nothing
}

TEST(SongClock, SmoothsSmallDisagreementsOfTheOutputsReportsAndTakesLargeOnes) {
    SongClock clock;
    clock.start(0, 44100, false);
    const Clock::time_point t0 = Clock::time_point{} + 1s;
    clock.mixed(44100, 441, 0, t0);  // 1000 ms heard at t0
    // 10 ms later the output reports 8 ms queued where the clock's course
    // says none: the clock moves an eighth of the way (1 ms), not all of it.
    clock.mixed(44100 + 441, 441, 353, t0 + 10ms);
    EXPECT_EQ(clock.nowMs(t0 + 10ms), 1009);
    // A report 300 ms away (a stall, a new stream) is taken as it is.
    clock.mixed(44100 + 882, 441, 13230, t0 + 20ms);
    EXPECT_EQ(clock.nowMs(t0 + 20ms), 1009);   // never back ...
    EXPECT_EQ(clock.nowMs(t0 + 320ms), 1020);  // ... and on from the reported place
}

TEST(SongClock, CountsFromTheStartTime) {
    SongClock clock;
    clock.start(0, 44100, false);
    clock.setStart(969000);
    EXPECT_EQ(clock.nowMs(Clock::now()), 969000);
    clock.start(969000, 44100, false);
    const Clock::time_point t0 = Clock::time_point{} + 1s;
    clock.mixed(0, 441, 0, t0);
    EXPECT_EQ(clock.nowMs(t0 + 10ms), 969010);
}

TEST(SongClock, OfflineIsExactlyTheFramesMixedWhateverTheWallClockSays) {
    SongClock clock;
    clock.start(1000, 44100, true);
    const Clock::time_point t0 = Clock::time_point{} + 1s;
    clock.mixed(0, 44100, 0, t0);
    EXPECT_EQ(clock.nowMs(t0), 2000);
    EXPECT_EQ(clock.nowMs(t0 + 10s), 2000);
    clock.mixed(44100, 440, 0, t0);
    EXPECT_EQ(clock.nowMs(t0), 2009);  // 440 frames are 9.98 ms
}

}  // namespace
