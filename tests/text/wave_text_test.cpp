// drawWaveText: the scrolling window with both bounds excluded, letters on
// the drum turned to face away from its axis, the sideways swings, and the
// unscrambling of the stored line, byte 0 and 255 drawing nothing.
#include <GL/gl.h>

#include <numbers>
#include <string>

#include "effects/line_scramble.h"
#include "effects/scene_renderer.h"
#include "gl_test.h"
#include "text_test_support.h"

namespace {

constexpr double kTolerance = 2e-3;
constexpr double kHalfDepth = 0.5 * static_cast<double>(0.1f);
constexpr double kPi = std::numbers::pi;

std::string scrambled(const std::string& plain) {
    std::string out;
    for (const char c : plain) {
        out.push_back(static_cast<char>(scrambleLineByteWithKeys(static_cast<std::uint8_t>(c))));
    }
    return out;
}

// The values of one call; the defaults put every letter upright at the
// front of the drum, standing still.
struct Wave {
    double scale = 1, zBase = -50, zAmplitude = 8, yAmplitude = 8, angleFactor = 1;
    double xStart = 0, letterSpacing = 1.5, scrollSpeed = 0, phasePerLetter = 0;
    double phasePerSecond = 0, yawAmplitude = 0, rollAmplitude = 0, phaseOffset = 0;
};

class WaveTextTest : public GlTest {
  protected:
    void SetUp() override {
        GlTest::SetUp();
        usePixelOrtho();
        renderer_.text.listBase = makeMarkerLists({0, 'A', 'B', 'C', 'D', 'E'});
    }
    Feedback draw(const std::string& plain, const Wave& w) {
        const std::string stored = scrambled(plain);
        return captureFeedback([&] {
            renderer_.drawWaveText(stored.c_str(), w.scale, w.zBase, w.zAmplitude, w.yAmplitude,
                                   w.angleFactor, w.xStart, w.letterSpacing, w.scrollSpeed,
                                   w.phasePerLetter, w.phasePerSecond, w.yawAmplitude,
                                   w.rollAmplitude, w.phaseOffset);
        });
    }
    static void expectAt(const FeedbackMark& m, char tag, double x, double y, double z) {
        const EyePoint e = eyeFromWindow(m.at);
        EXPECT_EQ(m.tag, tag);
        EXPECT_NEAR(e.x, x, kTolerance);
        EXPECT_NEAR(e.y, y, kTolerance);
        EXPECT_NEAR(e.z, z, 0.1);
    }
    SceneRenderer renderer_;
};

}  // namespace

TEST_F(WaveTextTest, LettersExactlyOnTheWindowBoundsAreSkipped) {
    Wave w;
    w.xStart = -30;
    w.letterSpacing = 15;  // x = -30, -15, 0, 15, 30
    const Feedback f = draw("ABCDE", w);
    ASSERT_EQ(f.marks.size(), 3u);
    // At the front of the drum: y = 0, z = zBase + zAmplitude, upright.
    expectAt(f.marks[0], 'B', -15 - 0.28, -0.25, -42 + kHalfDepth);
    expectAt(f.marks[1], 'C', 0 - 0.28, -0.25, -42 + kHalfDepth);
    expectAt(f.marks[2], 'D', 15 - 0.28, -0.25, -42 + kHalfDepth);
}

TEST_F(WaveTextTest, TheLineScrollsWithTheEventTimeAndVanishesOutsideTheWindow) {
    Wave first;  // the first line's layout: enters at the right, moves left
    first.xStart = 28;
    first.scrollSpeed = 8;
    renderer_.setEventTime(2.0);
    Feedback f = draw("AB", first);
    ASSERT_EQ(f.marks.size(), 2u);
    EXPECT_NEAR(eyeFromWindow(f.marks[0].at).x, 12 - 0.28, kTolerance);
    EXPECT_NEAR(eyeFromWindow(f.marks[1].at).x, 13.5 - 0.28, kTolerance);
    renderer_.setEventTime(10.0);  // both letters long gone past -30
    EXPECT_EQ(draw("AB", first).tokens, 0);

    Wave second;  // the second line's layout: letters run right to left
    second.xStart = -32;
    second.letterSpacing = -1.5;
    second.scrollSpeed = -1.6;
    renderer_.setEventTime(0.0);
    EXPECT_EQ(draw("AB", second).tokens, 0);  // not yet entered
    renderer_.setEventTime(5.0);
    f = draw("AB", second);
    ASSERT_EQ(f.marks.size(), 2u);
    EXPECT_NEAR(eyeFromWindow(f.marks[0].at).x, -24 - 0.28, kTolerance);
    EXPECT_NEAR(eyeFromWindow(f.marks[1].at).x, -25.5 - 0.28, kTolerance);
}

TEST_F(WaveTextTest, LettersFaceAwayFromTheDrumAxis) {
    Wave w;
    w.scale = 2;
    // Behind the axis (phase pi): turned 180 degrees about x.
    w.phaseOffset = kPi;
    Feedback f = draw("A", w);
    ASSERT_EQ(f.marks.size(), 1u);
    expectAt(f.marks[0], 'A', -0.56, 0.5, -58 - 2 * kHalfDepth);
    // On top (phase pi/2): turned 270 degrees, the face points up.
    w.phaseOffset = kPi / 2;
    f = draw("A", w);
    ASSERT_EQ(f.marks.size(), 1u);
    expectAt(f.marks[0], 'A', -0.56, 8 + 2 * kHalfDepth, -50 + 0.5);
    // Below (phase -pi/2 or 3 pi/2, the negative-cosine branch): turned 90.
    for (const double phase : {-kPi / 2, 3 * kPi / 2}) {
        w.phaseOffset = phase;
        f = draw("A", w);
        ASSERT_EQ(f.marks.size(), 1u);
        expectAt(f.marks[0], 'A', -0.56, -8 - 2 * kHalfDepth, -50 - 0.5);
    }
}

TEST_F(WaveTextTest, EachLetterAdvancesThePhaseByItsShareTimesTheAngleFactor) {
    Wave w;
    w.letterSpacing = 10;
    w.angleFactor = 2.9;
    w.phasePerLetter = kPi / (0.15915494309188485 * 2.9);  // the second letter at phase pi
    const Feedback f = draw("AB", w);
    ASSERT_EQ(f.marks.size(), 2u);
    expectAt(f.marks[0], 'A', -0.28, -0.25, -42 + kHalfDepth);
    expectAt(f.marks[1], 'B', 10 - 0.28, 0.25, -58 - kHalfDepth);
}

TEST_F(WaveTextTest, TheSwingTurnsLettersAboutYAndZ) {
    // Phase A = 16 pi after one second makes the swing sin(A / 32) = 1; the
    // offset cancels the drum angle so the letter stays at the front.
    Wave w;
    w.scale = 10;
    w.phasePerSecond = 16 * kPi;
    w.phaseOffset = -(16 * kPi) * 0.15915494309188485;
    w.yawAmplitude = 90;
    renderer_.setEventTime(1.0);
    Feedback f = draw("A", w);
    ASSERT_EQ(f.marks.size(), 1u);
    // (-0.28, -0.25, 0.05) turned 90 degrees about y: (0.05, -0.25, 0.28).
    expectAt(f.marks[0], 'A', 10 * kHalfDepth, -2.5, -42 + 2.8);
    w.yawAmplitude = 0;
    w.rollAmplitude = 90;
    f = draw("A", w);
    ASSERT_EQ(f.marks.size(), 1u);
    // Turned 90 degrees about z: (0.25, -0.28, 0.05).
    expectAt(f.marks[0], 'A', 2.5, -2.8, -42 + 10 * kHalfDepth);
}

TEST_F(WaveTextTest, BytesThatUnscrambleToZeroOrTwoFiftyFiveDrawNothing) {
    Wave w;
    w.letterSpacing = 8;  // x = 0, 8, 16, 24
    const std::string plain = {'\xff', 'A', '\0'};
    std::string stored = scrambled(plain);  // scrambled, none of them is 0
    ASSERT_EQ(stored.size(), 3u);
    stored += scrambled("B");
    ASSERT_EQ(stored.find('\0'), std::string::npos);
    const Feedback f = captureFeedback([&] {
        renderer_.drawWaveText(stored.c_str(), w.scale, w.zBase, w.zAmplitude, w.yAmplitude,
                               w.angleFactor, w.xStart, w.letterSpacing, w.scrollSpeed,
                               w.phasePerLetter, w.phasePerSecond, w.yawAmplitude, w.rollAmplitude,
                               w.phaseOffset);
    });
    ASSERT_EQ(f.marks.size(), 2u);  // marker list 0 exists but is never called
    expectAt(f.marks[0], 'A', 8 - 0.28, -0.25, -42 + kHalfDepth);
    expectAt(f.marks[1], 'B', 24 - 0.28, -0.25, -42 + kHalfDepth);
}

TEST_F(WaveTextTest, EmptyLineDrawsNothingInWhite) {
    glColor3f(0.0f, 0.0f, 1.0f);
    EXPECT_EQ(draw("", Wave{}).tokens, 0);
    GLfloat colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_EQ(colour[0], 1.0f);
    EXPECT_EQ(colour[1], 1.0f);
}
