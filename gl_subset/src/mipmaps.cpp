// Implements GLU's mipmap chain for unsigned bytes: the size of the first
// level, the area-weighted scaling to it, and the halving from level to level,
// with GLU's rounding, so that each level holds the same bytes as the
// system's gluBuild2DMipmaps puts there (a test compares them level by level).
#include <cmath>
#include <cstring>

#include "pixels.h"

namespace sgl {

int nearestPowerOfTwo(int value) {
    if (value <= 0) return 0;
    int power = 1;
    // The top two bits decide: 1x.. rounds down, 11.. rounds up.
    for (unsigned v = static_cast<unsigned>(value);; v >>= 1, power *= 2) {
        if (v == 1) return power;
        if (v == 3) return power * 4;
    }
}

MipLevel halvePicture(const std::uint8_t* pixels, int width, int height, std::size_t stride,
                      int channels) {
    MipLevel out;
    out.width = width > 1 ? width / 2 : 1;
    out.height = height > 1 ? height / 2 : 1;
    out.pixels.resize(static_cast<std::size_t>(out.width) * out.height * channels);
    std::uint8_t* t = out.pixels.data();
    const std::size_t pixel = static_cast<std::size_t>(channels);
    if (width > 1 && height > 1) {
        // The mean of each 2 x 2 box, rounded to nearest.
        for (int y = 0; y < out.height; ++y) {
            const std::uint8_t* row = pixels + 2 * static_cast<std::size_t>(y) * stride;
            for (int x = 0; x < out.width; ++x) {
                const std::uint8_t* s = row + 2 * static_cast<std::size_t>(x) * pixel;
                for (int k = 0; k < channels; ++k) {
                    *t++ = static_cast<std::uint8_t>(
                        (s[k] + s[pixel + k] + s[stride + k] + s[stride + pixel + k] + 2) / 4);
                }
            }
        }
        return out;
    }
    // A row or a column: the mean of each pair, rounded down.
    const std::size_t step = width > 1 ? pixel : stride;
    const int count = width > 1 ? out.width : out.height;
    if (width == 1 && height == 1) {
        std::memcpy(t, pixels, pixel);
        return out;
    }
    for (int i = 0; i < count; ++i) {
        const std::uint8_t* s = pixels + 2 * static_cast<std::size_t>(i) * step;
        for (int k = 0; k < channels; ++k) {
            *t++ = static_cast<std::uint8_t>((s[k] + s[step + k]) / 2);
        }
    }
    return out;
}

std::vector<std::uint8_t> scalePicture(const std::uint8_t* pixels, int width, int height,
                                       std::size_t stride, int channels, int newWidth,
                                       int newHeight) {
    if (width == newWidth * 2 && height == newHeight * 2) {
        return halvePicture(pixels, width, height, stride, channels).pixels;
    }
    std::vector<std::uint8_t> out(static_cast<std::size_t>(newWidth) * newHeight * channels);
    // Each output pixel covers a box of the input from (lowX, lowY) to
    // (highX, highY), each held as a whole pixel and a fraction that grow by
    // the step per output pixel. Input pixels count by the share of them the
    // box covers; the sum, in float, is divided by the box's area and
    // truncated. The partial rows and columns are summed before the whole
    // pixels inside, in this order.
    const float stepY = static_cast<float>(height) / newHeight;
    const float stepX = static_cast<float>(width) / newWidth;
    const int stepYWhole = static_cast<int>(std::floor(stepY));
    const float stepYPart = stepY - stepYWhole;
    const int stepXWhole = static_cast<int>(std::floor(stepX));
    const float stepXPart = stepX - stepXWhole;
    const float area = stepX * stepY;
    const std::size_t pixel = static_cast<std::size_t>(channels);
    auto at = [&](int x, int y) {
        return pixels + static_cast<std::size_t>(y) * stride + static_cast<std::size_t>(x) * pixel;
    };

    int lowYWhole = 0, highYWhole = stepYWhole;
    float lowYPart = 0.0f, highYPart = stepYPart;
    for (int i = 0; i < newHeight; ++i) {
        if (highYWhole >= height) highYWhole = height - 1;
        int lowXWhole = 0, highXWhole = stepXWhole;
        float lowXPart = 0.0f, highXPart = stepXPart;
        for (int j = 0; j < newWidth; ++j) {
            if (highXWhole >= width) highXWhole = width - 1;
            float totals[4] = {0.0f, 0.0f, 0.0f, 0.0f};
            const bool rows = highYWhole > lowYWhole;
            const bool columns = highXWhole > lowXWhole;
            auto add = [&](const std::uint8_t* p, float share) {
                for (int k = 0; k < channels; ++k) totals[k] += p[k] * share;
            };
            if (rows && columns) {
                // First row, last row, then the first and last columns between.
                for (const int edge : {0, 1}) {
                    const int y = edge == 0 ? lowYWhole : highYWhole;
                    const float yShare = edge == 0 ? 1.0f - lowYPart : highYPart;
                    add(at(lowXWhole, y), yShare * (1.0f - lowXPart));
                    for (int x = lowXWhole + 1; x < highXWhole; ++x) add(at(x, y), yShare);
                    add(at(highXWhole, y), yShare * highXPart);
                }
                for (int y = lowYWhole + 1; y < highYWhole; ++y) {
                    const std::uint8_t* left = at(lowXWhole, y);
                    const std::uint8_t* right = at(highXWhole, y);
                    for (int k = 0; k < channels; ++k) {
                        totals[k] += left[k] * (1.0f - lowXPart) + right[k] * highXPart;
                    }
                }
            } else if (rows) {
                const float xShare = highXPart - lowXPart;
                add(at(lowXWhole, lowYWhole), (1.0f - lowYPart) * xShare);
                for (int y = lowYWhole + 1; y < highYWhole; ++y) add(at(lowXWhole, y), xShare);
                add(at(lowXWhole, highYWhole), xShare * highYPart);
            } else if (columns) {
                const float yShare = highYPart - lowYPart;
                add(at(lowXWhole, lowYWhole), (1.0f - lowXPart) * yShare);
                for (int x = lowXWhole + 1; x < highXWhole; ++x) add(at(x, lowYWhole), yShare);
                add(at(highXWhole, lowYWhole), highXPart * yShare);
            } else {
                add(at(lowXWhole, lowYWhole), (highYPart - lowYPart) * (highXPart - lowXPart));
            }
            // The whole pixels inside the box.
            for (int y = lowYWhole + 1; y < highYWhole; ++y) {
                for (int x = lowXWhole + 1; x < highXWhole; ++x) {
                    const std::uint8_t* p = at(x, y);
                    for (int k = 0; k < channels; ++k) totals[k] += p[k];
                }
            }
            std::uint8_t* target = &out[(static_cast<std::size_t>(i) * newWidth + j) * pixel];
            for (int k = 0; k < channels; ++k) {
                target[k] = static_cast<std::uint8_t>(totals[k] / area);
            }
            lowXWhole = highXWhole;
            lowXPart = highXPart;
            highXWhole += stepXWhole;
            highXPart += stepXPart;
            if (highXPart > 1.0f) {
                highXPart -= 1.0f;
                ++highXWhole;
            }
        }
        lowYWhole = highYWhole;
        lowYPart = highYPart;
        highYWhole += stepYWhole;
        highYPart += stepYPart;
        if (highYPart > 1.0f) {
            highYPart -= 1.0f;
            ++highYWhole;
        }
    }
    return out;
}

std::vector<MipLevel> buildMipmaps(const std::uint8_t* pixels, int width, int height, int channels,
                                   int alignment, int maxSize) {
    std::vector<MipLevel> levels;
    int w = nearestPowerOfTwo(width);
    int h = nearestPowerOfTwo(height);
    while ((w > maxSize || h > maxSize) && (w > 1 || h > 1)) {
        w = w > 1 ? w / 2 : 1;
        h = h > 1 ? h / 2 : 1;
    }
    const std::size_t stride = rowStride(width, channels, alignment);
    MipLevel first;
    first.width = w;
    first.height = h;
    if (w == width && h == height) {
        first.pixels.resize(static_cast<std::size_t>(w) * h * channels);
        for (int y = 0; y < h; ++y) {
            std::memcpy(&first.pixels[static_cast<std::size_t>(y) * w * channels],
                        pixels + static_cast<std::size_t>(y) * stride,
                        static_cast<std::size_t>(w) * channels);
        }
    } else {
        first.pixels = scalePicture(pixels, width, height, stride, channels, w, h);
    }
    levels.push_back(std::move(first));
    while (levels.back().width > 1 || levels.back().height > 1) {
        const MipLevel& last = levels.back();
        levels.push_back(halvePicture(last.pixels.data(), last.width, last.height,
                                      static_cast<std::size_t>(last.width) * channels, channels));
    }
    return levels;
}

}  // namespace sgl
