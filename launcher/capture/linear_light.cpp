// Implements the reduction with a table from code to 16-bit linear light
// and one from 16-bit linear light back to the nearest code.
#include "capture/linear_light.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

constexpr int kLinearLevels = 65536;

struct Tables {
    std::array<std::uint32_t, 256> toLinear{};
    std::array<std::uint8_t, kLinearLevels> toCode{};
    Tables() {
        for (int code = 0; code < 256; ++code) {
            toLinear[code] = static_cast<std::uint32_t>(
                std::lround(linearFromSrgb(static_cast<std::uint8_t>(code)) * (kLinearLevels - 1)));
        }
        for (int level = 0; level < kLinearLevels; ++level) {
            toCode[level] = srgbFromLinear(static_cast<double>(level) / (kLinearLevels - 1));
        }
    }
};

const Tables& tables() {
    static const Tables built;
    return built;
}

}  // namespace

double linearFromSrgb(std::uint8_t code) {
    const double v = code / 255.0;
    return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
}

std::uint8_t srgbFromLinear(double linear) {
    const double l = linear <= 0.0 ? 0.0 : (linear >= 1.0 ? 1.0 : linear);
    const double v = l <= 0.0031308 ? l * 12.92 : 1.055 * std::pow(l, 1.0 / 2.4) - 0.055;
    return static_cast<std::uint8_t>(std::lround(v * 255.0));
}

void reduceInLinearLight(const std::vector<std::uint8_t>& big, int bigWidth, int bigHeight,
                         int factor, std::vector<std::uint8_t>& out) {
    const Tables& t = tables();
    const int width = bigWidth / factor;
    const int height = bigHeight / factor;
    const std::uint32_t count = static_cast<std::uint32_t>(factor * factor);
    out.resize(static_cast<std::size_t>(width) * height * 4);
    std::vector<std::uint32_t> sums(static_cast<std::size_t>(width) * 4);
    for (int y = 0; y < height; ++y) {
        std::fill(sums.begin(), sums.end(), 0u);
        for (int dy = 0; dy < factor; ++dy) {
            const std::uint8_t* row =
                big.data() + (static_cast<std::size_t>(y) * factor + dy) * bigWidth * 4;
            for (int x = 0; x < width; ++x) {
                std::uint32_t* sum = sums.data() + static_cast<std::size_t>(x) * 4;
                const std::uint8_t* p = row + static_cast<std::size_t>(x) * factor * 4;
                for (int dx = 0; dx < factor; ++dx, p += 4) {
                    sum[0] += t.toLinear[p[0]];
                    sum[1] += t.toLinear[p[1]];
                    sum[2] += t.toLinear[p[2]];
                    sum[3] += p[3];
                }
            }
        }
        std::uint8_t* target = out.data() + static_cast<std::size_t>(y) * width * 4;
        for (int i = 0; i < width * 4; ++i) {
            const std::uint32_t mean = (sums[i] + count / 2) / count;
            target[i] = (i % 4 == 3) ? static_cast<std::uint8_t>(mean) : t.toCode[mean];
        }
    }
}
