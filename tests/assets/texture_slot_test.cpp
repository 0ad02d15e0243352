// Texture slots on a real GL context: what a load leaves in GL, the
// checkerboard after a failed load at any unpack alignment, tightly packed
// rows uploaded without overrun, single-channel alpha, and release.
#include "assets/texture_slot.h"

#include "asset_test_support.h"
#include "assets/jpeg_reader.h"
#include "gl_test.h"

namespace {

using namespace assets_test;

class TextureSlotTest : public GlTest {
  protected:
    static GLint levelParameter(int level, GLenum what) {
        GLint value = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, level, what, &value);
        return value;
    }
    static GLfloat textureParameter(GLenum what) {
        GLfloat value = 0;
        glGetTexParameterfv(GL_TEXTURE_2D, what, &value);
        return value;
    }
    static std::vector<std::uint8_t> levelZero(GLenum format, int width, int height, int channels) {
        std::vector<std::uint8_t> texels(static_cast<std::size_t>(width) * height * channels);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, 0, format, GL_UNSIGNED_BYTE, texels.data());
        glPixelStorei(GL_PACK_ALIGNMENT, 4);
        return texels;
    }

    ScratchDirectory scratch;
};

TEST_F(TextureSlotTest, LoadsAPictureWithAMipmapChain) {
    writeBytes(scratch / "ramp.jpg", rampJpeg(64, 32));
    TextureSlot slot;
    EXPECT_EQ(slot.load((scratch / "ramp.jpg").c_str(), 0, 1), 1);
    EXPECT_EQ(slot.width, 64);
    EXPECT_EQ(slot.height, 32);
    ASSERT_NE(slot.textureName, 0u);
    EXPECT_EQ(integer(GL_TEXTURE_BINDING_2D), static_cast<GLint>(slot.textureName));
    EXPECT_EQ(textureParameter(GL_TEXTURE_WRAP_S), GL_REPEAT);
    EXPECT_EQ(textureParameter(GL_TEXTURE_WRAP_T), GL_REPEAT);
    EXPECT_EQ(textureParameter(GL_TEXTURE_MAG_FILTER), GL_LINEAR);
    EXPECT_EQ(textureParameter(GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_NEAREST);
    // Three components, reported as the count they were given as.
    EXPECT_EQ(levelParameter(0, GL_TEXTURE_INTERNAL_FORMAT), 3);
    EXPECT_EQ(levelParameter(0, GL_TEXTURE_ALPHA_SIZE), 0);
    EXPECT_EQ(levelParameter(1, GL_TEXTURE_WIDTH), 32);
    EXPECT_EQ(levelParameter(6, GL_TEXTURE_WIDTH), 1);
    EXPECT_EQ(integer(GL_UNPACK_ALIGNMENT), 4);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(TextureSlotTest, OddRowsUploadExactlyAsDecodedWithoutMipmaps) {
    // 5 texels x 3 bytes = 15-byte rows: the default alignment of 4 would
    // read past each row and past the buffer.
    writeBytes(scratch / "odd.jpg", rampJpeg(5, 3));
    std::vector<std::uint8_t> decoded(5 * 3 * 3);
    JpegRecord record;
    ASSERT_EQ(jpegInitRecord(&record), kJpegOk);
    const std::string path = scratch / "odd.jpg";
    record.filePath = path.c_str();
    ASSERT_EQ(jpegRead(&record, JpegReadMode::kParameters), kJpegOk);
    record.pixels = decoded.data();
    record.outputWidth = 5;
    record.outputHeight = 3;
    record.outputChannels = 3;
    record.outputColorSpace = kJpegColorRgb;
    ASSERT_EQ(jpegRead(&record, JpegReadMode::kWholePicture), kJpegOk);
    jpegReleaseRecord(&record);

    TextureSlot slot;
    ASSERT_EQ(slot.load(path.c_str(), 0, 0), 1);
    EXPECT_EQ(levelZero(GL_RGB, 5, 3, 3), decoded);
    // Only level 0 exists, while the filter still asks for mipmaps.
    EXPECT_EQ(levelParameter(1, GL_TEXTURE_WIDTH), 0);
    EXPECT_EQ(textureParameter(GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_NEAREST);
    EXPECT_EQ(integer(GL_UNPACK_ALIGNMENT), 4);
}

TEST_F(TextureSlotTest, FailedLoadsLeaveTheCheckerboardAtAnyAlignment) {
    writeBytes(scratch / "text.jpg", {'h', 'e', 'l', 'l', 'o'});
    const std::vector<std::uint8_t> whole = rampJpeg(32, 32);
    writeBytes(scratch / "cut.jpg", {whole.begin(), whole.begin() + whole.size() / 2});
    const std::vector<std::uint8_t> checkerboard = {0, 255, 255, 0};
    for (const char* name : {"absent.jpg", "text.jpg", "cut.jpg"}) {
        for (GLint alignment : {1, 2, 4, 8}) {
            SCOPED_TRACE(std::string(name) + ", alignment " + std::to_string(alignment));
            glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
            TextureSlot slot;
            EXPECT_EQ(slot.load((scratch / name).c_str(), 0, 1), 0);
            EXPECT_EQ(slot.width, 2);
            EXPECT_EQ(slot.height, 2);
            ASSERT_NE(slot.textureName, 0u);
            EXPECT_EQ(integer(GL_TEXTURE_BINDING_2D), static_cast<GLint>(slot.textureName));
            EXPECT_EQ(levelZero(GL_LUMINANCE, 2, 2, 1), checkerboard);
            EXPECT_EQ(levelParameter(1, GL_TEXTURE_WIDTH), 1);
            EXPECT_EQ(integer(GL_UNPACK_ALIGNMENT), alignment);
        }
    }
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
}

TEST_F(TextureSlotTest, SingleChannelBecomesAlpha) {
    writeBytes(scratch / "grey.jpg", flatJpeg(8, 8, 200, 100, 50));  // luminance 124
    TextureSlot slot;
    ASSERT_EQ(slot.load((scratch / "grey.jpg").c_str(), 1, 1), 1);
    EXPECT_EQ(levelParameter(0, GL_TEXTURE_INTERNAL_FORMAT), GL_ALPHA);
    EXPECT_GT(levelParameter(0, GL_TEXTURE_ALPHA_SIZE), 0);
    for (std::uint8_t alpha : levelZero(GL_ALPHA, 8, 8, 1)) EXPECT_NEAR(alpha, 124, 3);

    // Drawn white over black with alpha blending, the grey shows.
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor3f(1, 1, 1);
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex2f(-1, -1);
    glTexCoord2f(1, 0);
    glVertex2f(1, -1);
    glTexCoord2f(1, 1);
    glVertex2f(1, 1);
    glTexCoord2f(0, 1);
    glVertex2f(-1, 1);
    glEnd();
    const auto p = pixel(kWidth / 2, kHeight / 2);
    EXPECT_NEAR(p[0], 124, 4);
    EXPECT_NEAR(p[1], 124, 4);
    EXPECT_NEAR(p[2], 124, 4);
}

TEST_F(TextureSlotTest, ReleaseDeletesOnceAndIgnoresAnEmptySlot) {
    TextureSlot slot;
    slot.release();
    EXPECT_EQ(slot.textureName, 0u);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    writeBytes(scratch / "ramp.jpg", rampJpeg(16, 16));
    ASSERT_EQ(slot.load((scratch / "ramp.jpg").c_str(), 0, 1), 1);
    const GLuint first = slot.textureName;
    // A second load replaces the texture.
    ASSERT_EQ(slot.load((scratch / "ramp.jpg").c_str(), 0, 1), 1);
    EXPECT_FALSE(glIsTexture(first));
    const GLuint second = slot.textureName;
    EXPECT_TRUE(glIsTexture(second));
    slot.release();
    EXPECT_EQ(slot.textureName, 0u);
    EXPECT_FALSE(glIsTexture(second));
    slot.release();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(TextureSlotTest, DestructionReleasesWhileAContextIsCurrent) {
    writeBytes(scratch / "ramp.jpg", rampJpeg(16, 16));
    GLuint name = 0;
    {
        TextureSlot slot;
        ASSERT_EQ(slot.load((scratch / "ramp.jpg").c_str(), 0, 1), 1);
        name = slot.textureName;
        EXPECT_TRUE(glIsTexture(name));
    }
    EXPECT_FALSE(glIsTexture(name));
}

}  // namespace
