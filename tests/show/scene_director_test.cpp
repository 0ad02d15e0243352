// The director's decisions at chosen song times, observed through recording
// effects and frame state: which calls a frame makes, in which order, with
// which projection, depth function, texture and arguments.
#include "show/scene_director.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "allocation_hooks.h"
#include "effects/line_tables.h"
#include "recording_scene.h"
#include "show/event_timeline.h"
#include "show/scene_flags.h"
#include "show/show_projections.h"

namespace {

using Names = std::vector<std::string>;
using Args = std::vector<double>;

// The launcher's default frustum for a 4:3 window.
constexpr FrustumParams kHost{-5.0, 5.0, -3.75, 3.75, 1.0, 255.0};
const Args kTextProjection = {-0.5, 0.5, -0.375, 0.375, 1.0, 255.0};
const Args kHostProjection = {-5.0, 5.0, -3.75, 3.75, 1.0, 255.0};

void expectArgsNear(const Args& actual, const Args& expected, double tolerance = 1e-9) {
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < actual.size(); ++i) {
        EXPECT_NEAR(actual[i], expected[i], tolerance) << "argument " << i;
    }
}

class Director : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(timeline.buildScript()); }

    int frame(int songMs) {
        log.clear();
        return director.renderScene(kHost, songMs);
    }

    // The calls from the first call named `first` on.
    std::vector<Call> from(const std::string& first) const {
        for (std::size_t i = 0; i < log.calls.size(); ++i) {
            if (log.calls[i].name == first) return {log.calls.begin() + i, log.calls.end()};
        }
        return {};
    }

    EventTimeline timeline;
    CallLog log;
    RecordingEffects effects{log};
    RecordingFrameState state{log};
    SceneDirector director{timeline, effects, state};
};

TEST_F(Director, OpeningFrameClearsOnceAndDrawsOnlyTheSpriteBurst) {
    EXPECT_EQ(frame(500), 1);
    EXPECT_EQ(log.names(), (Names{"setSongTime", "setEventTime", "clearBuffers", "setDepthTest",
                                  "setFaceCulling", "setProjection", "bindTexture",
                                  "drawSpriteBurst", "setFaceCulling", "setDepthTest"}));
    const auto& c = log.calls;
    EXPECT_DOUBLE_EQ(c[0].args[0], 0.5);
    EXPECT_DOUBLE_EQ(c[1].args[0], 0.5);
    EXPECT_EQ(c[2].args, (Args{1, 1}));  // colour and depth in one clear
    EXPECT_EQ(c[3].args, (Args{0}));
    EXPECT_EQ(c[4].args, (Args{0}));
    EXPECT_EQ(c[5].args, (Args{-0.32, 0.32, -0.24, 0.24, 0.5, 255.0}));
    EXPECT_EQ(c[6].args, (Args{0, 0x401}));
    expectArgsNear(c[7].args,
                   {3 * director.angleA, 3 * director.angleB, 3 * director.angleC, -2.0});
    EXPECT_EQ(c[8].args, (Args{1}));
    EXPECT_EQ(c[9].args, (Args{1}));
}

TEST_F(Director, AnglesSwingAroundHalfATurn) {
    frame(0);
    EXPECT_DOUBLE_EQ(director.angleA, 180.0);
    EXPECT_DOUBLE_EQ(director.angleB, 180.0);
    EXPECT_DOUBLE_EQ(director.angleC, 180.0);

    // A quarter period after the start an angle reaches a full turn.
    frame(static_cast<int>(std::lround(29 * std::numbers::pi / 2 * 1000)));
    EXPECT_NEAR(director.angleA, 360.0, 1e-4);
    frame(static_cast<int>(std::lround(13 * std::numbers::pi / 2 * 1000)));
    EXPECT_NEAR(director.angleB, 360.0, 1e-4);
    frame(static_cast<int>(std::lround(19 * 3 * std::numbers::pi / 2 * 1000)));
    EXPECT_NEAR(director.angleC, 0.0, 1e-4);  // three quarters: the low point
}

TEST_F(Director, CreditsComeToRestAndTheTitleWordAppearsAt14_3) {
    EXPECT_EQ(frame(14300), 1);
    // The renderer keeps the frame's time; the director's clock runs 0.4 ahead.
    EXPECT_DOUBLE_EQ(log.named("setSongTime")[0].args[0], 14.3);
    EXPECT_DOUBLE_EQ(director.clockSeconds, 14.7);

    const std::vector<Call> overlays = from("setProjection");
    // Skip the sprite burst (projection, binding, draw, two enables).
    const std::vector<Call> credits(overlays.begin() + 5, overlays.end());
    ASSERT_GE(credits.size(), 3u + 8u + 3u + 32u);
    EXPECT_EQ(credits[0].name, "setProjection");
    expectArgsNear(credits[0].args, kTextProjection);
    EXPECT_EQ(credits[1].name, "setDepthFunction");
    EXPECT_EQ(credits[1].args[0], GL_LESS);
    EXPECT_EQ(credits[2].name, "bindTexture");
    EXPECT_EQ(credits[2].args, (Args{1, 0x200}));

    const char* names[] = {"SOLV", "MURALK", "TUVO", "OLP", "DUVIN", "KRALE", "Q7V", "OVK"};
    const double tops[] = {6, 30, 6, 12, 30, 18, 6, 12};
    for (int i = 0; i < 8; ++i) {
        const Call& c = credits[3 + i];
        EXPECT_EQ(c.name, "drawTextColumn");
        EXPECT_EQ(c.text, names[i]);
        // At rest: upright, at their columns, at z = -77.
        expectArgsNear(c.args, {8.0, 0, 0, 0, -17.5 + 5 * i, tops[i], -77.0}, 1e-9);
    }

    const std::vector<Call> title(credits.begin() + 11, credits.end());
    ASSERT_EQ(title.size(), 3u + 32u);
    expectArgsNear(title[0].args, kTextProjection);
    EXPECT_EQ(title[1].args[0], GL_LESS);
    EXPECT_EQ(title[2].args, (Args{2, 0x201}));
    const double scales[] = {8.32, 8.64, 8.96, 9.28};  // v = 0.4
    for (int layer = 0; layer < 4; ++layer) {
        for (int j = 0; j < 8; ++j) {
            const Call& c = title[3 + layer * 8 + j];
            EXPECT_EQ(c.name, "drawTextColumn");
            EXPECT_EQ(c.text, std::string(1, "MORROWEN"[j]));
            expectArgsNear(c.args, {scales[layer], 0, 0, 0, -17.5 + 5 * j, 6.0, -72.2}, 1e-9);
        }
    }
}

TEST_F(Director, CreditsTumbleBeforeRestAndRecedeAfterIt) {
    frame(1000);
    double largest = 0.0;
    for (const Call& c : log.named("drawTextColumn")) {
        for (int k = 1; k <= 3; ++k) largest = std::max(largest, std::abs(c.args[k]));
    }
    EXPECT_GT(largest, 45.0);  // well away from rest
    const std::vector<Call> names = log.named("drawTextColumn");
    ASSERT_EQ(names.size(), 8u);  // no title word yet
    // At 1 s (1.4 s on the credits' clock) the spread is 13.3.
    expectArgsNear(names[0].args,
                   {8.0, 33.406621645830214, 227.93042777676948, 3.3514905154729533,
                    -14.11945210705647, 17.268492976478434, -280.9836764423418},
                   1e-9);
    expectArgsNear(names[7].args,
                   {8.0, 215.4840458570553, 66.15954226624882, 238.9863153336021, 17.62285792173904,
                    1.1877379065714635, -377.43120418475644},
                   1e-9);

    frame(15000);
    const std::vector<Call> at15 = log.named("drawTextColumn");
    frame(16000);
    const std::vector<Call> at16 = log.named("drawTextColumn");
    ASSERT_EQ(at15.size(), 8u + 32u);
    ASSERT_EQ(at16.size(), 8u + 32u);
    for (int i = 0; i < 8; ++i) {
        EXPECT_NEAR(at16[i].args[6] - at15[i].args[6], 1.5646258503401358 - 23.0, 1e-6);
        EXPECT_NEAR(at16[i].args[1], 0.0, 1e-12);
    }
    // The title word comes 12 units closer per second and its layers spread.
    EXPECT_NEAR(at16[8].args[6] - at15[8].args[6], 12.0, 1e-9);
    EXPECT_NEAR(at16[8 + 24].args[0] - at15[8 + 24].args[0], 4 * 0.8, 1e-9);
}

TEST_F(Director, TextSceneOverTheBreathingFigure) {
    EXPECT_EQ(frame(40000), 1);
    EXPECT_EQ(log.names(), (Names{"setSongTime", "setEventTime", "clearBuffers",
                                  // first mesh figure
                                  "setProjection", "setDepthFunction", "bindTexture", "drawMeshA",
                                  "clearBuffers",
                                  // first line: the event time handed over once
                                  "setEventTime", "setColor", "setProjection", "setDepthFunction",
                                  "bindTexture", "drawWaveText",
                                  // second line
                                  "setEventTime", "setColor", "setProjection", "setDepthFunction",
                                  "bindTexture", "drawWaveText"}));
    const auto& c = log.calls;
    EXPECT_EQ(c[2].args, (Args{0, 1}));  // depth only
    EXPECT_EQ(c[4].args[0], GL_LESS);
    EXPECT_EQ(c[5].args, (Args{1, 0x200}));
    EXPECT_EQ(c[6].args[0], 0.20000000298023224);
    expectArgsNear({c[6].args[1], c[6].args[2], c[6].args[3]},
                   {director.angleA, director.angleB, director.angleC});
    EXPECT_EQ(c[7].args, (Args{0, 1}));

    const double local = 40.0 - 38.4;
    EXPECT_NEAR(c[8].args[0], local, 1e-9);
    EXPECT_EQ(c[9].args, (Args{1, 1, 1}));
    expectArgsNear(c[10].args, kTextProjection);
    EXPECT_EQ(c[11].args[0], GL_LESS);
    EXPECT_EQ(c[12].args, (Args{2, 0x200}));
    EXPECT_EQ(c[13].textPointer, firstLineTable[0]);
    EXPECT_EQ(c[13].args, (Args{6, -50, 8, 8, 2.9, 28, 1.5, 8, -1.25, 4, 30, 0, 0}));

    EXPECT_NEAR(c[14].args[0], local, 1e-9);
    EXPECT_EQ(c[15].args, (Args{1, 1, 1}));
    expectArgsNear(c[16].args, kTextProjection);
    EXPECT_EQ(c[18].args, (Args{1, 0x200}));
    EXPECT_EQ(c[19].textPointer, secondLineTable[0]);
    EXPECT_EQ(c[19].args, (Args{6, -50, 8, 8, 2.9, -32, -1.5, -1.6, 1.25, -4, -360, 0, 1.4}));
}

TEST_F(Director, TheFigureBreathesWithThePulse) {
    // The pulse peaks at t = 3 pi (mod 6 pi) and vanishes at multiples of 6 pi.
    frame(static_cast<int>(std::lround(15 * std::numbers::pi * 1000)));
    EXPECT_NEAR(log.named("setProjection")[0].args[4], 0.1, 1e-6);
    frame(static_cast<int>(std::lround(18 * std::numbers::pi * 1000)));
    EXPECT_NEAR(log.named("setProjection")[0].args[4], 1.0, 1e-6);
    expectArgsNear(log.named("setProjection")[0].args, {-3.2, 3.2, -2.4, 2.4, 1.0, 255.0}, 1e-6);
}

TEST_F(Director, TheLineAdvancesWhenATextSceneEnds) {
    for (int ms = 0; ms < 118000; ms += 500) {
        frame(ms);
        ASSERT_EQ(director.lineCounter, 0) << ms;
    }
    frame(118000);
    EXPECT_EQ(director.lineCounter, 1);
    frame(150000);  // the next text scene begins: no change on the rising edge
    EXPECT_EQ(director.lineCounter, 1);
    const std::vector<Call> lines = log.named("drawWaveText");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].textPointer, firstLineTable[1]);
    EXPECT_EQ(lines[1].textPointer, secondLineTable[1]);
    frame(229999);
    EXPECT_EQ(director.lineCounter, 1);
    frame(230000);
    EXPECT_EQ(director.lineCounter, 2);
}

TEST_F(Director, TheWholeShowUsesLinesZeroToEleven) {
    std::vector<int> used;
    for (int ms = 0; ms < 1560000; ms += 250) {
        frame(ms);
        for (const Call& c : log.named("drawWaveText")) {
            if (c.args[5] != 28.0) continue;  // the first line's xStart
            ASSERT_EQ(c.textPointer, firstLineTable[director.lineCounter]);
            if (used.empty() || used.back() != director.lineCounter) {
                used.push_back(director.lineCounter);
            }
        }
    }
    EXPECT_EQ(used, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}));
    EXPECT_EQ(director.lineCounter, 12);
}

TEST_F(Director, TheEmptyLastEntryOfTheFirstTableIsSkipped) {
    director.lineCounter = 12;
    frame(40000);
    const std::vector<Call> lines = log.named("drawWaveText");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].textPointer, secondLineTable[12]);
    EXPECT_EQ(lines[0].args[5], -32.0);  // the second line's values
    EXPECT_EQ(log.named("setColor").size(), 1u);
    EXPECT_EQ(log.named("bindTexture").back().args, (Args{1, 0x200}));
}

TEST_F(Director, AFadeDrawsThePanelOverTheSceneWithoutDepth) {
    frame(118000);  // 118 to 123 s: fade to black over the figure
    EXPECT_EQ(from("drawMeshA").size(), 9u);
    std::vector<Call> fade = from("drawMeshA");
    fade.erase(fade.begin());
    Names names;
    for (const Call& c : fade) names.push_back(c.name);
    EXPECT_EQ(names, (Names{"setEventTime", "setProjection", "bindTexture", "setDepthTest",
                            "setColor", "drawFullScreenPanel", "setDepthTest", "clearBuffers"}));
    EXPECT_EQ(fade[0].args[0], 0.0);
    EXPECT_EQ(fade[1].args, kHostProjection);
    EXPECT_EQ(fade[2].args, (Args{3, 0x402}));  // plain, multiplicative
    EXPECT_EQ(fade[3].args, (Args{0}));
    EXPECT_EQ(fade[4].args, (Args{1, 1, 1}));
    EXPECT_EQ(fade[5].args, (Args{1.0, 5.0, 3.75}));  // near, right, top of the host
    EXPECT_EQ(fade[6].args, (Args{1}));
    EXPECT_EQ(fade[7].args, (Args{0, 1}));
}

TEST_F(Director, FadesRiseAndFallWithTheirBlendCodes) {
    struct Case {
        int startMs, endMs;
        double binding;
        bool rising;
    };
    const Case cases[] = {
        {230000, 235000, 0x401, true},   // additive up
        {19200, 23500, 0x401, false},    // additive down
        {123000, 128000, 0x402, true},   // from black
        {118000, 123000, 0x402, false},  // to black
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.startMs);
        frame(k.startMs);
        ASSERT_EQ(log.named("drawFullScreenPanel").size(), 1u);
        const std::vector<Call> fade = from("drawFullScreenPanel");
        EXPECT_EQ(log.named("bindTexture").back().args, (Args{3, k.binding}));
        expectArgsNear(log.named("setColor").back().args, k.rising ? Args{0, 0, 0} : Args{1, 1, 1},
                       1e-6);
        frame(k.endMs - 1);
        const double w = (k.endMs - 1 - k.startMs) / 1000.0 / ((k.endMs - k.startMs) / 1000.0);
        const double f = k.rising ? w : 1 - w;
        expectArgsNear(log.named("setColor").back().args, {f, f, f}, 1e-6);
    }
}

TEST_F(Director, SwarmFollowsTheEnclosingFigureAndPrecedesTheFade) {
    frame(123000);  // 0x22 / 0x803
    EXPECT_EQ(log.runs(),
              (Names{"setSongTime",      "setEventTime",        "clearBuffers", "setProjection",
                     "setDepthFunction", "bindTexture",         "drawMeshC",    "clearBuffers",
                     "setProjection",    "setDepthFunction",    "bindTexture",  "drawMeshSwarm",
                     "setEventTime",     "setProjection",       "bindTexture",  "setDepthTest",
                     "setColor",         "drawFullScreenPanel", "setDepthTest", "clearBuffers"}));
    const Call meshC = log.named("drawMeshC")[0];
    EXPECT_EQ(meshC.args[0], 8.199999809265137);
    expectArgsNear({meshC.args[1], meshC.args[2], meshC.args[3]},
                   {3 * director.angleA, 4 * director.angleB, 4 * director.angleC});
    EXPECT_EQ(log.named("bindTexture")[0].args, (Args{4, 0x100}));

    const Call swarm = log.named("drawMeshSwarm")[0];
    EXPECT_EQ(swarm.args[0], 1.399999976158142);
    EXPECT_EQ(swarm.args[1], 5.0);
    expectArgsNear({swarm.args[2], swarm.args[3], swarm.args[4]},
                   {director.angleA, director.angleB, director.angleC});
    EXPECT_EQ(log.named("setDepthFunction")[1].args[0], GL_LEQUAL);
    EXPECT_EQ(log.named("bindTexture")[1].args, (Args{2, 0x200}));
    const double pulse = (1 - std::cos(123.0 / 3)) / 2;
    expectArgsNear(log.named("setProjection")[1].args,
                   {-3.2, 3.2, -2.4, 2.4, 1.9 + 0.4 * pulse * pulse, 255.0});
}

TEST_F(Director, TripleSwarmGrowsInThreeScales) {
    frame(1370000);
    const std::vector<Call> swarms = log.named("drawMeshSwarm");
    ASSERT_EQ(swarms.size(), 3u);
    EXPECT_EQ(swarms[0].args[0], 1.399999976158142);
    EXPECT_EQ(swarms[1].args[0], 1.600000023841858);
    EXPECT_EQ(swarms[2].args[0], 1.7999999523162842);
    // One projection and one binding serve all three.
    const std::vector<Call> tail = from("drawMeshSwarm");
    EXPECT_EQ(tail[1].name, "drawMeshSwarm");
    EXPECT_EQ(tail[2].name, "drawMeshSwarm");
    EXPECT_EQ(log.named("bindTexture").back().args, (Args{2, 0x201}));
}

TEST_F(Director, CirclesHaveTheirOwnDepthRange) {
    frame(236000);  // 0x12 / 0x1201: second figure, first circle, fade down
    EXPECT_EQ(log.named("drawMeshB")[0].args[0], 8.199999809265137);
    std::vector<Call> circle = from("drawMeshB");
    ASSERT_GE(circle.size(), 7u);
    EXPECT_EQ(circle[1].name, "clearBuffers");
    EXPECT_EQ(circle[2].name, "setEventTime");
    EXPECT_NEAR(circle[2].args[0], 1.0, 1e-9);
    EXPECT_EQ(circle[3].args, (Args{-3.2, 3.2, -2.4, 2.0, 4.0, 1024.0}));
    EXPECT_EQ(circle[4].args[0], GL_LEQUAL);
    EXPECT_EQ(circle[5].args, (Args{8, 0x201}));
    EXPECT_EQ(circle[6].name, "drawMeshCircleA");
    expectArgsNear(circle[6].args, {0.5, 6, director.angleA, director.angleB, director.angleC});
    EXPECT_EQ(circle[7].name, "setEventTime");  // the fade follows

    frame(357000);  // 0x22 / 0x2201: second circle
    circle = from("drawMeshC");
    EXPECT_EQ(circle[3].args, (Args{-3.2, 3.2, -2.4, 2.0, 4.0, 2048.0}));
    EXPECT_EQ(circle[6].name, "drawMeshCircleB");
    expectArgsNear(circle[6].args, {0.5, 6, director.angleA, director.angleB, director.angleC});
    EXPECT_TRUE(log.named("drawMeshCircleA").empty());
}

TEST_F(Director, AWidescreenFrustumOpensEveryFixedProjectionOutByItsAspect) {
    // 16:9 with the 4:3 vertical extent: a third wider than the default.
    const FrustumParams wide{-6.0 - 2.0 / 3.0, 6.0 + 2.0 / 3.0, -3.75, 3.75, 1.0, 255.0};
    const double w = 4.0 / 3.0;
    log.clear();
    director.renderScene(wide, 500);  // the sprite burst
    expectArgsNear(log.named("setProjection")[0].args,
                   {-0.32 * w, 0.32 * w, -0.24, 0.24, 0.5, 255});
    log.clear();
    director.renderScene(wide, 236000);  // second figure, first circle, fade down
    const std::vector<Call> p = log.named("setProjection");
    ASSERT_EQ(p.size(), 3u);
    EXPECT_NEAR(p[0].args[0], -3.2 * w, 1e-9);  // breathing
    EXPECT_NEAR(p[0].args[3], 2.4, 1e-9);
    expectArgsNear(p[1].args, {-3.2 * w, 3.2 * w, -2.4, 2.0, 4.0, 1024.0});
    // The fade's panel fills the host's own frustum, so it covers the width.
    expectArgsNear(p[2].args, {wide.left, wide.right, -3.75, 3.75, 1.0, 255.0});

    // A frustum taller than 4:3 heightens instead; the default changes nothing.
    log.clear();
    director.renderScene({-5.0, 5.0, -5.0, 5.0, 1.0, 255.0}, 500);
    expectArgsNear(log.named("setProjection")[0].args, {-0.32, 0.32, -0.32, 0.32, 0.5, 255});
    EXPECT_EQ(frustumWidening(kHost), 1.0);
    EXPECT_EQ(frustumWidening({-5.0, 5.0, -5.0 / (640.0 / 480.0), 5.0 / (640.0 / 480.0), 1, 255}),
              1.0);
}

TEST_F(Director, EverySelectedStepRunsInItsFixedOrder) {
    EventTimeline all;
    all.add(10.0, 0x3f, 1, 0x200, 0x3ff7, 2, 0x201, 4, 0x202);
    SceneDirector d{all, effects, state};
    log.clear();
    EXPECT_EQ(d.renderScene(kHost, 5000), 1);
    // Draws and clears only, repeats of one draw collapsed.
    Names draws;
    for (const std::string& n : log.names()) {
        const bool drawOrClear = n.rfind("draw", 0) == 0 || n == "clearBuffers";
        if (drawOrClear && (draws.empty() || draws.back() != n || n == "clearBuffers")) {
            draws.push_back(n);
        }
    }
    EXPECT_EQ(draws,
              (Names{"clearBuffers", "drawSpriteBurst", "drawMeshA", "drawMeshB", "drawMeshC",
                     "clearBuffers", "drawMeshSwarm", "drawMeshCircleA", "drawMeshCircleB",
                     "drawTextColumn", "drawWaveText", "drawFullScreenPanel", "clearBuffers",
                     "drawFullScreenPanel", "clearBuffers", "drawFullScreenPanel", "clearBuffers",
                     "drawFullScreenPanel", "clearBuffers"}));
    EXPECT_EQ(log.named("drawMeshSwarm").size(), 4u);
    EXPECT_EQ(log.named("drawTextColumn").size(), 8u + 32u);
    EXPECT_EQ(log.named("drawWaveText").size(), 2u);
    // Fades in bit order: add up, add down, to black, from black.
    Args words;
    for (const Call& c : log.named("bindTexture")) {
        if (c.args[0] == 3) words.push_back(c.args[1]);
    }
    EXPECT_EQ(words, (Args{0x401, 0x401, 0x402, 0x402}));
    const std::vector<Call> colors = log.named("setColor");
    EXPECT_EQ(colors[colors.size() - 4].args, (Args{0.5, 0.5, 0.5}));  // halfway
}

TEST_F(Director, TheShowEndsWithoutAnotherCall) {
    frame(1559999);
    EXPECT_FALSE(log.calls.empty());
    for (int ms : {1560000, 1560500, 1561000, 2000000}) {
        const FrustumParams other{-2, 2, -1, 1, 0.5, 100};
        log.clear();
        EXPECT_EQ(director.renderScene(other, ms), 0) << ms;
        EXPECT_TRUE(log.calls.empty()) << ms;
        EXPECT_DOUBLE_EQ(director.clockSeconds, ms / 1000.0);
        EXPECT_EQ(director.hostFrustum.nearVal, 0.5);
    }
}

TEST_F(Director, AnEmptyTimelineClearsAndDrawsNothing) {
    EventTimeline empty;
    SceneDirector d{empty, effects, state};
    log.clear();
    EXPECT_EQ(d.renderScene(kHost, 3000), 1);
    EXPECT_EQ(log.names(), (Names{"setSongTime", "setEventTime"}));
    EXPECT_EQ(log.calls[1].args[0], 0.0);
}

// Effects and state that do nothing, for counting the frame's own allocations.
class QuietEffects final : public SceneEffects {
  public:
    void setSongTime(double) override {}
    void setEventTime(double) override {}
    void drawSpriteBurst(double, double, double, double) override {}
    void drawMeshA(double, double, double, double) override {}
    void drawMeshB(double, double, double, double) override {}
    void drawMeshC(double, double, double, double) override {}
    void drawMeshSwarm(double, int, double, double, double) override {}
    void drawMeshCircleA(double, int, double, double, double) override {}
    void drawMeshCircleB(double, int, double, double, double) override {}
    void drawFullScreenPanel(double, double, double) override {}
    void drawTextColumn(const char*, double, double, double, double, double, double,
                        double) override {}
    void drawWaveText(const char*, double, double, double, double, double, double, double, double,
                      double, double, double, double, double) override {}
};
class QuietState final : public FrameState {
  public:
    void clearBuffers(bool, bool) override {}
    void setProjection(const FrustumParams&) override {}
    void setDepthFunction(unsigned) override {}
    void setDepthTest(bool) override {}
    void setFaceCulling(bool) override {}
    void setColor(float, float, float) override {}
    void bindTexture(std::int32_t, std::uint32_t) override {}
};

// The director's own share of a frame: with effects and state that do
// nothing, what is left is the director, and it allocates nothing. The real
// effects' share is measured on a real context (frame_allocation_test.cpp).
TEST_F(Director, TheDirectorItselfAllocatesNothing) {
    QuietEffects quietEffects;
    QuietState quietState;
    SceneDirector d{timeline, quietEffects, quietState};
    const std::size_t before = allocation_hooks::count();
    int shown = 0;
    for (int ms = 0; ms < 1562000; ms += 100) shown += d.renderScene(kHost, ms);
    EXPECT_EQ(allocation_hooks::count(), before);
    EXPECT_EQ(shown, 15600);
}

}  // namespace
