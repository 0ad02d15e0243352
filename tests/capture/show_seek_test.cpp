// Seeking a running show: whatever earlier frames did to the burst, its
// generator and the line counter, a seek leaves them as a fresh start at
// the target would, and its picture reaches back to the last repaint.
#include "frame/show_seek.h"

#include <gtest/gtest.h>

#include <cstring>

#include "effects/sprite_burst.h"
#include "frame/show_start.h"
#include "recording_scene.h"
#include "same_particles.h"
#include "show/event_timeline.h"
#include "show/scene_director.h"

namespace {

class ShowSeekTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(timeline.buildScript()); }

    // A show played from 0 for `frames` burst frames and past text scenes.
    void playAWhile(SceneDirector& d, SpriteBurst& burst, int frames) {
        for (int k = 0; k < frames; ++k) burst.advanceAll();
        for (int ms = 0; ms <= 400000; ms += 100) d.passFrame(ms);
    }

    EventTimeline timeline;
    CallLog log;
    RecordingEffects effects{log};
    RecordingFrameState state{log};
};

TEST_F(ShowSeekTest, ASeekLeavesTheShowAsAFreshStartThereWould) {
    for (int target : {0, 1000, 17500, 118000, 700000}) {
        SCOPED_TRACE(target);
        // The reference: a start at the target from Init.
        SpriteBurst freshBurst;
        SceneDirector fresh{timeline, effects, state};
        ShowStart freshStart;
        ASSERT_TRUE(freshStart.request(target, 60));
        freshStart.passEarlyFrames(fresh, freshBurst, true);

        // The same after a while of another show.
        SpriteBurst burst;
        SceneDirector director{timeline, effects, state};
        playAWhile(director, burst, 777);
        ShowStart start;
        ASSERT_TRUE(seekShow(target, 60, director, burst, start));
        EXPECT_TRUE(sameParticles(burst, freshBurst));
        EXPECT_EQ(burst.random.state(), freshBurst.random.state());
        EXPECT_EQ(director.lineCounter, fresh.lineCounter);
        EXPECT_EQ(director.previousLine2Bit, fresh.previousLine2Bit);
        EXPECT_EQ(start.firstFrame(), freshStart.firstFrame());
        EXPECT_EQ(start.leadInFrame(), freshStart.leadInFrame());
    }
}

TEST_F(ShowSeekTest, InTheTrailsTheNextFrameDrawsTheLeadInOnce) {
    SpriteBurst burst;
    SceneDirector director{timeline, effects, state};
    ShowStart start;
    ASSERT_TRUE(seekShow(18000, 60, director, burst, start));
    EXPECT_EQ(start.leadInFrame(), 1019);  // 16.983 s: the last frame with a colour clear
    const FrustumParams host{-5.0, 5.0, -3.75, 3.75, 1.0, 255.0};
    log.clear();
    ASSERT_EQ(start.drawLeadIn(director, host), 1);
    EXPECT_EQ(log.named("drawSpriteBurst").size(), 61u);  // 16.983 to 17.983 s
    log.clear();
    ASSERT_EQ(start.drawLeadIn(director, host), 1);
    EXPECT_TRUE(log.named("drawSpriteBurst").empty());
}

TEST_F(ShowSeekTest, ABadTargetChangesNothing) {
    SpriteBurst burst;
    SceneDirector director{timeline, effects, state};
    playAWhile(director, burst, 5);
    const SpriteBurst before = burst;
    const int counter = director.lineCounter;
    ShowStart start;
    EXPECT_FALSE(seekShow(-1, 60, director, burst, start));
    EXPECT_FALSE(seekShow(1000, 0, director, burst, start));
    EXPECT_TRUE(sameParticles(burst, before));
    EXPECT_EQ(director.lineCounter, counter);
    EXPECT_FALSE(start.requested());
}

}  // namespace
