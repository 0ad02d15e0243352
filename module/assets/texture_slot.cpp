// Implements the texture slots: a JPEG file decoded through the module's JPEG
// layer and uploaded with a full mipmap chain, a 2 x 2 checkerboard when the
// file cannot be read or decoded, and the bind operations that choose
// texture-coordinate generation and blending.
#include "assets/texture_slot.h"

#include <GL/glu.h>

#include <cstddef>
#include <memory>
#include <new>

#include "assets/jpeg_reader.h"
#include "common/gl_context_probe.h"

namespace {

// What a non-zero blend code sets as the blend function; a code missing from
// the table enables blending and keeps the function in force.
struct BlendFunction {
    int code;
    GLenum source;
    GLenum destination;
};

// Object-linear and sphere-map binds.
constexpr BlendFunction kGeneratedBlends[] = {
    {1, GL_SRC_ALPHA, GL_ONE},   // additive by alpha
    {2, GL_DST_COLOR, GL_ZERO},  // multiplicative
};

// Binds without coordinate generation also know the one-one additive codes.
constexpr BlendFunction kPlainBlends[] = {
    {1, GL_SRC_ALPHA, GL_ONE},
    {2, GL_DST_COLOR, GL_ZERO},
    {3, GL_ONE, GL_ONE},
    {4, GL_ONE, GL_ONE},
};

constexpr std::uint32_t kBindObjectLinear = 0x100;
constexpr std::uint32_t kBindSphereMap = 0x200;
constexpr std::uint32_t kBindPlain = 0x400;

template <std::size_t N>
void applyBlendCode(int blendCode, const BlendFunction (&table)[N]) {
    if (blendCode == 0) {
        glDisable(GL_BLEND);
        return;
    }
    glEnable(GL_BLEND);
    for (const BlendFunction& function : table) {
        if (function.code == blendCode) glBlendFunc(function.source, function.destination);
    }
}

void generateCoordinates(GLint mode) {
    glEnable(GL_TEXTURE_GEN_S);
    glEnable(GL_TEXTURE_GEN_T);
    glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, mode);
    glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, mode);
}

void setSamplingParameters() {
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    // The mipmap filter whatever the mipmaps argument says.
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_NEAREST);
}

void uploadLevels(GLint components, GLint width, GLint height, GLenum format,
                  const std::uint8_t* data, int mipmaps) {
    if (mipmaps != 0) {
        gluBuild2DMipmaps(GL_TEXTURE_2D, components, width, height, format, GL_UNSIGNED_BYTE, data);
    } else {
        glTexImage2D(GL_TEXTURE_2D, 0, components, width, height, 0, format, GL_UNSIGNED_BYTE,
                     data);
    }
}

// Decoded rows are tightly packed (width x channels bytes), which the default
// row alignment of 4 would overrun; the alignment in force is put back after.
void uploadPacked(GLint components, GLint width, GLint height, GLenum format,
                  const std::uint8_t* data, int mipmaps) {
    GLint alignment = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    uploadLevels(components, width, height, format, data, mipmaps);
    glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
}

// Black and white, first row 0 255, second row 255 0; the second row starts
// where the unpack alignment in force expects it.
void uploadCheckerboard(int mipmaps) {
    GLint alignment = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    if (alignment < 1 || alignment > 8) alignment = 8;
    const int rowStride = ((2 + alignment - 1) / alignment) * alignment;
    std::uint8_t data[16] = {};
    data[0] = 0;
    data[1] = 255;
    data[rowStride] = 255;
    data[rowStride + 1] = 0;
    uploadLevels(1, 2, 2, GL_LUMINANCE, data, mipmaps);
}

// Decodes the record's file into a fresh buffer and uploads it. False when the
// picture cannot be decoded or its pixel buffer cannot be had.
bool decodeAndUpload(JpegRecord& record, int singleChannel, int mipmaps) {
    const int channels = singleChannel != 0 ? 1 : 3;
    const std::size_t size = static_cast<std::size_t>(record.width) *
                             static_cast<std::size_t>(record.height) *
                             static_cast<std::size_t>(channels);
    std::unique_ptr<std::uint8_t[]> pixels(new (std::nothrow) std::uint8_t[size]);
    if (!pixels) return false;
    record.pixels = pixels.get();
    record.outputWidth = record.width;
    record.outputHeight = record.height;
    record.outputChannels = channels;
    record.outputColorSpace = singleChannel != 0 ? kJpegColorGrey : kJpegColorRgb;
    const int status = jpegRead(&record, JpegReadMode::kWholePicture);
    record.pixels = nullptr;
    if (status != kJpegOk) return false;
    // A single channel goes in as alpha; GL_ALPHA as the internal format keeps
    // it there (a component count of 1 would make it black luminance).
    if (singleChannel != 0) {
        uploadPacked(GL_ALPHA, record.width, record.height, GL_ALPHA, pixels.get(), mipmaps);
    } else {
        uploadPacked(3, record.width, record.height, GL_RGB, pixels.get(), mipmaps);
    }
    return true;
}

}  // namespace

TextureSlot::~TextureSlot() {
    // At library unload the host has already released its context.
    if (hasCurrentGlContext()) release();
}

int TextureSlot::load(const char* path, int singleChannel, int mipmaps) {
    release();
    glGenTextures(1, &textureName);
    glBindTexture(GL_TEXTURE_2D, textureName);
    setSamplingParameters();

    JpegRecord record;
    if (jpegInitRecord(&record) != kJpegOk) return 0;
    record.filePath = path;
    bool loaded = false;
    if (jpegRead(&record, JpegReadMode::kParameters) == kJpegOk) {
        width = record.width;
        height = record.height;
        loaded = decodeAndUpload(record, singleChannel, mipmaps);
    }
    jpegReleaseRecord(&record);
    if (loaded) return 1;

    width = 2;
    height = 2;
    uploadCheckerboard(mipmaps);
    return 0;
}

void TextureSlot::release() {
    if (textureName == 0) return;
    glDeleteTextures(1, &textureName);
    textureName = 0;
}

void TextureSlot::bind() const {
    glBindTexture(GL_TEXTURE_2D, textureName);
}

void TextureSlot::bindObjectLinear(int blendCode) const {
    generateCoordinates(GL_OBJECT_LINEAR);
    bind();
    applyBlendCode(blendCode, kGeneratedBlends);
}

void TextureSlot::bindSphereMap(int blendCode) const {
    generateCoordinates(GL_SPHERE_MAP);
    bind();
    applyBlendCode(blendCode, kGeneratedBlends);
}

void TextureSlot::bindPlain(int blendCode) const {
    glDisable(GL_TEXTURE_GEN_S);
    glDisable(GL_TEXTURE_GEN_T);
    bind();
    applyBlendCode(blendCode, kPlainBlends);
}

void bindTextureSlot(const TextureSlot* slots, int slotIndex, std::uint32_t bindWord) {
    const int blendCode = static_cast<int>(bindWord & 0xFF);
    const TextureSlot& slot = slots[slotIndex];
    if ((bindWord & kBindObjectLinear) != 0) {
        slot.bindObjectLinear(blendCode);
    } else if ((bindWord & kBindSphereMap) != 0) {
        slot.bindSphereMap(blendCode);
    } else if ((bindWord & kBindPlain) != 0) {
        slot.bindPlain(blendCode);
    }
}
