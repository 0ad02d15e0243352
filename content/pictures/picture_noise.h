// Noise for the procedural pictures: gradient noise and cellular noise on a
// lattice that wraps around, so that pictures made from them tile seamlessly
// under GL_REPEAT. Integer hashing only: the same values on every build.
#pragma once

#include <cstdint>

// A 32-bit integer hash, the source of every random choice in the pictures.
std::uint32_t hashCell(std::int32_t x, std::int32_t y, std::uint32_t seed);

// A value from the hash, in [0, 1).
float hashUnit(std::int32_t x, std::int32_t y, std::uint32_t seed);

// Gradient noise in about [-1, 1] at (x, y), repeating every `period` units.
float gradientNoise(float x, float y, int period, std::uint32_t seed);

// Sum of `octaves` layers of gradient noise, each at twice the frequency and
// half the amplitude of the one before; u, v in [0, 1) and `period` cells on
// the first layer. Roughly in [-1, 1].
float fractalNoise(float u, float v, int period, int octaves, std::uint32_t seed);

// Like fractalNoise with absolute values: creases where the noise crosses 0.
float turbulence(float u, float v, int period, int octaves, std::uint32_t seed);

// Cellular noise: distances to the nearest and second nearest of one random
// point per cell, on a `period` x `period` wrapping grid over u, v in [0, 1).
struct CellDistances {
    float nearest;
    float second;
};
CellDistances cellNoise(float u, float v, int period, std::uint32_t seed);
