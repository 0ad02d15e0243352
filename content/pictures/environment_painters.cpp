// Paints the environment pictures: a sky or scene as a mirror ball reflects
// it, so that sphere-mapped figures look like polished metal; and the haze.
#include <cmath>

#include "picture_noise.h"
#include "picture_painters.h"

namespace {

constexpr float kPi = 3.14159265f;

// Azimuth of a direction as u in [0, 1).
float azimuth(const Direction& d) {
    return std::atan2(d.x, -d.z) / (2.0f * kPi) + 0.5f;
}

// Where a direction meets a plane above (or below) the eye, as coordinates
// for noise: clouds and waves shrink towards the horizon as they should.
struct PlanePoint {
    float u;
    float v;
};
PlanePoint planePoint(const Direction& d, float scale) {
    const float k = scale / (std::fabs(d.y) + 0.08f);
    return {d.x * k + 0.5f, d.z * k + 0.5f};
}

}  // namespace

RgbImage paintChromeSky(int size) {
    static constexpr RampStop kSky[] = {
        {0.0f, {0.93f, 0.95f, 1.0f}},
        {0.18f, {0.55f, 0.74f, 0.95f}},
        {0.55f, {0.16f, 0.36f, 0.78f}},
        {1.0f, {0.03f, 0.08f, 0.32f}},
    };
    static constexpr RampStop kGround[] = {
        {0.0f, {0.62f, 0.52f, 0.42f}},
        {0.25f, {0.30f, 0.22f, 0.16f}},
        {1.0f, {0.05f, 0.04f, 0.05f}},
    };
    return paint(size, [](float s, float t) {
        const Direction d = sphereMapDirection(s, t);
        if (d.y >= 0.0f) {
            Color sky = ramp(kSky, d.y);
            const PlanePoint p = planePoint(d, 0.35f);
            const float cloud = fractalNoise(p.u, p.v, 4, 5, 11u);
            const float cover = smoothstep(0.0f, 0.6f, cloud) * smoothstep(0.0f, 0.15f, d.y);
            sky = mix(sky, Color{0.97f, 0.97f, 1.0f}, cover * 0.85f);
            // A sun high on the left, bright enough to glint on the metal.
            const float sunDot = d.x * -0.45f + d.y * 0.72f + d.z * 0.53f;
            sky = sky + Color{1.0f, 0.95f, 0.8f} * std::pow(clamp01(sunDot), 180.0f);
            // The horizon glows white-hot on polished chrome.
            return sky + Color{1.0f, 1.0f, 1.0f} * std::exp(-d.y * 40.0f) * 0.5f;
        }
        const float depth = -d.y;
        Color ground = ramp(kGround, depth);
        const PlanePoint p = planePoint(d, 0.5f);
        // Detail fades out towards the horizon, where it would only flicker.
        const float fields = fractalNoise(p.u, p.v, 8, 4, 12u) * smoothstep(0.02f, 0.3f, depth);
        ground = ground * (0.8f + 0.3f * fields) + Color{0.05f, 0.08f, 0.02f} * fields;
        return ground + Color{0.9f, 0.8f, 0.7f} * std::exp(-depth * 25.0f) * 0.6f;
    });
}

RgbImage paintSunsetSea(int size) {
    static constexpr RampStop kSky[] = {
        {0.0f, {1.0f, 0.78f, 0.35f}},   {0.12f, {1.0f, 0.45f, 0.18f}},
        {0.35f, {0.78f, 0.18f, 0.38f}}, {0.7f, {0.30f, 0.08f, 0.42f}},
        {1.0f, {0.06f, 0.03f, 0.18f}},
    };
    return paint(size, [](float s, float t) {
        const Direction d = sphereMapDirection(s, t);
        // The sun sits on the horizon behind the viewer, a little to the left,
        // so that the ball shows it near its middle.
        constexpr float sunX = -0.5f;
        constexpr float sunZ = 0.866f;
        const float toSun = clamp01(d.x * sunX + d.z * sunZ);
        if (d.y >= 0.0f) {
            Color sky = ramp(kSky, d.y * 1.2f);
            const PlanePoint p = planePoint(d, 0.3f);
            const float streak = fractalNoise(p.u * 0.4f, p.v * 1.5f, 4, 4, 21u);
            sky = mix(sky, Color{0.95f, 0.35f, 0.45f},
                      smoothstep(0.1f, 0.7f, streak) * 0.5f * (1.0f - d.y));
            sky = sky + Color{1.0f, 0.6f, 0.25f} * std::pow(toSun, 6.0f) * (1.0f - d.y) * 0.8f;
            return sky + Color{1.0f, 0.95f, 0.7f} * std::pow(toSun, 400.0f);
        }
        const float depth = -d.y;
        Color sea = mix(Color{0.45f, 0.18f, 0.30f}, Color{0.03f, 0.05f, 0.16f},
                        smoothstep(0.0f, 0.5f, depth));
        const PlanePoint p = planePoint(d, 0.4f);
        const float ripple =
            fractalNoise(p.u * 0.5f, p.v * 2.0f, 16, 4, 22u) * smoothstep(0.02f, 0.3f, depth);
        const float path = std::pow(toSun, 30.0f) * (1.0f - depth);
        sea = sea + Color{1.0f, 0.55f, 0.2f} * (path * smoothstep(-0.1f, 0.5f, ripple));
        return sea * (0.85f + 0.3f * ripple);
    });
}

RgbImage paintAurora(int size) {
    static constexpr RampStop kCurtain[] = {
        {0.0f, {0.0f, 0.0f, 0.0f}},
        {0.35f, {0.05f, 0.55f, 0.35f}},
        {0.7f, {0.25f, 0.95f, 0.55f}},
        {1.0f, {0.75f, 0.45f, 0.95f}},
    };
    return paint(size, [](float s, float t) {
        const Direction d = sphereMapDirection(s, t);
        const float u = azimuth(d);
        const float height = d.y * 0.5f + 0.5f;
        Color sky = mix(Color{0.02f, 0.05f, 0.12f}, Color{0.0f, 0.0f, 0.03f}, height);
        // Folded bands: the band's centre line wanders with noise along the sky.
        const float wander = fractalNoise(u, 0.5f, 5, 4, 31u) * 0.18f;
        const float band = std::exp(-std::pow((height - 0.62f - wander) * 7.0f, 2.0f));
        const float rays = 0.55f + 0.45f * fractalNoise(u * 4.0f, height * 0.3f, 16, 3, 32u);
        const float above = smoothstep(0.0f, 0.25f, height - 0.55f - wander);
        sky = sky + ramp(kCurtain, clamp01(band * rays + above * 0.6f * band)) * 1.1f;
        // Sparse stars behind the curtains.
        const int cx = static_cast<int>(s * 256.0f);
        const int cy = static_cast<int>(t * 256.0f);
        if (hashUnit(cx, cy, 33u) > 0.994f) sky = sky + Color{0.8f, 0.8f, 0.9f} * (1.0f - band);
        return sky;
    });
}

RgbImage paintHaze(int size) {
    return paint(size, [](float u, float v) {
        const float cloud = fractalNoise(u, v, 2, 3, 41u);
        const float level = 0.955f + 0.03f * cloud;
        return Color{level, level, level * 0.995f + 0.004f};
    });
}
