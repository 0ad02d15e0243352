// GlFrameState on a real offscreen context: the matrices after a projection
// change, the clears, and the switches it flips.
#include "show/gl_frame_state.h"

#include <GL/gl.h>

#include "assets/texture_slot.h"
#include "gl_test.h"

namespace {

class GlFrameStateTest : public GlTest {
  protected:
    GlFrameState state{nullptr};

    static float depthAt(int x, int y) {
        float d = -1.0f;
        glReadPixels(x, y, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &d);
        return d;
    }
};

TEST_F(GlFrameStateTest, ProjectionIsTheFrustumAloneAndModelviewIsReset) {
    // Leave both matrices dirty and the projection selected.
    glMatrixMode(GL_MODELVIEW);
    glTranslated(1, 2, 3);
    glMatrixMode(GL_PROJECTION);
    glRotated(30, 0, 0, 1);

    const FrustumParams f{-3.2, 3.2, -2.4, 2.0, 4.0, 1024.0};
    state.setProjection(f);
    const auto projection = matrix(GL_PROJECTION_MATRIX);
    const auto modelview = matrix(GL_MODELVIEW_MATRIX);
    EXPECT_EQ(integer(GL_MATRIX_MODE), GL_MODELVIEW);

    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glFrustum(f.left, f.right, f.bottom, f.top, f.nearVal, f.farVal);
    const auto reference = matrix(GL_PROJECTION_MATRIX);
    for (int i = 0; i < 16; ++i) {
        EXPECT_NEAR(projection[i], reference[i], 1e-6) << i;
        EXPECT_DOUBLE_EQ(modelview[i], (i % 5 == 0) ? 1.0 : 0.0) << i;
    }
    // The asymmetric top shows: the frustum's y offset (t + b) / (t - b).
    EXPECT_NEAR(projection[9], (2.0 - 2.4) / (2.0 + 2.4), 1e-6);
}

TEST_F(GlFrameStateTest, ClearsTheNamedBuffersOnly) {
    glClearColor(1, 0, 0, 1);
    glClearDepth(0.25);
    state.clearBuffers(true, true);
    EXPECT_EQ(pixel(80, 60), (std::array<int, 4>{255, 0, 0, 255}));
    EXPECT_NEAR(depthAt(80, 60), 0.25f, 1e-3);

    glClearColor(0, 0, 1, 1);
    glClearDepth(0.75);
    state.clearBuffers(false, true);  // depth only
    EXPECT_EQ(pixel(80, 60), (std::array<int, 4>{255, 0, 0, 255}));
    EXPECT_NEAR(depthAt(80, 60), 0.75f, 1e-3);

    state.clearBuffers(true, false);  // colour only
    EXPECT_EQ(pixel(80, 60), (std::array<int, 4>{0, 0, 255, 255}));
    EXPECT_NEAR(depthAt(80, 60), 0.75f, 1e-3);

    glClearColor(0, 1, 0, 1);
    glClearDepth(0.5);
    state.clearBuffers(false, false);  // nothing
    EXPECT_EQ(pixel(80, 60), (std::array<int, 4>{0, 0, 255, 255}));
    EXPECT_NEAR(depthAt(80, 60), 0.75f, 1e-3);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(GlFrameStateTest, SwitchesDepthTestCullingDepthFunctionAndColour) {
    state.setDepthTest(true);
    state.setFaceCulling(true);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    state.setDepthTest(false);
    state.setFaceCulling(false);
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_CULL_FACE));

    state.setDepthFunction(GL_LEQUAL);
    EXPECT_EQ(integer(GL_DEPTH_FUNC), GL_LEQUAL);
    state.setDepthFunction(GL_LESS);
    EXPECT_EQ(integer(GL_DEPTH_FUNC), GL_LESS);

    state.setColor(0.25f, 0.5f, 0.75f);
    GLfloat color[4] = {};
    glGetFloatv(GL_CURRENT_COLOR, color);
    EXPECT_FLOAT_EQ(color[0], 0.25f);
    EXPECT_FLOAT_EQ(color[1], 0.5f);
    EXPECT_FLOAT_EQ(color[2], 0.75f);
}

TEST_F(GlFrameStateTest, BindsTheFadeTextureThroughTheSlots) {
    TextureSlot slots[kTextureSlotCount];
    GLuint names[2] = {};
    glGenTextures(2, names);
    slots[3].textureName = names[0];
    slots[5].textureName = names[1];
    GlFrameState bound{slots};

    bound.bindTexture(5, 0x200);
    EXPECT_EQ(integer(GL_TEXTURE_BINDING_2D), static_cast<GLint>(names[1]));
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_GEN_S));

    // A fade to black: slot 3 plain and multiplicative.
    bound.bindTexture(3, 0x402);
    EXPECT_EQ(integer(GL_TEXTURE_BINDING_2D), static_cast<GLint>(names[0]));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_GEN_S));
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_EQ(integer(GL_BLEND_SRC), GL_DST_COLOR);
    EXPECT_EQ(integer(GL_BLEND_DST), GL_ZERO);

    // An empty binding leaves everything as it was.
    bound.bindTexture(0, 0);
    EXPECT_EQ(integer(GL_TEXTURE_BINDING_2D), static_cast<GLint>(names[0]));
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    // The slots delete their textures while the context is still current.
}

}  // namespace
