// The picture's clock with made-up frame times: a frame shows the heard time
// plus its time to the screen (the median spacing of recent frames, stalls
// left out) and the display's own delay, less the audio offset; it holds at
// the start of a stretch of play, never goes back, and refuses wild values.
#include "music/picture_clock.h"

#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;
using Clock = PictureClock::Clock;

// Frames `period` apart from t0, `count` of them.
void frames(PictureClock& clock, Clock::time_point t0, Clock::duration period, int count) {
    for (int i = 0; i < count; ++i) clock.frameAt(t0 + i * period);
}

TEST(PictureClock, AFrameShowsTheTimeHeardWhenItReachesTheScreen) {
    PictureClock clock;
    clock.restart(0);
    EXPECT_EQ(clock.pictureMs(1000), 1000);  // no frame yet: nothing to add
    const Clock::time_point t0 = Clock::time_point{} + 1s;
    frames(clock, t0, 20ms, 10);
    EXPECT_EQ(clock.leadMs(), 20);
    EXPECT_EQ(clock.pictureMs(2000), 2020);
    ASSERT_TRUE(clock.setPresentationDelayMs(17));  // one refresh at 60 Hz
    EXPECT_EQ(clock.leadMs(), 37);
    EXPECT_EQ(clock.pictureMs(3000), 3037);
}

TEST(PictureClock, TakesTheMedianSpacingAndLeavesStallsOut) {
    PictureClock clock;
    const Clock::time_point t0 = Clock::time_point{} + 1s;
    frames(clock, t0, 10ms, 12);
    clock.frameAt(t0 + 11 * 10ms + 2s);         // a stall (a paused show, a compile)
    clock.frameAt(t0 + 11 * 10ms + 2s + 40ms);  // one slow frame
    EXPECT_EQ(clock.leadMs(), 10);
    // The last 15 spacings count: a run of slower frames takes over.
    frames(clock, t0 + 10s, 30ms, 16);
    EXPECT_EQ(clock.leadMs(), 30);
}

TEST(PictureClock, WhereTheHostTellsOfEachSwapTheFrameIsTimedToTheSwap) {
    PictureClock clock;
    const Clock::time_point t0 = Clock::time_point{} + 1s;
    // Frames 20 ms apart whose swap returns 12 ms after the clock is read:
    // the rest of each turn is the host's, before the next frame.
    for (int i = 0; i < 10; ++i) {
        clock.frameAt(t0 + i * 20ms);
        clock.frameShown(t0 + i * 20ms + 12ms);
    }
    EXPECT_EQ(clock.leadMs(), 12);
    clock.frameShown(t0 + 10s);  // a second word for one frame counts once
    EXPECT_EQ(clock.leadMs(), 12);
}

TEST(PictureClock, AnAudioOffsetHoldsThePictureBackWithoutGoingBack) {
    PictureClock clock;
    clock.restart(5000);
    ASSERT_TRUE(clock.setAudioOffsetMs(150));
    EXPECT_EQ(clock.audioOffsetMs(), 150);
    // The sound from 5000 on has not reached the listener yet: hold there.
    EXPECT_EQ(clock.pictureMs(5100), 5000);
    EXPECT_EQ(clock.pictureMs(5400), 5250);
    // A larger offset set live holds the picture until the sound catches up.
    ASSERT_TRUE(clock.setAudioOffsetMs(155));
    EXPECT_EQ(clock.pictureMs(5402), 5250);
    EXPECT_EQ(clock.pictureMs(5410), 5255);
    // A negative offset shows the picture earlier than the output reports.
    ASSERT_TRUE(clock.setAudioOffsetMs(-40));
    EXPECT_EQ(clock.pictureMs(5410), 5450);
    // A seek starts a new stretch: it may go back to where the seek went,
    // and shows exactly that instant until the new stretch is heard.
    clock.restart(1000);
    EXPECT_EQ(clock.pictureMs(1000), 1000);
    EXPECT_EQ(clock.pictureMs(1010), 1050);
}

TEST(PictureClock, RefusesOffsetsAndDelaysOutsideTheirRange) {
    PictureClock clock;
    EXPECT_TRUE(clock.setAudioOffsetMs(2000));
    EXPECT_TRUE(clock.setAudioOffsetMs(-2000));
    EXPECT_FALSE(clock.setAudioOffsetMs(2001));
    EXPECT_FALSE(clock.setAudioOffsetMs(-2001));
    EXPECT_EQ(clock.audioOffsetMs(), -2000);
    EXPECT_TRUE(clock.setPresentationDelayMs(0));
    EXPECT_TRUE(clock.setPresentationDelayMs(1000));
    EXPECT_FALSE(clock.setPresentationDelayMs(-1));
    EXPECT_FALSE(clock.setPresentationDelayMs(1001));
}

}  // namespace
