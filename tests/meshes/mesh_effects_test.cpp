// The mesh figures, swarms and circles: their copies sit where the rotation
// chains put them, the enclosing figures show their inner walls, no copies
// draw nothing, and every effect leaves the modelview matrix and the
// front-face convention as it found them.
#include <GL/gl.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "effects/scene_renderer.h"
#include "gl_test.h"
#include "host_gl_state.h"
#include "mesh_file.h"
#include "reference_matrix.h"

namespace {

using Effect = std::function<void(SceneRenderer&)>;

struct NamedEffect {
    const char* name;
    Effect draw;
};

const NamedEffect kEveryEffect[] = {
    {"sprite burst", [](SceneRenderer& r) { r.drawSpriteBurst(30.0, 60.0, 90.0, -2.0); }},
    {"mesh A", [](SceneRenderer& r) { r.drawMeshA(0.2f, 10.0, 20.0, 30.0); }},
    {"mesh B", [](SceneRenderer& r) { r.drawMeshB(8.2f, 10.0, 20.0, 30.0); }},
    {"mesh C", [](SceneRenderer& r) { r.drawMeshC(8.2f, 30.0, 80.0, 120.0); }},
    {"swarm", [](SceneRenderer& r) { r.drawMeshSwarm(1.4f, 5, 10.0, 20.0, 30.0); }},
    {"circle A", [](SceneRenderer& r) { r.drawMeshCircleA(0.5, 6, 10.0, 20.0, 30.0); }},
    {"circle B", [](SceneRenderer& r) { r.drawMeshCircleB(0.5, 6, 10.0, 20.0, 30.0); }},
    {"panel", [](SceneRenderer& r) { r.drawFullScreenPanel(1.0, 5.0, 3.75); }},
};

TEST_F(GlTest, EveryEffectLeavesTheModelviewAndFrontFaceAsItFoundThem) {
    applyHostState();
    setFrustum(-3.2, 3.2, -2.4, 2.4, 1.0, 255.0);
    SceneRenderer renderer;
    renderer.setSongTime(1234.5);
    for (const NamedEffect& effect : kEveryEffect) {
        glLoadIdentity();
        glTranslated(0.5, -0.25, -3.0);
        glRotated(17.0, 0.3, 1.0, 0.2);
        const auto before = matrix(GL_MODELVIEW_MATRIX);
        effect.draw(renderer);
        EXPECT_EQ(matrix(GL_MODELVIEW_MATRIX), before) << effect.name;
        EXPECT_EQ(integer(GL_MODELVIEW_STACK_DEPTH), 1) << effect.name;
        EXPECT_EQ(integer(GL_FRONT_FACE), GL_CCW) << effect.name;
        EXPECT_EQ(integer(GL_MATRIX_MODE), GL_MODELVIEW) << effect.name;
        EXPECT_TRUE(glIsEnabled(GL_CULL_FACE)) << effect.name;
        EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST)) << effect.name;
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << effect.name;
    }
}

TEST_F(GlTest, NoCopiesDrawNothingButStillSetWhite) {
    applyHostState();
    setFrustum(-3.2, 3.2, -2.4, 2.0, 4.0, 1024.0);
    SceneRenderer renderer;
    renderer.setSongTime(960.0);
    const Effect chains[] = {
        [](SceneRenderer& r) { r.drawMeshSwarm(1.4f, 0, 0.0, 0.0, 0.0); },
        [](SceneRenderer& r) { r.drawMeshSwarm(1.4f, -2, 0.0, 0.0, 0.0); },
        [](SceneRenderer& r) { r.drawMeshCircleA(0.5, 0, 0.0, 0.0, 0.0); },
        [](SceneRenderer& r) { r.drawMeshCircleA(0.5, -6, 0.0, 0.0, 0.0); },
        [](SceneRenderer& r) { r.drawMeshCircleB(0.5, 0, 0.0, 0.0, 0.0); },
        [](SceneRenderer& r) { r.drawMeshCircleB(0.5, -1, 0.0, 0.0, 0.0); },
    };
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    const auto empty = pixels();
    for (const Effect& chain : chains) {
        glColor3f(0.2f, 0.3f, 0.4f);
        chain(renderer);
        GLfloat colour[4];
        glGetFloatv(GL_CURRENT_COLOR, colour);
        EXPECT_EQ(colour[0], 1.0f);
        EXPECT_EQ(colour[1], 1.0f);
        EXPECT_EQ(colour[2], 1.0f);
    }
    EXPECT_EQ(pixels(), empty);
    // One copy does draw, so the empty frame above is not an accident of the view.
    renderer.drawMeshCircleA(0.5, 1, 0.0, 0.0, 0.0);
    EXPECT_NE(pixels(), empty);
}

// Every pixel white: the figure surrounds the eye and its inner walls face it.
TEST_F(GlTest, EnclosingFiguresShowTheirInnerWallsAllRound) {
    applyHostState();
    const NamedEffect figures[] = {kEveryEffect[1], kEveryEffect[2], kEveryEffect[3]};
    for (const NamedEffect& figure : figures) {
        setFrustum(-3.2, 3.2, -2.4, 2.4, 1.0, 255.0);
        glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        SceneRenderer renderer;
        figure.draw(renderer);
        const auto image = pixels();
        int white = 0;
        for (std::size_t p = 0; p < image.size(); p += 4) white += image[p] == 255 ? 1 : 0;
        EXPECT_EQ(white, kWidth * kHeight) << figure.name;
    }
    // Without the clockwise convention the same sphere is culled away entirely.
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glColor3f(1.0f, 1.0f, 1.0f);
    glScaled(8.2, 8.2, 8.2);
    BakedMeshSet{}.emitMesh4();
    const auto image = pixels();
    for (std::size_t p = 0; p < image.size(); p += 4) ASSERT_EQ(image[p], 0) << "pixel " << p / 4;
}

TEST_F(GlTest, SwarmCopiesCoincideAtSongTimeZero) {
    applyHostState();
    glDepthFunc(GL_LEQUAL);
    SceneRenderer renderer;
    renderer.setSongTime(0.0);
    const auto draw = [&](int copies) {
        setFrustum(-3.2, 3.2, -2.4, 2.4, 1.9, 255.0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        renderer.drawMeshSwarm(1.8f, copies, 40.0, 50.0, 60.0);
        return pixels();
    };
    const auto one = draw(1);
    const auto five = draw(5);
    EXPECT_EQ(five, one);
    renderer.setSongTime(30.0);
    EXPECT_NE(draw(5), one);
}

// Reads back the corners an effect sends, as object positions through an
// orthographic view of +-reach, in feedback mode.
std::vector<std::array<double, 3>> feedBackCorners(const std::function<void()>& draw, double reach,
                                                   std::size_t expected) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-reach, reach, -reach, reach, -reach, reach);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_CULL_FACE);
    std::vector<GLfloat> buffer(expected * 4 + 4096);
    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D, buffer.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    const GLint used = glRenderMode(GL_RENDER);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    std::vector<std::array<double, 3>> corners;
    for (GLint at = 0; at < used;) {
        const int count = static_cast<int>(buffer[at + 1]);
        at += 2;
        for (int v = 0; v < count; ++v, at += 3) {
            corners.push_back({(buffer[at] / viewport[2] * 2.0 - 1.0) * reach,
                               (buffer[at + 1] / viewport[3] * 2.0 - 1.0) * reach,
                               -(buffer[at + 2] * 2.0 - 1.0) * reach});
        }
    }
    return corners;
}

// Compares every corner of every copy with the mesh file's corners moved by
// that copy's reference matrix.
void expectCopiesAt(const std::vector<std::array<double, 3>>& corners, const MeshFile& mesh,
                    const std::vector<Matrix>& copies, double tolerance) {
    ASSERT_EQ(corners.size(), mesh.corners.size() * copies.size());
    int wrong = 0;
    for (std::size_t copy = 0; copy < copies.size(); ++copy) {
        for (std::size_t c = 0; c < mesh.corners.size() && wrong < 3; ++c) {
            const auto& f = mesh.corners[c];
            const auto want = transform(copies[copy], f[3], f[4], f[5]);
            const auto& got = corners[copy * mesh.corners.size() + c];
            for (int k = 0; k < 3; ++k) {
                if (std::fabs(got[k] - want[k]) > tolerance) {
                    ++wrong;
                    ADD_FAILURE() << "copy " << copy << " corner " << c << " axis " << k << ": "
                                  << got[k] << " instead of " << want[k];
                }
            }
        }
    }
}

TEST_F(GlTest, SwarmCopiesFollowTheirAccumulatedRotations) {
    const MeshFile blob = readMeshFile(1);
    ASSERT_FALSE(blob.corners.empty());
    SceneRenderer renderer;
    const double t = 37.25, scale = 1.600000023841858;
    renderer.setSongTime(t);
    const auto corners =
        feedBackCorners([&] { renderer.drawMeshSwarm(scale, 3, 10.0, 20.0, 30.0); }, 400.0,
                        3 * blob.corners.size());
    Matrix m = translation(0, 0, -180) * scaling(scale) * rotation(10, 1, 0, 0) *
               rotation(20, 0, 1, 0) * rotation(30, 0, 0, 1);
    std::vector<Matrix> copies;
    for (int k = 3; k <= 5; ++k) {
        m = m * rotation(360 * std::sin(k * t / 42), std::sin(t / 71) + 1, 0, 0);
        m = m * rotation(360 * std::cos(k * t / 59), 0, std::sin(t / 61) + 1, 0);
        m = m * rotation(360 * std::sin(k * t / 62), 0, 0, std::sin(t / 54) + 1);
        copies.push_back(m);
    }
    expectCopiesAt(corners, blob, copies, 0.05);
}

TEST_F(GlTest, CircleACopiesTurnAStepAboutXAndTwentyTimesTheTimeAboutY) {
    const MeshFile ring = readMeshFile(2);
    ASSERT_FALSE(ring.corners.empty());
    SceneRenderer renderer;
    const double t = 971.3;
    renderer.setSongTime(t);
    const auto corners = feedBackCorners(
        [&] { renderer.drawMeshCircleA(0.5, 6, 25.0, 35.0, 45.0); }, 40.0, 6 * ring.corners.size());
    Matrix m = scaling(0.5) * translation(0, 0, -21.5) * rotation(25, 1, 0, 0) *
               rotation(35, 0, 1, 0) * rotation(45, 0, 0, 1);
    std::vector<Matrix> copies;
    for (int k = 1; k <= 6; ++k) {
        m = m * rotation(60, 1, 0, 0) * rotation(20 * t, 0, 1, 0);
        copies.push_back(m);
    }
    expectCopiesAt(corners, ring, copies, 0.01);
}

TEST_F(GlTest, CircleBCopiesTurnByTheirOwnCounter) {
    const MeshFile horn = readMeshFile(3);
    ASSERT_FALSE(horn.corners.empty());
    SceneRenderer renderer;
    const double t = 1487.9;
    renderer.setSongTime(t);
    const auto corners = feedBackCorners(
        [&] { renderer.drawMeshCircleB(0.5, 4, 25.0, 35.0, 45.0); }, 40.0, 4 * horn.corners.size());
    Matrix m = scaling(0.5) * translation(0, 0, -31.5) * rotation(25, 1, 0, 0) *
               rotation(35, 0, 1, 0) * rotation(45, 0, 0, 1);
    std::vector<Matrix> copies;
    for (int k = 1; k <= 4; ++k) {
        m = m * rotation(90, 1, 0, 0) * rotation((k + 10) * t, 0, 0.4 * std::sin(t / 31) + 0.5, 0) *
            rotation((k + 10) * t, 0, 0, 0.4 * std::sin(t / 37) + 0.5);
        copies.push_back(m);
    }
    expectCopiesAt(corners, horn, copies, 0.01);
}

}  // namespace
