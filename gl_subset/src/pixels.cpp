// Implements the pixel formats and row layout of the subset's texture
// uploads, and the conversion between base formats.
#include "pixels.h"

#include <cstring>

#include "sorvanel_gl/sgl_api.h"

namespace sgl {

int channelsOfFormat(unsigned int format) {
    switch (format) {
        case SGL_ALPHA:
        case SGL_LUMINANCE:
            return 1;
        case SGL_LUMINANCE_ALPHA:
            return 2;
        case SGL_RGB:
            return 3;
        case SGL_RGBA:
            return 4;
        default:
            return 0;
    }
}

unsigned int baseOfInternalFormat(int internalFormat) {
    switch (internalFormat) {
        case 1:
        case SGL_LUMINANCE:
            return SGL_LUMINANCE;
        case 2:
        case SGL_LUMINANCE_ALPHA:
            return SGL_LUMINANCE_ALPHA;
        case 3:
        case SGL_RGB:
        case SGL_RGB8:
            return SGL_RGB;
        case 4:
        case SGL_RGBA:
        case SGL_RGBA8:
            return SGL_RGBA;
        case SGL_ALPHA:
            return SGL_ALPHA;
        default:
            return 0;
    }
}

std::size_t rowStride(int width, int channels, int alignment) {
    const std::size_t row = static_cast<std::size_t>(width) * static_cast<std::size_t>(channels);
    const std::size_t a = alignment > 0 ? static_cast<std::size_t>(alignment) : 1;
    return (row + a - 1) / a * a;
}

namespace {

// One pixel of `format` as RGBA.
void toRgba(const std::uint8_t* p, unsigned int format, std::uint8_t* rgba) {
    switch (format) {
        case SGL_ALPHA:
            rgba[0] = rgba[1] = rgba[2] = 0;
            rgba[3] = p[0];
            break;
        case SGL_LUMINANCE:
            rgba[0] = rgba[1] = rgba[2] = p[0];
            rgba[3] = 255;
            break;
        case SGL_LUMINANCE_ALPHA:
            rgba[0] = rgba[1] = rgba[2] = p[0];
            rgba[3] = p[1];
            break;
        case SGL_RGB:
            std::memcpy(rgba, p, 3);
            rgba[3] = 255;
            break;
        default:
            std::memcpy(rgba, p, 4);
    }
}

// An RGBA pixel as `base` keeps it.
void fromRgba(const std::uint8_t* rgba, unsigned int base, std::uint8_t* out) {
    switch (base) {
        case SGL_ALPHA:
            out[0] = rgba[3];
            break;
        case SGL_LUMINANCE:
            out[0] = rgba[0];
            break;
        case SGL_LUMINANCE_ALPHA:
            out[0] = rgba[0];
            out[1] = rgba[3];
            break;
        case SGL_RGB:
            std::memcpy(out, rgba, 3);
            break;
        default:
            std::memcpy(out, rgba, 4);
    }
}

}  // namespace

std::vector<std::uint8_t> convertPixels(const std::uint8_t* pixels, int width, int height,
                                        unsigned int format, int alignment, unsigned int base) {
    const int in = channelsOfFormat(format);
    const int out = channelsOfFormat(base);
    const std::size_t stride = rowStride(width, in, alignment);
    std::vector<std::uint8_t> result(static_cast<std::size_t>(width) * height * out);
    if (pixels == nullptr) return result;
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* row = pixels + static_cast<std::size_t>(y) * stride;
        std::uint8_t* target = result.data() + static_cast<std::size_t>(y) * width * out;
        if (format == base) {
            std::memcpy(target, row, static_cast<std::size_t>(width) * out);
            continue;
        }
        for (int x = 0; x < width; ++x) {
            std::uint8_t rgba[4];
            toRgba(row + static_cast<std::size_t>(x) * in, format, rgba);
            fromRgba(rgba, base, target + static_cast<std::size_t>(x) * out);
        }
    }
    return result;
}

}  // namespace sgl
