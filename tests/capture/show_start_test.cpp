// Starting the show part-way: the frames passed without drawing leave the
// director and the sprite burst as drawn frames would, and the lead-in drawn
// before the first frame reaches back to the last frame that repaints every
// pixel. Observed through the recording effects and frame state.
#include "frame/show_start.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "effects/sprite_burst.h"
#include "recording_scene.h"
#include "same_particles.h"
#include "show/event_timeline.h"
#include "show/scene_director.h"

namespace {

constexpr FrustumParams kHost{-5.0, 5.0, -3.75, 3.75, 1.0, 255.0};

class ShowStartTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(timeline.buildScript()); }

    bool drewSpriteBurst(int songMs) {
        log.clear();
        director.renderScene(kHost, songMs);
        return !log.named("drawSpriteBurst").empty();
    }

    EventTimeline timeline;
    CallLog log;
    RecordingEffects effects{log};
    RecordingFrameState state{log};
    SceneDirector director{timeline, effects, state};
};

TEST_F(ShowStartTest, PassedFramesStepTheLineCounterAsDrawnFramesDo) {
    EventTimeline otherTimeline;
    ASSERT_TRUE(otherTimeline.buildScript());
    SceneDirector passed{otherTimeline, effects, state};
    // The whole show at 10 frames per second, and a little beyond its end.
    for (int ms = 0; ms <= 1562000; ms += 100) {
        const bool drawn = drewSpriteBurst(ms);
        ASSERT_EQ(passed.passFrame(ms), drawn) << "at " << ms << " ms";
        ASSERT_EQ(passed.lineCounter, director.lineCounter) << "at " << ms << " ms";
        ASSERT_EQ(passed.previousLine2Bit, director.previousLine2Bit) << "at " << ms << " ms";
    }
    EXPECT_EQ(passed.lineCounter, 12);  // twelve text scenes went by
}

TEST_F(ShowStartTest, OnlyTheBurstWithoutAColourClearDrawsOverEarlierFrames) {
    EXPECT_TRUE(director.repaintsPicture(500));     // burst after a colour clear
    EXPECT_FALSE(director.repaintsPicture(17000));  // burst over the last picture
    EXPECT_FALSE(director.repaintsPicture(19199));
    EXPECT_TRUE(director.repaintsPicture(19200));     // figure A bound opaque
    EXPECT_TRUE(director.repaintsPicture(135000));    // figure C, object-linear texture
    EXPECT_TRUE(director.repaintsPicture(250000));    // figure B under a circle
    EXPECT_FALSE(director.repaintsPicture(1560500));  // the end draws nothing
    EXPECT_TRUE(director.showOverAt(1560000));
    EXPECT_FALSE(director.showOverAt(1559999));
    // Across the script only the two burst events without a colour clear
    // keep what earlier frames drew.
    int keeping = 0;
    for (const TimelineEvent* e = timeline.head; e != nullptr; e = e->next) {
        const int middle = static_cast<int>((e->start + e->end) * 500.0);
        if (!director.showOverAt(middle) && !director.repaintsPicture(middle)) ++keeping;
    }
    EXPECT_EQ(keeping, 2);
}

TEST_F(ShowStartTest, AStartPassesFramesUpToTheLastRepaintAndDrawsTheRest) {
    // The reference: every frame of the grid drawn from 0, the burst aged for
    // each frame that drew it.
    SpriteBurst reference;
    EventTimeline otherTimeline;
    ASSERT_TRUE(otherTimeline.buildScript());
    CallLog otherLog;
    RecordingEffects otherEffects{otherLog};
    RecordingFrameState otherState{otherLog};
    SceneDirector played{otherTimeline, otherEffects, otherState};
    // 18.4 s at 60 fps is frame 1104; the last repaint before it is the
    // frame at 16.983 s (frame 1019), the last of the credits' colour clears.
    for (int k = 0; k < 1019; ++k) {
        otherLog.clear();
        played.renderScene(kHost, k * 1000 / 60);
        if (!otherLog.named("drawSpriteBurst").empty()) reference.advanceAll();
    }

    SpriteBurst burst;
    ShowStart start;
    ASSERT_TRUE(start.request(18400, 60));
    start.passEarlyFrames(director, burst);
    EXPECT_EQ(start.firstFrame(), 1104);
    EXPECT_EQ(start.leadInFrame(), 1019);
    EXPECT_TRUE(sameParticles(burst, reference));
    EXPECT_EQ(burst.random.state(), reference.random.state());
    EXPECT_EQ(director.lineCounter, played.lineCounter);

    log.clear();
    EXPECT_EQ(start.drawLeadIn(director, kHost), 1);
    const std::vector<Call> times = log.named("setSongTime");
    ASSERT_EQ(times.size(), 1104u - 1019u);
    for (std::size_t i = 0; i < times.size(); ++i) {
        EXPECT_EQ(times[i].args[0], ((1019 + static_cast<int>(i)) * 1000 / 60) * 0.001);
    }
    log.clear();
    EXPECT_EQ(start.drawLeadIn(director, kHost), 1);  // once only
    EXPECT_TRUE(log.calls.empty());
}

TEST_F(ShowStartTest, StartsOnARepaintAtTheEndOrLiveDrawNoLeadIn) {
    SpriteBurst burst;
    ShowStart onFigure;
    ASSERT_TRUE(onFigure.request(30000, 60));
    onFigure.passEarlyFrames(director, burst);
    EXPECT_EQ(onFigure.leadInFrame(), onFigure.firstFrame());
    EXPECT_EQ(onFigure.firstFrame(), 1800);

    ShowStart past;
    ASSERT_TRUE(past.request(1570000, 25));
    past.passEarlyFrames(director, burst);
    EXPECT_EQ(past.leadInFrame(), past.firstFrame());
    log.clear();
    EXPECT_EQ(past.drawLeadIn(director, kHost), 1);
    EXPECT_TRUE(log.calls.empty());

    // A live start passes even the frames of the burst's trails.
    ShowStart live;
    ASSERT_TRUE(live.request(18400, 60));
    live.passEarlyFrames(director, burst, false);
    EXPECT_EQ(live.leadInFrame(), live.firstFrame());

    // Off the grid: 10 ms at 60 fps starts on frame 1 (16 ms).
    ShowStart offGrid;
    ASSERT_TRUE(offGrid.request(10, 60));
    offGrid.passEarlyFrames(director, burst);
    EXPECT_EQ(offGrid.firstFrame(), 1);
}

TEST_F(ShowStartTest, RefusesNegativeTimesAndRatesOutsideTheGrid) {
    ShowStart start;
    EXPECT_FALSE(start.request(-1, 60));
    EXPECT_FALSE(start.request(1000, 0));
    EXPECT_FALSE(start.request(1000, 1001));
    EXPECT_FALSE(start.requested());
    EXPECT_TRUE(start.request(0, 1000));
    EXPECT_TRUE(start.requested());
}

}  // namespace
