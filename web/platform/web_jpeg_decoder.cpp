// Implements the JPEG decoder in a browser: the page's own decoder
// (createImageBitmap with colour conversion off, drawn into a 2D canvas kept
// in software) gives the same pixels as libjpeg-turbo. Decoding is
// asynchronous in the browser; the module's Init waits for it as for any
// call (Asyncify). The parameter read decodes the picture and keeps it for
// the picture read that follows.
#include <emscripten/emscripten.h>

#include <cstdlib>

#include "assets/jpeg_decoder.h"

namespace {

// clang-format off
// RGBA rows top first in a buffer from malloc (the caller frees it), or 0
// when the browser cannot decode the bytes.
EM_ASYNC_JS(std::uint8_t*, browserDecodeJpeg, (const std::uint8_t* data, int size, int* width,
                                               int* height), {
    try {
        const blob = new Blob([HEAPU8.slice(data, data + size)], {type: 'image/jpeg'});
        const bitmap = await createImageBitmap(blob, {colorSpaceConversion: 'none',
                                                      premultiplyAlpha: 'none',
                                                      imageOrientation: 'none'});
        const w = bitmap.width, h = bitmap.height;
        const canvas = new OffscreenCanvas(w, h);
        const context = canvas.getContext('2d', {willReadFrequently: true});
        context.drawImage(bitmap, 0, 0);
        bitmap.close();
        const pixels = context.getImageData(0, 0, w, h).data;
        const out = _malloc(w * h * 4);
        if (!out) return 0;
        HEAPU8.set(pixels, out);
        HEAP32[width >> 2] = w;
        HEAP32[height >> 2] = h;
        return out;
    } catch (e) {
        return 0;
    }
});
// clang-format on

// The last picture decoded, for the picture read after the parameter read.
struct Decoded {
    std::vector<std::uint8_t> bytes;
    std::vector<std::uint8_t> rgba;
    int width = 0;
    int height = 0;
};
Decoded last;

int decode(const std::vector<std::uint8_t>& bytes) {
    if (!last.rgba.empty() && last.bytes == bytes) return kJpegOk;
    last = Decoded{};
    int width = 0;
    int height = 0;
    std::uint8_t* rgba =
        browserDecodeJpeg(bytes.data(), static_cast<int>(bytes.size()), &width, &height);
    if (rgba == nullptr) return kJpegCorrupt;
    if (width <= 0 || height <= 0 || width > kJpegMaxSide || height > kJpegMaxSide) {
        std::free(rgba);
        return kJpegTooLarge;
    }
    last.bytes = bytes;
    last.rgba.assign(rgba, rgba + static_cast<std::size_t>(width) * height * 4);
    std::free(rgba);
    last.width = width;
    last.height = height;
    return kJpegOk;
}

}  // namespace

int decodeJpegParameters(const std::vector<std::uint8_t>& bytes, int* width, int* height) {
    const int status = decode(bytes);
    if (status != kJpegOk) return status;
    *width = last.width;
    *height = last.height;
    return kJpegOk;
}

int decodeJpegPicture(const std::vector<std::uint8_t>& bytes, const JpegRecord& out) {
    const int status = decode(bytes);
    if (status != kJpegOk) return status;
    if (out.outputWidth != last.width || out.outputHeight != last.height) return kJpegBadArgument;
    const std::size_t pixels = static_cast<std::size_t>(last.width) * last.height;
    for (std::size_t i = 0; i < pixels; ++i) {
        const std::uint8_t* from = last.rgba.data() + i * 4;
        if (out.outputChannels == 1) {
            out.pixels[i] = from[0];  // a grey picture decodes with R = G = B
        } else {
            out.pixels[i * 3] = from[0];
            out.pixels[i * 3 + 1] = from[1];
            out.pixels[i * 3 + 2] = from[2];
        }
    }
    return kJpegOk;
}
