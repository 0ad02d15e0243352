// A supersampled picture reduced to its output size: each output pixel is
// the average of its factor x factor block, taken in linear light (the sRGB
// code values decoded, averaged, encoded again), so a thin bright line keeps
// its brightness instead of darkening as a plain average of codes would.
// Integer arithmetic over fixed tables: the same input gives the same bytes
// on every run.
#pragma once

#include <cstdint>
#include <vector>

// big holds bigWidth x bigHeight pixels of 4 bytes (RGBA or BGRA: the first
// three are colour, the fourth is averaged plainly); out receives
// (bigWidth / factor) x (bigHeight / factor) pixels in the same layout and
// row order.
void reduceInLinearLight(const std::vector<std::uint8_t>& big, int bigWidth, int bigHeight,
                         int factor, std::vector<std::uint8_t>& out);

// The transfer functions the reduction is built on, for tests: an sRGB code
// as linear light 0 to 1, and back (rounded to the nearest code).
double linearFromSrgb(std::uint8_t code);
std::uint8_t srgbFromLinear(double linear);
