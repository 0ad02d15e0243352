// Colours, colour ramps and the square RGB picture the painters fill.
// Texel (u, v) has u across and v down the rows in upload order, which is
// the texture's t: the first row of the file is t = 0.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <vector>

struct Color {
    float r;
    float g;
    float b;
};

inline Color operator+(Color a, Color b) {
    return {a.r + b.r, a.g + b.g, a.b + b.b};
}
inline Color operator*(Color a, float k) {
    return {a.r * k, a.g * k, a.b * k};
}
inline Color operator*(Color a, Color b) {
    return {a.r * b.r, a.g * b.g, a.b * b.b};
}
inline Color mix(Color a, Color b, float t) {
    return a + (b + a * -1.0f) * t;
}

inline float clamp01(float x) {
    return std::clamp(x, 0.0f, 1.0f);
}
inline float smoothstep(float edge0, float edge1, float x) {
    const float t = clamp01((x - edge0) / (edge1 - edge0));
    return t * t * (3.0f - 2.0f * t);
}

// A piecewise linear colour ramp over [0, 1]; stops sorted by position.
struct RampStop {
    float at;
    Color color;
};
template <std::size_t N>
Color ramp(const RampStop (&stops)[N], float x) {
    if (x <= stops[0].at) return stops[0].color;
    for (std::size_t i = 1; i < N; ++i) {
        if (x <= stops[i].at) {
            const float t = (x - stops[i - 1].at) / (stops[i].at - stops[i - 1].at);
            return mix(stops[i - 1].color, stops[i].color, t);
        }
    }
    return stops[N - 1].color;
}

struct RgbImage {
    int size = 0;                   // width and height
    std::vector<std::uint8_t> rgb;  // size x size x 3, rows top to bottom
};

// Fills a size x size picture with shade(u, v), sampled at texel centres.
inline RgbImage paint(int size, const std::function<Color(float u, float v)>& shade) {
    RgbImage image;
    image.size = size;
    image.rgb.resize(static_cast<std::size_t>(size) * size * 3);
    std::size_t i = 0;
    for (int row = 0; row < size; ++row) {
        for (int column = 0; column < size; ++column) {
            const Color c = shade((column + 0.5f) / size, (row + 0.5f) / size);
            image.rgb[i++] = static_cast<std::uint8_t>(std::lround(clamp01(c.r) * 255.0f));
            image.rgb[i++] = static_cast<std::uint8_t>(std::lround(clamp01(c.g) * 255.0f));
            image.rgb[i++] = static_cast<std::uint8_t>(std::lround(clamp01(c.b) * 255.0f));
        }
    }
    return image;
}

// The direction a sphere-map texel reflects: OpenGL's sphere map sees a
// mirror ball from the front, texel (s, t) lying at (2s - 1, 2t - 1) on it.
// Texels outside the ball take the direction of its rim (straight behind).
struct Direction {
    float x;  // right
    float y;  // up
    float z;  // towards the viewer
};
inline Direction sphereMapDirection(float s, float t) {
    float x = 2.0f * s - 1.0f;
    float y = 2.0f * t - 1.0f;
    const float r2 = x * x + y * y;
    if (r2 > 0.999f) {
        const float k = std::sqrt(0.999f / r2);
        x *= k;
        y *= k;
    }
    const float nz = std::sqrt(std::max(0.0f, 1.0f - x * x - y * y));
    // Reflection of the view ray (0, 0, -1) about the normal (x, y, nz).
    return {2.0f * nz * x, 2.0f * nz * y, 2.0f * nz * nz - 1.0f};
}
