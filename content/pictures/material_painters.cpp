// Paints the materials, which wrap around at their edges so that they tile
// as object-linear textures, and the sprite of the sprite burst.
#include <cmath>

#include "picture_noise.h"
#include "picture_painters.h"

namespace {

constexpr float kTau = 6.2831853f;

// A wave of whole cycles across the picture, so that it wraps.
float wave(float u, float v, int cyclesU, int cyclesV, float phase) {
    return std::sin(kTau * (cyclesU * u + cyclesV * v) + phase);
}

}  // namespace

RgbImage paintPlasma(int size) {
    return paint(size, [](float u, float v) {
        const float warp = fractalNoise(u, v, 3, 3, 51u) * 1.5f;
        const float p = wave(u, v, 2, 1, warp) + wave(u, v, -1, 3, 1.3f + warp) +
                        wave(u, v, 3, -2, 2.1f) + 0.8f * wave(u, v, 1, 1, warp * 2.0f);
        const float phase = p * 1.1f;
        return Color{0.5f + 0.5f * std::sin(phase), 0.5f + 0.5f * std::sin(phase + 2.1f),
                     0.5f + 0.5f * std::sin(phase + 4.2f)} *
                   0.85f +
               Color{0.1f, 0.05f, 0.15f};
    });
}

RgbImage paintMarble(int size) {
    static constexpr RampStop kStone[] = {
        {0.0f, {0.16f, 0.26f, 0.22f}},
        {0.12f, {0.42f, 0.55f, 0.48f}},
        {0.3f, {0.82f, 0.84f, 0.80f}},
        {1.0f, {0.97f, 0.95f, 0.90f}},
    };
    return paint(size, [](float u, float v) {
        const float t = turbulence(u, v, 3, 5, 61u);
        const float veins = std::fabs(wave(u, v, 1, 2, t * 4.0f));
        const float cloud = 0.5f + 0.5f * fractalNoise(u, v, 4, 4, 62u);
        Color c = ramp(kStone, std::pow(veins, 0.45f));
        // Soft green-grey clouding between the veins.
        c = mix(c, Color{0.62f, 0.70f, 0.64f}, smoothstep(0.55f, 0.9f, cloud) * 0.45f);
        return c;
    });
}

RgbImage paintLavaStone(int size) {
    static constexpr RampStop kGlow[] = {
        {0.0f, {1.0f, 0.95f, 0.55f}},
        {0.3f, {1.0f, 0.45f, 0.05f}},
        {0.7f, {0.45f, 0.05f, 0.0f}},
        {1.0f, {0.0f, 0.0f, 0.0f}},
    };
    return paint(size, [](float u, float v) {
        const float jitterU = fractalNoise(u, v, 4, 3, 71u) * 0.02f;
        const float jitterV = fractalNoise(u, v, 4, 3, 72u) * 0.02f;
        const CellDistances cells = cellNoise(u + jitterU, v + jitterV, 8, 73u);
        const float seam = cells.second - cells.nearest;
        const float grain = 0.5f + 0.5f * fractalNoise(u, v, 16, 4, 74u);
        const float shade = 0.25f + 0.25f * (1.0f - cells.nearest) + 0.2f * grain;
        const Color rock = Color{0.32f, 0.28f, 0.26f} * shade * 1.6f;
        return rock * smoothstep(0.02f, 0.18f, seam) + ramp(kGlow, clamp01(seam * 8.0f));
    });
}

RgbImage paintNebula(int size) {
    static constexpr RampStop kGas[] = {
        {0.0f, {0.0f, 0.0f, 0.0f}},    {0.35f, {0.12f, 0.03f, 0.25f}},
        {0.6f, {0.55f, 0.12f, 0.55f}}, {0.8f, {0.35f, 0.55f, 0.95f}},
        {1.0f, {0.95f, 0.9f, 1.0f}},
    };
    return paint(size, [size](float u, float v) {
        const float density = fractalNoise(u, v, 3, 6, 81u);
        const float lanes = turbulence(u, v, 6, 4, 82u);
        Color c = ramp(kGas, clamp01(density * 0.8f + 0.45f - lanes * 0.35f));
        // Stars: a sparse set of texels, a few of them bright with a soft halo.
        const int cx = static_cast<int>(u * size / 2);
        const int cy = static_cast<int>(v * size / 2);
        const float star = hashUnit(cx, cy, 83u);
        if (star > 0.985f) {
            const float fx = u * size / 2 - cx - 0.5f;
            const float fy = v * size / 2 - cy - 0.5f;
            c = c + Color{0.9f, 0.9f, 1.0f} * std::exp(-(fx * fx + fy * fy) * 18.0f) *
                        ((star - 0.985f) * 66.0f);
        }
        return c;
    });
}

RgbImage paintFlare(int size) {
    return paint(size, [](float u, float v) {
        const float x = 2.0f * u - 1.0f;
        const float y = 2.0f * v - 1.0f;
        const float r = std::sqrt(x * x + y * y);
        const float angle = std::atan2(y, x);
        const float core = std::exp(-r * r * 28.0f);
        const float halo = std::exp(-r * 4.5f) * 0.55f;
        const float rays = std::pow(std::fabs(std::cos(angle * 2.0f)), 60.0f) * 0.6f +
                           std::pow(std::fabs(std::cos(angle * 2.0f + 0.785f)), 90.0f) * 0.3f;
        const float flicker = 0.7f + 0.3f * fractalNoise(angle / kTau + 0.5f, 0.5f, 24, 2, 91u);
        // Everything fades to black before the square's edge.
        const float edge = 1.0f - smoothstep(0.7f, 0.98f, r);
        const float light = (core + halo + rays * flicker * std::exp(-r * 2.0f)) * edge;
        return Color{light, light * 0.96f, light * 0.9f} + Color{0.0f, 0.0f, 0.05f} * core;
    });
}
