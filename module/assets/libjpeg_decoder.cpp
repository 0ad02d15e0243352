// Implements the JPEG decoder over libjpeg(-turbo), decoding from memory.
// libjpeg reports fatal errors through error_exit, which must not return: it
// jumps back to the decode step, which then reports a status. Warnings (a
// truncated file, corrupt data) are treated as failures too, since libjpeg
// would otherwise quietly pad a cut-short picture with grey.
#include <csetjmp>
#include <cstddef>
#include <cstdio>

// jpeglib.h needs size_t and FILE declared before it.
#include <jpeglib.h>

#include "assets/jpeg_decoder.h"

namespace {

// A progressive file can hold an unbounded number of scans, each costing a
// pass over the coefficients; no honest picture needs more than a few dozen.
constexpr int kMaxScans = 256;

struct DecodeErrors {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

struct Decoder {
    jpeg_decompress_struct info;
    DecodeErrors errors;
    jpeg_progress_mgr progress;
};

[[noreturn]] void failDecode(j_common_ptr info) {
    auto* errors = reinterpret_cast<DecodeErrors*>(info->err);
    std::longjmp(errors->jump, 1);
}

// Level -1 is a warning about the data (corrupt or premature end): fail.
// Higher levels are trace messages: stay quiet.
void onMessage(j_common_ptr info, int level) {
    if (level < 0) failDecode(info);
}

void quietOutput(j_common_ptr) {}

void watchScans(j_common_ptr info) {
    if (info->is_decompressor) {
        auto* decompress = reinterpret_cast<j_decompress_ptr>(info);
        if (decompress->input_scan_number > kMaxScans) failDecode(info);
    }
}

void prepareDecoder(Decoder& decoder) {
    decoder.info.err = jpeg_std_error(&decoder.errors.manager);
    decoder.errors.manager.error_exit = failDecode;
    decoder.errors.manager.emit_message = onMessage;
    decoder.errors.manager.output_message = quietOutput;
    decoder.progress.progress_monitor = watchScans;
}

// Decodes the picture whose header info has read into out's pixels; may
// leave by the error jump.
int readPicture(jpeg_decompress_struct& info, const JpegRecord& out) {
    if (info.image_width != static_cast<JDIMENSION>(out.outputWidth) ||
        info.image_height != static_cast<JDIMENSION>(out.outputHeight)) {
        return kJpegBadArgument;
    }
    info.out_color_space = out.outputChannels == 1 ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_start_decompress(&info);
    if (info.output_components != out.outputChannels || info.output_width != info.image_width ||
        info.output_height != info.image_height) {
        return kJpegBadArgument;
    }
    const std::size_t rowBytes =
        static_cast<std::size_t>(out.outputWidth) * static_cast<std::size_t>(out.outputChannels);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = out.pixels + rowBytes * info.output_scanline;
        // A memory source never suspends; no progress would mean a loop forever.
        if (jpeg_read_scanlines(&info, &row, 1) != 1) return kJpegCorrupt;
    }
    jpeg_finish_decompress(&info);
    return kJpegOk;
}

bool sizeAllowed(const jpeg_decompress_struct& info) {
    return info.image_width > 0 && info.image_height > 0 &&
           info.image_width <= static_cast<JDIMENSION>(kJpegMaxSide) &&
           info.image_height <= static_cast<JDIMENSION>(kJpegMaxSide);
}

// The header's size into width and height; with out, the whole picture as
// out describes it. Only trivially destructible objects live in the frames
// that the error jump crosses, so leaving them by longjmp is sound.
int decode(const std::vector<std::uint8_t>& bytes, const JpegRecord* out, int* width, int* height) {
    Decoder decoder{};
    prepareDecoder(decoder);
    if (setjmp(decoder.errors.jump) != 0) {
        jpeg_destroy_decompress(&decoder.info);
        return kJpegCorrupt;
    }
    jpeg_create_decompress(&decoder.info);
    decoder.info.progress = &decoder.progress;
    jpeg_mem_src(&decoder.info, bytes.data(), static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&decoder.info, TRUE);
    *width = static_cast<int>(decoder.info.image_width);
    *height = static_cast<int>(decoder.info.image_height);
    int status = sizeAllowed(decoder.info) ? kJpegOk : kJpegTooLarge;
    if (status == kJpegOk && out != nullptr) status = readPicture(decoder.info, *out);
    jpeg_destroy_decompress(&decoder.info);
    return status;
}

}  // namespace

int decodeJpegParameters(const std::vector<std::uint8_t>& bytes, int* width, int* height) {
    return decode(bytes, nullptr, width, height);
}

int decodeJpegPicture(const std::vector<std::uint8_t>& bytes, const JpegRecord& out) {
    int width = 0;
    int height = 0;
    const int status = decode(bytes, &out, &width, &height);
    return status == kJpegTooLarge ? kJpegBadArgument : status;
}
