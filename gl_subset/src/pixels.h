// Pixel rows as GL 1.1 hands them over: formats, row alignment, the
// conversion from one base format to another, and the mipmaps GLU builds.
// Plain CPU code, no GL calls.
#pragma once

#include <cstdint>
#include <vector>

namespace sgl {

// Bytes per pixel of an unsigned-byte format (GL_ALPHA ... GL_RGBA); 0 for
// a format the subset does not take.
int channelsOfFormat(unsigned int format);

// The base format a texture's internal format names: 1 to 4 components, a
// base format, or GL_RGB8 and GL_RGBA8; 0 when it names none the subset keeps.
unsigned int baseOfInternalFormat(int internalFormat);

// Bytes from one row's start to the next for `width` pixels of `channels`
// bytes under an unpack or pack alignment.
std::size_t rowStride(int width, int channels, int alignment);

// The pixels of `format` (rows `alignment`-aligned) as tightly packed rows of
// `base`, converted as GL converts: through RGBA, luminance from red.
std::vector<std::uint8_t> convertPixels(const std::uint8_t* pixels, int width, int height,
                                        unsigned int format, int alignment, unsigned int base);

// One level of a mipmap chain: tightly packed rows.
struct MipLevel {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;
};

// The nearest power of two, ties upwards (5 -> 4, 6 -> 8), as GLU sizes the
// first level of a picture whose sides are not powers of two.
int nearestPowerOfTwo(int value);

// GLU's chain for a picture of `channels` bytes per pixel: the picture at the
// nearest power-of-two size (scaled by an area-weighted box filter when it is
// not one already, and halved further while larger than maxSize), then each
// level half the one before (the mean of 2 x 2 boxes rounded to nearest, of
// pairs rounded down once a side is 1), down to 1 x 1.
std::vector<MipLevel> buildMipmaps(const std::uint8_t* pixels, int width, int height, int channels,
                                   int alignment, int maxSize);

// GLU's scaling of a picture to another size, tightly packed.
std::vector<std::uint8_t> scalePicture(const std::uint8_t* pixels, int width, int height,
                                       std::size_t stride, int channels, int newWidth,
                                       int newHeight);

// One level down: half the size in each direction that is larger than 1.
MipLevel halvePicture(const std::uint8_t* pixels, int width, int height, std::size_t stride,
                      int channels);

}  // namespace sgl
