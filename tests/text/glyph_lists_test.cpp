// The extruded glyph lists on a real context: size and advance of a letter,
// caps that survive back-face culling only from their own side, walls facing
// outwards and lit from outside, and the lists that must stay empty.
#include "effects/glyph_lists.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

#include "effects/glyph_tessellator.h"
#include "gl_test.h"
#include "text_test_support.h"

namespace {

constexpr float kDepth = 0.1f;

class GlyphListsTest : public GlTest {
  protected:
    void SetUp() override {
        GlTest::SetUp();
        base_ = glGenLists(256);
        ASSERT_NE(base_, 0u);
        ASSERT_TRUE(buildGlyphLists(base_, "Arial Black", kDepth, &face_));
        usePixelOrtho();
    }
    GLuint base_ = 0;
    FontFaceFile face_;
};

// The square with a centred hole, in the contour direction of a TrueType
// (fill on the right) or PostScript outline.
GlyphShape framedSquare(bool fillOnRight) {
    Contour outer = {{0, 0}, {0, 1}, {1, 1}, {1, 0}};
    Contour hole = {{0.25, 0.25}, {0.75, 0.25}, {0.75, 0.75}, {0.25, 0.75}};
    if (!fillOnRight) {
        std::reverse(outer.begin(), outer.end());
        std::reverse(hole.begin(), hole.end());
    }
    GlyphShape shape;
    shape.contours = {outer, hole};
    shape.advance = 1.25;
    shape.fillOnRight = fillOnRight;
    return shape;
}

std::vector<FeedbackPolygon> visible(const Feedback& f) {
    std::vector<FeedbackPolygon> out;
    for (const FeedbackPolygon& p : f.polygons) {
        if (std::abs(p.area2()) > 1e-3) out.push_back(p);
    }
    return out;
}

}  // namespace

TEST_F(GlyphListsTest, CapitalMIsAboutSevenTenthsHighAndAdvancesPastItself) {
    const Feedback f = captureFeedback([&] {
        glTranslated(-60.0, -40.0, 0.0);
        glScaled(100.0, 100.0, 100.0);
        glCallList(base_ + 'M');
        glPassThrough(1.0f);
        glBegin(GL_POINTS);
        glVertex3d(0.0, 0.0, 0.0);
        glEnd();
    });
    ASSERT_FALSE(f.polygons.empty());
    double x0 = 1e9, x1 = -1e9, y0 = 1e9, y1 = -1e9, z0 = 1e9, z1 = -1e9;
    for (const FeedbackPolygon& p : f.polygons) {
        for (const FeedbackVertex& v : p.vertices) {
            const EyePoint e = eyeFromWindow(v);
            x0 = std::min(x0, e.x), x1 = std::max(x1, e.x);
            y0 = std::min(y0, e.y), y1 = std::max(y1, e.y);
            z0 = std::min(z0, e.z), z1 = std::max(z1, e.z);
        }
    }
    EXPECT_NEAR(y0, -40.0, 2.0);             // on the baseline
    EXPECT_NEAR(y1 - y0, 70.0, 8.0);         // em height 1: M is about 0.7
    EXPECT_NEAR(z1, 0.0, 0.01);              // front at z = 0
    EXPECT_NEAR(z0, -100.0 * kDepth, 0.01);  // back at z = -depth
    ASSERT_EQ(f.marks.size(), 1u);
    const double advanceEnd = eyeFromWindow(f.marks[0].at).x;
    EXPECT_GT(advanceEnd, x1);
    EXPECT_LT(advanceEnd - (-60.0), 150.0);
}

TEST_F(GlyphListsTest, CullingKeepsTheFrontCapFromTheFrontAndTheBackCapFromBehind) {
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    glFrontFace(GL_CCW);
    for (const double turn : {0.0, 180.0}) {
        const Feedback f = captureFeedback([&] {
            glLoadIdentity();
            glRotated(turn, 0.0, 1.0, 0.0);
            glScaled(100.0, 100.0, 100.0);
            glCallList(base_ + 'I');
        });
        int nearCaps = 0, farCaps = 0;
        for (const FeedbackPolygon& p : visible(f)) {
            const double z = eyeFromWindow(p.vertices[0]).z;
            // Seen from the front the front cap is at z = 0, from behind the
            // back cap at z = +10; the culled cap would lie further away.
            (std::abs(z - (turn == 0.0 ? 0.0 : 10.0)) < 0.05 ? nearCaps : farCaps)++;
        }
        EXPECT_GT(nearCaps, 0) << "turned " << turn;
        EXPECT_EQ(farCaps, 0) << "turned " << turn;
    }
    glDisable(GL_CULL_FACE);
}

TEST_F(GlyphListsTest, WallsFaceOutwardsForBothContourDirections) {
    glEnable(GL_CULL_FACE);
    GlyphTessellator tessellator;
    for (const bool fillOnRight : {true, false}) {
        const GlyphShape shape = framedSquare(fillOnRight);
        compileGlyphList(base_ + 'A', shape, tessellator.fill(shape.contours), 0.5f);
        // Looking along -x from the right, eye z is the shape's x (scale 40):
        // only walls facing +x survive, the outer right edge and the hole's
        // left edge.
        for (const double turn : {-90.0, 90.0}) {
            const Feedback f = captureFeedback([&] {
                glLoadIdentity();
                glRotated(turn, 0.0, 1.0, 0.0);
                glScaled(40.0, 40.0, 40.0);
                glCallList(base_ + 'A');
            });
            const std::vector<FeedbackPolygon> walls = visible(f);
            // Two walls of two triangles each.
            EXPECT_EQ(walls.size(), 4u) << "fillOnRight " << fillOnRight << " turn " << turn;
            for (const FeedbackPolygon& w : walls) {
                const double x = (turn < 0 ? 1.0 : -1.0) * eyeFromWindow(w.vertices[0]).z / 40.0;
                if (turn < 0) {
                    EXPECT_TRUE(std::abs(x - 1.0) < 1e-3 || std::abs(x - 0.25) < 1e-3) << x;
                } else {
                    EXPECT_TRUE(std::abs(x - 0.0) < 1e-3 || std::abs(x - 0.75) < 1e-3) << x;
                }
            }
        }
    }
    glDisable(GL_CULL_FACE);
}

TEST_F(GlyphListsTest, NormalsPointOutSoCapsAndWallsAreLitFromOutside) {
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glEnable(GL_NORMALIZE);
    const GLfloat towardsViewer[4] = {0.0f, 0.0f, 1.0f, 0.0f};
    glLightfv(GL_LIGHT0, GL_POSITION, towardsViewer);
    GlyphTessellator tessellator;
    const GlyphShape shape = framedSquare(true);
    compileGlyphList(base_ + 'A', shape, tessellator.fill(shape.contours), 0.5f);

    // Each view puts a different face of the frame under the window's centre:
    // the front cap, the back cap, the outer right wall, the outer left wall.
    struct View {
        double turn;
        double x, y, z;  // object point brought to the centre
    };
    for (const View v : {View{0, 0.1, 0.5, 0}, View{180, 0.1, 0.5, -0.5},
                         View{-90, 1.0, 0.5, -0.25}, View{90, 0.0, 0.5, -0.25}}) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glLoadIdentity();
        glRotated(v.turn, 0.0, 1.0, 0.0);
        glScaled(60.0, 60.0, 60.0);
        glTranslated(-v.x, -v.y, -v.z);
        glCallList(base_ + 'A');
        EXPECT_GT(pixel(kWidth / 2, kHeight / 2)[0], 150) << "view turned " << v.turn;
    }
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
}

TEST_F(GlyphListsTest, ByteTwoFiftyFiveAndControlCodesDrawNothing) {
    const Feedback f = captureFeedback([&] {
        glScaled(50.0, 50.0, 50.0);
        glCallList(base_ + 255);
        glCallList(base_ + 0);
        glCallList(base_ + 0x0A);
        glCallList(base_ + ' ');
    });
    EXPECT_TRUE(f.polygons.empty());
}

TEST_F(GlyphListsTest, SpaceAdvancesWithoutDrawingAndByteTwoFiftyFiveDoesNotMove) {
    auto endOf = [&](GLuint code) {
        const Feedback f = captureFeedback([&] {
            glLoadIdentity();
            glScaled(50.0, 50.0, 50.0);
            glCallList(base_ + code);
            glPassThrough(1.0f);
            glBegin(GL_POINTS);
            glVertex3d(0.0, 0.0, 0.0);
            glEnd();
        });
        EXPECT_EQ(f.marks.size(), 1u);
        return f.marks.empty() ? 0.0 : eyeFromWindow(f.marks[0].at).x;
    };
    EXPECT_GT(endOf(' '), 5.0);
    EXPECT_NEAR(endOf(255), 0.0, 1e-3);
}
