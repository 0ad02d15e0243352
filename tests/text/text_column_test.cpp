// drawTextColumn: letters one below another under yTop, drawn last to first,
// the spacing applied before the scale, in white; and a real word's pixels.
#include <GL/gl.h>

#include "effects/font_face.h"
#include "effects/font_outlines.h"
#include "effects/scene_renderer.h"
#include "gl_test.h"
#include "text_test_support.h"

namespace {

constexpr double kTolerance = 2e-3;
constexpr double kHalfDepth = 0.5 * static_cast<double>(0.1f);

class TextColumnTest : public GlTest {
  protected:
    void SetUp() override {
        GlTest::SetUp();
        usePixelOrtho();
        renderer_.text.listBase = makeMarkerLists({'A', 'B', 'C'});
    }
    SceneRenderer renderer_;
};

EyePoint at(const FeedbackMark& m) {
    return eyeFromWindow(m.at);
}

}  // namespace

TEST_F(TextColumnTest, OneLetterStandsSixUnitsBelowTheTop) {
    const Feedback f = captureFeedback(
        [&] { renderer_.drawTextColumn("A", 1.0, 0.0, 0.0, 0.0, 3.0, 20.0, -5.0); });
    ASSERT_EQ(f.marks.size(), 1u);
    EXPECT_EQ(f.marks[0].tag, 'A');
    EXPECT_NEAR(at(f.marks[0]).x, 3.0 - 0.28, kTolerance);
    EXPECT_NEAR(at(f.marks[0]).y, 20.0 - 6.0 - 0.25, kTolerance);
    EXPECT_NEAR(at(f.marks[0]).z, -5.0 + kHalfDepth, 0.1);
}

TEST_F(TextColumnTest, LettersAreDrawnLastFirstWithSpacingThatDoesNotScale) {
    const Feedback f = captureFeedback(
        [&] { renderer_.drawTextColumn("ABC", 2.0, 0.0, 0.0, 0.0, 0.0, 30.0, 0.0); });
    ASSERT_EQ(f.marks.size(), 3u);
    const char order[] = {'C', 'B', 'A'};
    for (int k = 0; k < 3; ++k) {
        const int j = 2 - k;  // index of the letter in the word
        EXPECT_EQ(f.marks[k].tag, order[k]);
        // Spacing 6 before the scale, centring offset after it.
        EXPECT_NEAR(at(f.marks[k]).y, 30.0 - 6.0 * (j + 1) - 0.25 * 2.0, kTolerance);
        EXPECT_NEAR(at(f.marks[k]).x, -0.28 * 2.0, kTolerance);
    }
    EXPECT_EQ(renderer_.text.position[1], 30.0);
}

TEST_F(TextColumnTest, TheColumnSharesOneRotationAndScale) {
    // Turned 180 degrees about z, each letter's centring offset points up and
    // right instead of down and left.
    const Feedback f = captureFeedback(
        [&] { renderer_.drawTextColumn("AB", 4.0, 0.0, 0.0, 180.0, -10.0, 0.0, 0.0); });
    ASSERT_EQ(f.marks.size(), 2u);
    EXPECT_NEAR(at(f.marks[0]).x, -10.0 + 0.28 * 4.0, kTolerance);
    EXPECT_NEAR(at(f.marks[0]).y, -12.0 + 0.25 * 4.0, kTolerance);
    EXPECT_NEAR(at(f.marks[1]).y, -6.0 + 0.25 * 4.0, kTolerance);
    EXPECT_EQ(renderer_.text.scale[1], 4.0);
}

TEST_F(TextColumnTest, EmptyTextDrawsNothingButSetsWhite) {
    glColor3f(1.0f, 0.0f, 0.0f);
    const auto before = matrix(GL_MODELVIEW_MATRIX);
    const Feedback f =
        captureFeedback([&] { renderer_.drawTextColumn("", 1.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0); });
    EXPECT_EQ(f.tokens, 0);
    EXPECT_EQ(matrix(GL_MODELVIEW_MATRIX), before);
    GLfloat colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_EQ(colour[1], 1.0f);
    EXPECT_EQ(colour[2], 1.0f);
}

using TextPixelTest = GlTest;

TEST_F(TextPixelTest, AWordLightsItsStrokesAndLeavesItsCountersDark) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, 160, 0, 120, -100, 100);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);

    SceneRenderer renderer;
    renderer.text.createFont(nullptr, "Arial Black", 0.1f);
    ASSERT_NE(renderer.text.listBase, 0u);
    renderer.text.setText("HI");
    renderer.text.scale[0] = renderer.text.scale[1] = renderer.text.scale[2] = 100.0;
    renderer.text.position[0] = 70.0;  // the text's origin lands at (14, 5)
    renderer.text.position[1] = 30.0;
    renderer.text.draw();

    const FontFaceFile face = findHeavyFontFace("Arial Black");
    FontOutlines outlines;
    ASSERT_TRUE(outlines.open(face.path, face.faceIndex));
    const double h = outlines.glyphForByte('H').advance;
    const double i = outlines.glyphForByte('I').advance;
    auto lit = [&](double emX, double emY) {
        return pixel(static_cast<int>(14 + 100 * emX), static_cast<int>(5 + 100 * emY))[0] > 128;
    };
    EXPECT_TRUE(lit(0.14, 0.35)) << "left stem of H";
    EXPECT_TRUE(lit(h / 2, 0.36)) << "bar of H";
    EXPECT_FALSE(lit(h / 2, 0.6)) << "counter of H";
    EXPECT_TRUE(lit(h + i / 2, 0.35)) << "stem of I";
    EXPECT_FALSE(lit(h / 2, 0.85)) << "above the capitals";
    EXPECT_FALSE(lit(h / 2, -0.03)) << "below the baseline";
    EXPECT_FALSE(lit(h + i + 0.05, 0.35)) << "right of the word";
}
