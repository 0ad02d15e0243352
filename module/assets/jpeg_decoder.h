// Turning a JPEG file's bytes into pixels: the decoder behind the JPEG layer
// (jpeg_reader.h). One implementation per platform: libjpeg(-turbo) here,
// the browser's own decoder in a web build.
#pragma once

#include <cstdint>
#include <vector>

#include "assets/jpeg_reader.h"

// The picture's width and height from its bytes; kJpegOk or a failure
// status (kJpegCorrupt, kJpegTooLarge beyond kJpegMaxSide).
int decodeJpegParameters(const std::vector<std::uint8_t>& bytes, int* width, int* height);

// The whole picture into out.pixels as out describes it (its size must be
// the picture's; 3 channels RGB or 1 grey), rows tightly packed, top first.
int decodeJpegPicture(const std::vector<std::uint8_t>& bytes, const JpegRecord& out);
