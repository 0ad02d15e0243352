// Reading PNG files back for the tests' picture comparisons.
#pragma once

#include <string>

#include "capture/png_file.h"

// Reads an 8-bit RGB or RGBA PNG (alpha dropped). False with error set.
bool readPng(const std::string& path, RgbPicture& picture, std::string& error);
