// Implements the PNG layer with libpng's simplified API (png_image), which
// reports errors through the image record instead of longjmp.
#include "capture/png_file.h"

#include <png.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

bool writePng(std::FILE* file, const RgbPicture& picture, std::string& error) {
    if (picture.width <= 0 || picture.height <= 0 ||
        picture.rgb.size() != static_cast<std::size_t>(picture.width) * picture.height * 3) {
        error = "empty or inconsistent picture";
        return false;
    }
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(picture.width);
    image.height = static_cast<png_uint_32>(picture.height);
    image.format = PNG_FORMAT_RGB;
    errno = 0;
    if (png_image_write_to_stdio(&image, file, 0, picture.rgb.data(), 0, nullptr) == 0) {
        // libpng says only "Write Error"; the file's own error says why.
        const int why = errno;
        error = image.message;
        if (std::ferror(file) != 0 && why != 0) error += std::string(": ") + std::strerror(why);
        png_image_free(&image);
        return false;
    }
    if (std::fflush(file) != 0) {
        error = std::strerror(errno);
        return false;
    }
    return true;
}

RgbPicture pictureFromGlRows(const std::vector<std::uint8_t>& rgba, int width, int height) {
    RgbPicture picture;
    picture.width = width;
    picture.height = height;
    picture.rgb.resize(static_cast<std::size_t>(width) * height * 3);
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* in = rgba.data() + static_cast<std::size_t>(height - 1 - y) * width * 4;
        std::uint8_t* out = picture.rgb.data() + static_cast<std::size_t>(y) * width * 3;
        for (int x = 0; x < width; ++x) {
            out[3 * x] = in[4 * x];
            out[3 * x + 1] = in[4 * x + 1];
            out[3 * x + 2] = in[4 * x + 2];
        }
    }
    return picture;
}
