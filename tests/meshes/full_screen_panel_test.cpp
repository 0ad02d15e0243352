// The full-screen panel fills a symmetric frustum exactly, survives the
// culling of back faces and maps its texture from the lower left corner.
#include <GL/gl.h>

#include "effects/scene_renderer.h"
#include "gl_test.h"
#include "host_gl_state.h"

namespace {

class PanelTest : public GlTest {
  protected:
    void SetUp() override {
        GlTest::SetUp();
        applyHostState();
        // The fades switch depth testing off before drawing the panel.
        glDisable(GL_DEPTH_TEST);
        glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        glColor3f(1.0f, 1.0f, 1.0f);
    }
    // The launcher's default: left -5, right 5, bottom and top -+5/aspect, near 1, far 255.
    static constexpr double kRight = 5.0;
    static constexpr double kTop = 5.0 / (static_cast<double>(kWidth) / kHeight);

    int whitePixels() const {
        const auto image = pixels();
        int white = 0;
        for (std::size_t p = 0; p < image.size(); p += 4) white += image[p] == 255 ? 1 : 0;
        return white;
    }
    SceneRenderer renderer_;
};

TEST_F(PanelTest, CoversTheWholeWindowUnderTheDefaultFrustum) {
    setFrustum(-kRight, kRight, -kTop, kTop, 1.0, 255.0);
    renderer_.drawFullScreenPanel(1.0, kRight, kTop);
    EXPECT_EQ(whitePixels(), kWidth * kHeight);
}

TEST_F(PanelTest, ItsRightAndTopEdgesSitOnTheDefaultFrustumsToThePixel) {
    // Narrow frusta round the right edge and round the top edge of the
    // default view: a panel a fraction of a percent too small or too large
    // would move the edge by many pixels from the middle column or row.
    setFrustum(0.99 * kRight, 1.01 * kRight, -kTop, kTop, 1.0, 255.0);
    renderer_.drawFullScreenPanel(1.0, kRight, kTop);
    EXPECT_EQ(pixel(kWidth / 2 - 1, kHeight / 2)[0], 255);
    EXPECT_EQ(pixel(kWidth / 2, kHeight / 2)[0], 0);
    glClear(GL_COLOR_BUFFER_BIT);
    setFrustum(-kRight, kRight, 0.99 * kTop, 1.01 * kTop, 1.0, 255.0);
    renderer_.drawFullScreenPanel(1.0, kRight, kTop);
    EXPECT_EQ(pixel(kWidth / 2, kHeight / 2 - 1)[0], 255);
    EXPECT_EQ(pixel(kWidth / 2, kHeight / 2)[0], 0);
}

TEST_F(PanelTest, MapsTheTextureFromLowerLeftToUpperRight) {
    // Texels bottom row first: red, green; top row: blue, white.
    const std::uint8_t texels[16] = {255, 0, 0,   255, 0,   255, 0,   255,
                                     0,   0, 255, 255, 255, 255, 255, 255};
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 2, 2, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glEnable(GL_TEXTURE_2D);
    setFrustum(-kRight, kRight, -kTop, kTop, 1.0, 255.0);
    renderer_.drawFullScreenPanel(1.0, kRight, kTop);
    glDisable(GL_TEXTURE_2D);
    glDeleteTextures(1, &texture);
    EXPECT_EQ(pixel(5, 5), (std::array<int, 4>{255, 0, 0, 255}));
    EXPECT_EQ(pixel(kWidth - 5, 5), (std::array<int, 4>{0, 255, 0, 255}));
    EXPECT_EQ(pixel(5, kHeight - 5), (std::array<int, 4>{0, 0, 255, 255}));
    EXPECT_EQ(pixel(kWidth - 5, kHeight - 5), (std::array<int, 4>{255, 255, 255, 255}));
}

}  // namespace
