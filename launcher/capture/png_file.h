// PNG files over libpng: 8-bit RGB pictures, rows top first, written as a
// shot's output.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

struct RgbPicture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;  // width x height x 3, top row first
};

// Writes picture to the open file (which stays open). False with error set.
bool writePng(std::FILE* file, const RgbPicture& picture, std::string& error);

// RGBA rows as OpenGL reads them (bottom row first) to an RGB picture.
RgbPicture pictureFromGlRows(const std::vector<std::uint8_t>& rgba, int width, int height);
