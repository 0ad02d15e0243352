// One texture slot: a GL texture loaded from a JPEG file with mipmaps, and
// the ways of binding it (texture-coordinate generation and blending).
#pragma once

#include <GL/gl.h>

#include <cstdint>

class TextureSlot {
  public:
    TextureSlot() = default;
    TextureSlot(const TextureSlot&) = delete;
    TextureSlot& operator=(const TextureSlot&) = delete;
    // Releases the texture, but only while a GL context is current.
    ~TextureSlot();

    // 1 = picture uploaded; 0 = failed (the slot then holds a 2 x 2 checkerboard
    // when the file could not be read or decoded).
    int load(const char* path, int singleChannel, int mipmaps);
    void release();
    void bind() const;
    void bindObjectLinear(int blendCode) const;
    void bindSphereMap(int blendCode) const;
    void bindPlain(int blendCode) const;

    std::int32_t width = 0;
    std::int32_t height = 0;
    GLuint textureName = 0;
};

constexpr int kTextureSlotCount = 9;

// Bit 0x100 object-linear, 0x200 sphere map, 0x400 no generation (first set
// wins); the low byte is the blend code. A word without them binds nothing.
void bindTextureSlot(const TextureSlot* slots, int slotIndex, std::uint32_t bindWord);
