// Implements the tests' PNG reader with libpng's simplified API.
#include "png_reader.h"

#include <png.h>

#include <cstring>

bool readPng(const std::string& path, RgbPicture& picture, std::string& error) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_file(&image, path.c_str()) == 0) {
        error = image.message;
        return false;
    }
    image.format = PNG_FORMAT_RGB;
    picture.width = static_cast<int>(image.width);
    picture.height = static_cast<int>(image.height);
    picture.rgb.assign(PNG_IMAGE_SIZE(image), 0);
    if (png_image_finish_read(&image, nullptr, picture.rgb.data(), 0, nullptr) == 0) {
        error = image.message;
        png_image_free(&image);
        return false;
    }
    return true;
}
