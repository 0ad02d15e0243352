// libFuzzer target for the JPEG layer alone: the input is one temporary
// picture file, decoded as a texture slot would in colour and in grey.
// Smaller inputs than the whole archive, so it explores the decoder faster.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "assets/jpeg_reader.h"
#include "fuzz_scratch.h"

namespace {

void decode(const std::string& path, int channels) {
    JpegRecord record;
    if (jpegInitRecord(&record) != kJpegOk) return;
    record.filePath = path.c_str();
    if (jpegRead(&record, JpegReadMode::kParameters) == kJpegOk) {
        std::vector<std::uint8_t> pixels(static_cast<std::size_t>(record.width) * record.height *
                                         channels);
        record.pixels = pixels.data();
        record.outputWidth = record.width;
        record.outputHeight = record.height;
        record.outputChannels = channels;
        record.outputColorSpace = channels == 1 ? kJpegColorGrey : kJpegColorRgb;
        jpegRead(&record, JpegReadMode::kWholePicture);
    }
    jpegReleaseRecord(&record);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string path = fuzzScratch() + "/ff00a1.tmp";
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) abort();
    std::fwrite(data, 1, size, file);
    std::fclose(file);
    decode(path, 3);
    decode(path, 1);
    return 0;
}
