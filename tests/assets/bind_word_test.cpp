// Bind words against real GL state: which texture is bound, texture-coordinate
// generation and its mode, blending and the blend function.
#include <string>

#include "assets/texture_slot.h"
#include "gl_test.h"

namespace {

constexpr GLint kUnchanged = -1;  // the blend function stays as it was

struct BindCase {
    std::uint32_t word;
    bool generation;  // GL_TEXTURE_GEN_S and _T enabled
    GLint mode;       // GL_TEXTURE_GEN_MODE when generating
    bool blending;
    GLint source;
    GLint destination;
};

// The blend function in force before each bind: one no code sets.
constexpr GLint kPriorSource = GL_ONE_MINUS_DST_COLOR;
constexpr GLint kPriorDestination = GL_SRC_COLOR;

const BindCase kCases[] = {
    {0x100, true, GL_OBJECT_LINEAR, false, kUnchanged, kUnchanged},
    {0x101, true, GL_OBJECT_LINEAR, true, GL_SRC_ALPHA, GL_ONE},
    {0x300, true, GL_OBJECT_LINEAR, false, kUnchanged, kUnchanged},  // 0x100 wins
    {0x200, true, GL_SPHERE_MAP, false, kUnchanged, kUnchanged},
    {0x201, true, GL_SPHERE_MAP, true, GL_SRC_ALPHA, GL_ONE},
    {0x202, true, GL_SPHERE_MAP, true, GL_DST_COLOR, GL_ZERO},
    {0x600, true, GL_SPHERE_MAP, false, kUnchanged, kUnchanged},  // 0x200 before 0x400
    {0x203, true, GL_SPHERE_MAP, true, kUnchanged, kUnchanged},
    {0x104, true, GL_OBJECT_LINEAR, true, kUnchanged, kUnchanged},
    {0x400, false, 0, false, kUnchanged, kUnchanged},
    {0x401, false, 0, true, GL_SRC_ALPHA, GL_ONE},
    {0x402, false, 0, true, GL_DST_COLOR, GL_ZERO},
    {0x403, false, 0, true, GL_ONE, GL_ONE},
    {0x404, false, 0, true, GL_ONE, GL_ONE},
    {0x405, false, 0, true, kUnchanged, kUnchanged},
    {0x4FF, false, 0, true, kUnchanged, kUnchanged},
};

class BindWordTest : public GlTest {
  protected:
    void SetUp() override {
        GlTest::SetUp();
        for (TextureSlot& slot : slots) slot.load("/nonexistent/picture.jpg", 0, 1);
        glBindTexture(GL_TEXTURE_2D, 0);
    }
    // A state no bind word produces, so that every change shows.
    static void presetState() {
        glBindTexture(GL_TEXTURE_2D, 0);
        glEnable(GL_BLEND);
        glBlendFunc(kPriorSource, kPriorDestination);
        glEnable(GL_TEXTURE_GEN_S);
        glDisable(GL_TEXTURE_GEN_T);
        glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_EYE_LINEAR);
        glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_EYE_LINEAR);
    }
    static GLint genMode(GLenum coordinate) {
        GLint mode = 0;
        glGetTexGeniv(coordinate, GL_TEXTURE_GEN_MODE, &mode);
        return mode;
    }

    TextureSlot slots[kTextureSlotCount];
};

TEST_F(BindWordTest, ModeBitsAndBlendCodesSetTheirState) {
    for (const BindCase& c : kCases) {
        SCOPED_TRACE("bind word 0x" + [&] {
            char text[8];
            std::snprintf(text, sizeof text, "%x", c.word);
            return std::string(text);
        }());
        presetState();
        bindTextureSlot(slots, 5, c.word);
        EXPECT_EQ(integer(GL_TEXTURE_BINDING_2D), static_cast<GLint>(slots[5].textureName));
        EXPECT_EQ(glIsEnabled(GL_TEXTURE_GEN_S), c.generation);
        EXPECT_EQ(glIsEnabled(GL_TEXTURE_GEN_T), c.generation);
        if (c.generation) {
            EXPECT_EQ(genMode(GL_S), c.mode);
            EXPECT_EQ(genMode(GL_T), c.mode);
        }
        EXPECT_EQ(glIsEnabled(GL_BLEND), c.blending);
        EXPECT_EQ(integer(GL_BLEND_SRC), c.source == kUnchanged ? kPriorSource : c.source);
        EXPECT_EQ(integer(GL_BLEND_DST),
                  c.destination == kUnchanged ? kPriorDestination : c.destination);
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }
}

TEST_F(BindWordTest, AWordWithoutModeBitsChangesNothing) {
    for (std::uint32_t word : {0x000u, 0x001u, 0x0FFu, 0x800u, 0x10000u}) {
        presetState();
        glBindTexture(GL_TEXTURE_2D, slots[2].textureName);
        bindTextureSlot(slots, 7, word);
        EXPECT_EQ(integer(GL_TEXTURE_BINDING_2D), static_cast<GLint>(slots[2].textureName));
        EXPECT_TRUE(glIsEnabled(GL_BLEND));
        EXPECT_EQ(integer(GL_BLEND_SRC), kPriorSource);
        EXPECT_EQ(integer(GL_BLEND_DST), kPriorDestination);
        EXPECT_TRUE(glIsEnabled(GL_TEXTURE_GEN_S));
        EXPECT_FALSE(glIsEnabled(GL_TEXTURE_GEN_T));
        EXPECT_EQ(genMode(GL_S), GL_EYE_LINEAR);
    }
}

TEST_F(BindWordTest, BindingNeverSwitchesTexturingItself) {
    for (bool enabled : {false, true}) {
        if (enabled)
            glEnable(GL_TEXTURE_2D);
        else
            glDisable(GL_TEXTURE_2D);
        for (const BindCase& c : kCases) {
            bindTextureSlot(slots, 0, c.word);
            EXPECT_EQ(glIsEnabled(GL_TEXTURE_2D), enabled);
        }
    }
}

TEST_F(BindWordTest, EachSlotBindsItsOwnTexture) {
    for (int slot = 0; slot < kTextureSlotCount; ++slot) {
        bindTextureSlot(slots, slot, 0x400);
        EXPECT_EQ(integer(GL_TEXTURE_BINDING_2D), static_cast<GLint>(slots[slot].textureName));
    }
    EXPECT_NE(slots[0].textureName, slots[8].textureName);
}

}  // namespace
