// Implements the wrapping gradient and cellular noise of picture_noise.h.
#include "picture_noise.h"

#include <cmath>

namespace {

int wrap(int value, int period) {
    const int r = value % period;
    return r < 0 ? r + period : r;
}

float smooth(float t) {
    return t * t * t * (t * (t * 6.0f - 15.0f) + 10.0f);
}

float lerp(float a, float b, float t) {
    return a + (b - a) * t;
}

// Dot product of the corner's gradient (one of eight directions) with the offset.
float cornerGradient(int cx, int cy, float dx, float dy, std::uint32_t seed) {
    static constexpr float kDirections[8][2] = {
        {1.0f, 0.0f},       {-1.0f, 0.0f},       {0.0f, 1.0f},        {0.0f, -1.0f},
        {0.7071f, 0.7071f}, {-0.7071f, 0.7071f}, {0.7071f, -0.7071f}, {-0.7071f, -0.7071f},
    };
    const auto* g = kDirections[hashCell(cx, cy, seed) & 7];
    return g[0] * dx + g[1] * dy;
}

}  // namespace

std::uint32_t hashCell(std::int32_t x, std::int32_t y, std::uint32_t seed) {
    std::uint32_t h = seed * 0x9E3779B9u;
    h ^= static_cast<std::uint32_t>(x) * 0x85EBCA6Bu;
    h = (h << 13) | (h >> 19);
    h ^= static_cast<std::uint32_t>(y) * 0xC2B2AE35u;
    h ^= h >> 16;
    h *= 0x7FEB352Du;
    h ^= h >> 15;
    h *= 0x846CA68Bu;
    h ^= h >> 16;
    return h;
}

float hashUnit(std::int32_t x, std::int32_t y, std::uint32_t seed) {
    return static_cast<float>(hashCell(x, y, seed) >> 8) * (1.0f / 16777216.0f);
}

float gradientNoise(float x, float y, int period, std::uint32_t seed) {
    const float fx = std::floor(x);
    const float fy = std::floor(y);
    const int x0 = static_cast<int>(fx);
    const int y0 = static_cast<int>(fy);
    const float dx = x - fx;
    const float dy = y - fy;
    const int ax = wrap(x0, period);
    const int bx = wrap(x0 + 1, period);
    const int ay = wrap(y0, period);
    const int by = wrap(y0 + 1, period);
    const float n00 = cornerGradient(ax, ay, dx, dy, seed);
    const float n10 = cornerGradient(bx, ay, dx - 1.0f, dy, seed);
    const float n01 = cornerGradient(ax, by, dx, dy - 1.0f, seed);
    const float n11 = cornerGradient(bx, by, dx - 1.0f, dy - 1.0f, seed);
    const float sx = smooth(dx);
    const float sy = smooth(dy);
    return 1.4142f * lerp(lerp(n00, n10, sx), lerp(n01, n11, sx), sy);
}

float fractalNoise(float u, float v, int period, int octaves, std::uint32_t seed) {
    float sum = 0.0f;
    float amplitude = 0.5f;
    for (int octave = 0; octave < octaves; ++octave) {
        sum += amplitude * gradientNoise(u * period, v * period, period, seed + octave * 7919u);
        period *= 2;
        amplitude *= 0.5f;
    }
    return sum * 2.0f;
}

float turbulence(float u, float v, int period, int octaves, std::uint32_t seed) {
    float sum = 0.0f;
    float amplitude = 0.5f;
    for (int octave = 0; octave < octaves; ++octave) {
        sum += amplitude *
               std::fabs(gradientNoise(u * period, v * period, period, seed + octave * 7919u));
        period *= 2;
        amplitude *= 0.5f;
    }
    return sum * 2.0f;
}

CellDistances cellNoise(float u, float v, int period, std::uint32_t seed) {
    const float x = u * period;
    const float y = v * period;
    const int cx = static_cast<int>(std::floor(x));
    const int cy = static_cast<int>(std::floor(y));
    CellDistances result{1e9f, 1e9f};
    for (int oy = -1; oy <= 1; ++oy) {
        for (int ox = -1; ox <= 1; ++ox) {
            const int kx = wrap(cx + ox, period);
            const int ky = wrap(cy + oy, period);
            const float px = static_cast<float>(cx + ox) + hashUnit(kx, ky, seed);
            const float py = static_cast<float>(cy + oy) + hashUnit(kx, ky, seed ^ 0x5bd1e995u);
            const float d = std::hypot(px - x, py - y);
            if (d < result.nearest) {
                result.second = result.nearest;
                result.nearest = d;
            } else if (d < result.second) {
                result.second = d;
            }
        }
    }
    return result;
}
