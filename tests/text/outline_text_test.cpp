// OutlineText on a real context: the transform order and centring offset, the
// early returns that make no GL call, the owned copy of the text, building the
// font, and destruction with and without a current context.
#include "effects/outline_text.h"

#include <GL/gl.h>

#include <cstring>

#include "gl_test.h"
#include "text_test_support.h"

namespace {

constexpr double kTolerance = 2e-3;
constexpr double kHalfDepth = 0.5 * static_cast<double>(0.1f);

class OutlineTextTest : public GlTest {
  protected:
    void SetUp() override {
        GlTest::SetUp();
        usePixelOrtho();
    }
};

void expectAt(const FeedbackMark& m, float tag, double x, double y, double z) {
    const EyePoint e = eyeFromWindow(m.at);
    EXPECT_EQ(m.tag, tag);
    EXPECT_NEAR(e.x, x, kTolerance);
    EXPECT_NEAR(e.y, y, kTolerance);
    EXPECT_NEAR(e.z, z, 50 * kTolerance);
}

}  // namespace

TEST_F(OutlineTextTest, TranslatesThenScalesThenRotatesThenCentres) {
    OutlineText text;
    text.listBase = makeMarkerLists({'A', 'B'});
    text.setText("AB");
    text.position[0] = 10, text.position[1] = 5, text.position[2] = -20;
    text.scale[0] = 2, text.scale[1] = 3, text.scale[2] = 4;
    text.rotation[2] = 90;
    const Feedback f = captureFeedback([&] { text.draw(); });
    ASSERT_EQ(f.marks.size(), 2u);
    // 'A' starts at (-0.56, -0.25, 0.05); turned 90 degrees about z that is
    // (0.25, -0.56), scaled (0.5, -1.68, 0.2), moved by the position.
    expectAt(f.marks[0], 'A', 10.5, 3.32, -20 + 4 * kHalfDepth);
    // 'B' follows one advance further along the text's own x.
    expectAt(f.marks[1], 'B', 10.5, 6.32, -20 + 4 * kHalfDepth);
}

TEST_F(OutlineTextTest, RotatesAboutXThenYThenZ) {
    OutlineText text;
    text.listBase = makeMarkerLists({'A'});
    text.setText("A");
    text.scale[0] = text.scale[1] = text.scale[2] = 10;
    text.rotation[0] = 90;
    text.rotation[1] = 90;
    // (-0.28, -0.25, 0.05) about y by 90: (0.05, -0.25, 0.28); then about x
    // by 90: (0.05, -0.28, -0.25). The other order would give another point.
    const Feedback f = captureFeedback([&] { text.draw(); });
    ASSERT_EQ(f.marks.size(), 1u);
    expectAt(f.marks[0], 'A', 10 * kHalfDepth, -2.8, -2.5);
}

TEST_F(OutlineTextTest, ANegativeScaleMirrorsAndTenCharactersShiftByTwoPointEight) {
    OutlineText text;
    text.listBase = makeMarkerLists({'A'});
    text.setText("AAAAAAAAAA");
    text.scale[0] = -1;
    const Feedback f = captureFeedback([&] { text.draw(); });
    ASSERT_EQ(f.marks.size(), 10u);
    expectAt(f.marks[0], 'A', 2.8, -0.25, kHalfDepth);
    expectAt(f.marks[9], 'A', 2.8 - 9.0, -0.25, kHalfDepth);
}

TEST_F(OutlineTextTest, DrawsNothingWithoutFontOrTextOrWithAZeroScale) {
    const auto before = matrix(GL_MODELVIEW_MATRIX);
    glListBase(777);  // draw sets the list base only when it gets that far
    OutlineText text;
    text.setText("A");
    EXPECT_EQ(captureFeedback([&] { text.draw(); }).tokens, 0);  // no font yet

    text.listBase = makeMarkerLists({'A'});
    OutlineText noText;
    noText.listBase = text.listBase;
    EXPECT_EQ(captureFeedback([&] { noText.draw(); }).tokens, 0);
    noText.listBase = 0;  // the lists belong to `text`

    for (int axis = 0; axis < 3; ++axis) {
        text.scale[0] = text.scale[1] = text.scale[2] = 1.0;
        text.scale[axis] = 0.0;
        EXPECT_EQ(captureFeedback([&] { text.draw(); }).tokens, 0) << axis;
    }
    EXPECT_EQ(integer(GL_LIST_BASE), 777);
    EXPECT_EQ(matrix(GL_MODELVIEW_MATRIX), before);
    EXPECT_EQ(integer(GL_MODELVIEW_STACK_DEPTH), 1);
}

TEST_F(OutlineTextTest, EmptyTextDrawsNothingAndLeavesTheMatrix) {
    OutlineText text;
    text.listBase = makeMarkerLists({'A'});
    text.setText("");
    EXPECT_EQ(text.length, 0);
    const auto before = matrix(GL_MODELVIEW_MATRIX);
    EXPECT_EQ(captureFeedback([&] { text.draw(); }).tokens, 0);
    EXPECT_EQ(matrix(GL_MODELVIEW_MATRIX), before);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(OutlineTextTest, SetTextKeepsItsOwnCopy) {
    OutlineText text;
    char source[] = "TUVO";
    text.setText(source);
    source[0] = 'X';
    EXPECT_EQ(text.length, 4);
    EXPECT_STREQ(text.text, "TUVO");
    text.setText("Q7V");
    EXPECT_EQ(text.length, 3);
    EXPECT_STREQ(text.text, "Q7V");
}

TEST_F(OutlineTextTest, CreateFontBuildsTheBlockAndDestructionDeletesIt) {
    GLuint base = 0;
    {
        OutlineText text;
        text.createFont(nullptr, "Arial Black", 0.25f);
        EXPECT_FLOAT_EQ(text.depth, 0.25f);
        base = text.listBase;
        ASSERT_NE(base, 0u);
        EXPECT_TRUE(glIsList(base + 'A'));
        EXPECT_TRUE(glIsList(base + 255));
    }
    EXPECT_FALSE(glIsList(base + 'A'));
    EXPECT_FALSE(glIsList(base + 255));
}

TEST_F(OutlineTextTest, DestructionWithoutAContextLeavesTheListsAlone) {
    auto text = std::make_unique<OutlineText>();
    text->listBase = makeMarkerLists({'A'});
    const GLuint base = text->listBase;
    auto neverBuilt = std::make_unique<OutlineText>();
    gl_->releaseContext();
    text.reset();
    neverBuilt.reset();
    ASSERT_TRUE(gl_->makeCurrent());
    EXPECT_TRUE(glIsList(base + 'A'));
}
