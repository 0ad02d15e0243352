// Makes the launcher's loading banner: a dark 457 x 82 picture with the word
// LOADING and, smaller, the demo's name. Writes a C++ source holding the RGB
// bytes and a PPM copy to look at. Deterministic: same bytes on every build.
//
// usage: make_banner OUTPUT.cpp OUTPUT.ppm
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "pixel_font.h"

namespace {

constexpr int kWidth = 457;
constexpr int kHeight = 82;
constexpr int kSuper = 4;  // supersampling for soft letter edges

struct Mask {
    int width;
    int height;
    std::vector<float> value;
    float at(int x, int y) const {
        if (x < 0 || y < 0 || x >= width || y >= height) return 0.0f;
        return value[static_cast<std::size_t>(y) * width + x];
    }
};

// Coverage of text set in the pixel font with cells of cellSize pixels,
// rounded-corner dots, anchored at (left, top).
Mask renderText(const std::string& text, float left, float top, float cellSize, float gap) {
    Mask mask{kWidth, kHeight, std::vector<float>(kWidth * kHeight, 0.0f)};
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            int hits = 0;
            for (int sy = 0; sy < kSuper; ++sy) {
                for (int sx = 0; sx < kSuper; ++sx) {
                    const float px = x + (sx + 0.5f) / kSuper - left;
                    const float py = y + (sy + 0.5f) / kSuper - top;
                    const float advance = 6.0f * cellSize + gap;
                    const int letter = static_cast<int>(std::floor(px / advance));
                    if (px < 0 || letter >= static_cast<int>(text.size())) continue;
                    const PixelGlyph* glyph = findPixelGlyph(text[letter]);
                    if (glyph == nullptr) continue;
                    const float lx = px - letter * advance;
                    const int col = static_cast<int>(lx / cellSize);
                    const int row = static_cast<int>(py / cellSize);
                    if (col < 0 || col >= 5 || row < 0 || row >= 7) continue;
                    if (glyph->rows[row][col] != '#') continue;
                    // Round the dots a little so the letters read as lit tiles.
                    const float fx = lx / cellSize - col - 0.5f;
                    const float fy = py / cellSize - row - 0.5f;
                    if (fx * fx + fy * fy < 0.42f) ++hits;
                }
            }
            mask.value[static_cast<std::size_t>(y) * kWidth + x] =
                static_cast<float>(hits) / (kSuper * kSuper);
        }
    }
    return mask;
}

Mask blur(const Mask& in, int radius) {
    Mask out = in;
    for (int pass = 0; pass < 3; ++pass) {
        Mask tmp = out;
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                float sum = 0.0f;
                for (int d = -radius; d <= radius; ++d) sum += tmp.at(x + d, y);
                out.value[static_cast<std::size_t>(y) * kWidth + x] = sum / (2 * radius + 1);
            }
        }
        tmp = out;
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                float sum = 0.0f;
                for (int d = -radius; d <= radius; ++d) sum += tmp.at(x, y + d);
                out.value[static_cast<std::size_t>(y) * kWidth + x] = sum / (2 * radius + 1);
            }
        }
    }
    return out;
}

unsigned char toByte(float v) {
    return static_cast<unsigned char>(std::clamp(v, 0.0f, 1.0f) * 255.0f + 0.5f);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_banner OUTPUT.cpp OUTPUT.ppm\n");
        return 2;
    }
    const Mask big = renderText("LOADING", 24.0f, 14.0f, 6.0f, 4.0f);
    const Mask small = renderText("SORVANEL", 300.0f, 52.0f, 2.0f, 2.0f);
    const Mask glow = blur(big, 3);

    std::vector<unsigned char> rgb(kWidth * kHeight * 3);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const float u = static_cast<float>(x) / (kWidth - 1);
            const float v = static_cast<float>(y) / (kHeight - 1);
            // Deep blue-violet night with a faint horizon line of light.
            const float horizon = std::exp(-std::pow((v - 0.78f) * 9.0f, 2.0f)) * 0.18f;
            float r = 0.03f + 0.05f * u + horizon * 0.6f;
            float g = 0.02f + 0.02f * (1.0f - v) + horizon * 0.4f;
            float b = 0.08f + 0.10f * (1.0f - v) + horizon;
            const std::size_t i = static_cast<std::size_t>(y) * kWidth + x;
            const float gl = glow.value[i];
            r += gl * 0.55f;
            g += gl * 0.35f;
            b += gl * 0.95f;
            // Letters: pale gold at the top fading to white-blue below.
            const float t = big.value[i];
            r = r * (1 - t) + t * (1.0f - 0.15f * v);
            g = g * (1 - t) + t * (0.86f + 0.1f * v);
            b = b * (1 - t) + t * (0.62f + 0.38f * v);
            const float s = small.value[i];
            r = r * (1 - s) + s * 0.75f;
            g = g * (1 - s) + s * 0.8f;
            b = b * (1 - s) + s * 0.95f;
            rgb[i * 3 + 0] = toByte(r);
            rgb[i * 3 + 1] = toByte(g);
            rgb[i * 3 + 2] = toByte(b);
        }
    }

    std::FILE* source = std::fopen(argv[1], "wb");
    if (source == nullptr) {
        std::perror(argv[1]);
        return 1;
    }
    std::fprintf(source,
                 "// Generated by make_banner: the loading banner's RGB bytes.\n"
                 "#include \"live/loading_banner.h\"\n\n"
                 "const unsigned char kLoadingBannerPixels[%d] = {\n",
                 kWidth * kHeight * 3);
    for (std::size_t i = 0; i < rgb.size(); ++i) {
        std::fprintf(source, "%d,%s", rgb[i], (i % 24 == 23) ? "\n" : "");
    }
    std::fprintf(source, "};\n");
    const bool sourceOk = std::fclose(source) == 0;

    std::FILE* ppm = std::fopen(argv[2], "wb");
    if (ppm == nullptr) {
        std::perror(argv[2]);
        return 1;
    }
    std::fprintf(ppm, "P6\n%d %d\n255\n", kWidth, kHeight);
    std::fwrite(rgb.data(), 1, rgb.size(), ppm);
    return (std::fclose(ppm) == 0 && sourceOk) ? 0 : 1;
}
