// Mipmaps against the system's GLU: level by level, the subset's chain holds
// the bytes gluBuild2DMipmaps hands Mesa (read back with glGetTexImage), for
// power-of-two pictures, pictures GLU first scales to the nearest power of
// two, one- and three-byte pixels, rows aligned to 1 and 4, and the module's
// 2 x 2 luminance checkerboard; and minified quads sample the same texels.
#include <GL/glu.h>

#include <random>

#include "pixels.h"
#include "subset_test.h"

namespace {

struct Case {
    int width, height;
    unsigned int format;
    int alignment;
};

std::vector<std::uint8_t> randomPicture(const Case& c, std::mt19937& random) {
    const std::size_t stride =
        sgl::rowStride(c.width, sgl::channelsOfFormat(c.format), c.alignment);
    std::vector<std::uint8_t> p(stride * c.height);
    for (std::uint8_t& b : p) b = static_cast<std::uint8_t>(random());
    return p;
}

// GLU's levels as Mesa holds them.
std::vector<sgl::MipLevel> gluLevels(const Case& c, const std::vector<std::uint8_t>& picture) {
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glPixelStorei(GL_UNPACK_ALIGNMENT, c.alignment);
    const int channels = sgl::channelsOfFormat(c.format);
    EXPECT_EQ(gluBuild2DMipmaps(GL_TEXTURE_2D, static_cast<GLint>(c.format), c.width, c.height,
                                c.format, GL_UNSIGNED_BYTE, picture.data()),
              0);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    std::vector<sgl::MipLevel> levels;
    for (int level = 0;; ++level) {
        GLint w = 0, h = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &w);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_HEIGHT, &h);
        if (w == 0 || h == 0) break;
        sgl::MipLevel l;
        l.width = w;
        l.height = h;
        l.pixels.resize(static_cast<std::size_t>(w) * h * channels);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, level, c.format, GL_UNSIGNED_BYTE, l.pixels.data());
        levels.push_back(std::move(l));
    }
    glDeleteTextures(1, &name);
    return levels;
}

class SubsetMipmaps : public SubsetVersusGl {};

TEST_F(SubsetMipmaps, EveryLevelHoldsTheBytesGluBuilds) {
    std::mt19937 random(7);
    const Case cases[] = {
        {256, 256, GL_RGB, 1},   {512, 512, GL_ALPHA, 1},
        {8, 2, GL_LUMINANCE, 4}, {1, 4, GL_RGB, 1},
        {2, 1, GL_RGB, 4},       {3, 5, GL_LUMINANCE, 1},
        {100, 60, GL_RGB, 1},    {33, 17, GL_RGB, 4},
        {300, 7, GL_ALPHA, 4},   {5, 1, GL_RGB, 1},
        {6, 3, GL_LUMINANCE, 4}, {640, 480, GL_RGB, 1},
        {97, 131, GL_RGBA, 4},   {12, 24, GL_LUMINANCE_ALPHA, 2},
    };
    use(kDesktopGl);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << " format " << c.format
                                        << " alignment " << c.alignment);
        const std::vector<std::uint8_t> picture = randomPicture(c, random);
        const std::vector<sgl::MipLevel> expected = gluLevels(c, picture);
        const std::vector<sgl::MipLevel> built = sgl::buildMipmaps(
            picture.data(), c.width, c.height, sgl::channelsOfFormat(c.format), c.alignment, 16384);
        ASSERT_EQ(built.size(), expected.size());
        for (std::size_t level = 0; level < built.size(); ++level) {
            EXPECT_EQ(built[level].width, expected[level].width) << "level " << level;
            EXPECT_EQ(built[level].height, expected[level].height) << "level " << level;
            std::size_t differing = 0;
            for (std::size_t i = 0;
                 i < built[level].pixels.size() && i < expected[level].pixels.size(); ++i) {
                differing += built[level].pixels[i] != expected[level].pixels[i];
            }
            EXPECT_EQ(differing, 0u) << "level " << level;
        }
    }
}

TEST_F(SubsetMipmaps, TheCheckerboardAveragesToMiddleGrey) {
    // The module's fallback: 0 255 / 255 0, the second row where alignment 4 puts it.
    const std::uint8_t board[8] = {0, 255, 0, 0, 255, 0, 0, 0};
    const std::vector<sgl::MipLevel> built = sgl::buildMipmaps(board, 2, 2, 1, 4, 16384);
    ASSERT_EQ(built.size(), 2u);
    EXPECT_EQ(built[0].pixels, (std::vector<std::uint8_t>{0, 255, 255, 0}));
    use(kDesktopGl);
    const std::vector<sgl::MipLevel> expected =
        gluLevels({2, 2, GL_LUMINANCE, 4}, std::vector<std::uint8_t>(board, board + 8));
    ASSERT_EQ(expected.size(), 2u);
    EXPECT_EQ(built[1].pixels, expected[1].pixels);
}

TEST_F(SubsetMipmaps, MinifiedQuadsSampleTheSameTexels) {
    std::mt19937 random(11);
    const Case c{48, 40, GL_RGB, 1};  // scaled to 64 x 32 first
    const std::vector<std::uint8_t> picture = randomPicture(c, random);
    const Scene scene = [&](const GlCalls& gl) {
        hostState(gl);
        unsigned int name = 0;
        gl.GenTextures(1, &name);
        gl.BindTexture(GL_TEXTURE_2D, name);
        gl.TexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_NEAREST);
        gl.TexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        gl.PixelStorei(GL_UNPACK_ALIGNMENT, 1);
        EXPECT_EQ(gl.Build2DMipmaps(GL_TEXTURE_2D, 3, c.width, c.height, GL_RGB, GL_UNSIGNED_BYTE,
                                    picture.data()),
                  0);
        gl.PixelStorei(GL_UNPACK_ALIGNMENT, 4);
        // Quads from 40 pixels down to 2 across, each picking coarser levels.
        double x = -4.5;
        for (const double size : {3.0, 1.5, 0.8, 0.4, 0.2, 0.1}) {
            gl.PushMatrix();
            gl.Translated(x, -1.5, -10.0);
            gl.Scaled(size, size, 1.0);
            gl.Begin(GL_QUADS);
            gl.TexCoord2f(0.0f, 0.0f);
            gl.Vertex3f(0.0f, 0.0f, 0.0f);
            gl.TexCoord2f(3.0f, 0.0f);
            gl.Vertex3f(1.0f, 0.0f, 0.0f);
            gl.TexCoord2f(3.0f, 3.0f);
            gl.Vertex3f(1.0f, 1.0f, 0.0f);
            gl.TexCoord2f(0.0f, 3.0f);
            gl.Vertex3f(0.0f, 1.0f, 0.0f);
            gl.End();
            gl.PopMatrix();
            x += size + 0.1;
        }
    };
    const Picture desktop = draw(kDesktopGl, scene);
    const Picture subset = draw(kSubsetGl, scene);
    ASSERT_GT(litPixels(desktop), 300);
    const PictureDifference d = comparePictures(desktop, subset, 2);
    EXPECT_EQ(d.pixelsOff, 0) << "largest difference " << d.largest;
}

TEST_F(SubsetMipmaps, BadArgumentsAreRefusedAsGluRefusesThem) {
    use(kSubsetGl);
    const std::uint8_t pixel[4] = {};
    EXPECT_EQ(sglu_Build2DMipmaps(GL_TEXTURE_2D, 3, 0, 4, GL_RGB, GL_UNSIGNED_BYTE, pixel),
              GLU_INVALID_VALUE);
    EXPECT_EQ(sglu_Build2DMipmaps(GL_TEXTURE_2D, 3, 1, 1, 0x1234, GL_UNSIGNED_BYTE, pixel),
              GLU_INVALID_ENUM);
    EXPECT_EQ(sglu_Build2DMipmaps(GL_TEXTURE_2D, 3, 1, 1, GL_RGB, GL_FLOAT, pixel),
              GLU_INVALID_ENUM);
    EXPECT_EQ(sgl::nearestPowerOfTwo(5), 4);
    EXPECT_EQ(sgl::nearestPowerOfTwo(6), 8);
    EXPECT_EQ(sgl::nearestPowerOfTwo(96), 128);
    EXPECT_EQ(sgl::nearestPowerOfTwo(95), 64);
    EXPECT_EQ(sgl::nearestPowerOfTwo(1), 1);
}

}  // namespace
