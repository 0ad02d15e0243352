// Encodes an RGB picture as a baseline JPEG in memory with libjpeg. The same
// pixels and quality give the same bytes: no timestamps, fixed tables.
#pragma once

#include <cstdint>
#include <vector>

// rgb holds width x height x 3 bytes, rows top to bottom (or x 1 with grey).
std::vector<std::uint8_t> encodeJpeg(const std::uint8_t* pixels, int width, int height,
                                     int channels, int quality);
