// Implements the JPEG layer (jpeg_reader.h) over libjpeg(-turbo): the file is
// read whole through a descriptor opened with O_NOFOLLOW and decoded from
// memory. libjpeg reports fatal errors through error_exit, which must not
// return: it jumps back to the decode step, which then reports a status.
// Warnings (a truncated file, corrupt data) are treated as failures too, since
// libjpeg would otherwise quietly pad a cut-short picture with grey.
#include "assets/jpeg_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csetjmp>
#include <cstddef>
#include <cstdio>
#include <new>
#include <string>
#include <vector>

// jpeglib.h needs size_t and FILE declared before it.
#include <jpeglib.h>

#include "common/failure_detail.h"
#include "common/plain_files.h"

struct JpegFileBytes {
    std::string path;
    std::vector<std::uint8_t> bytes;
};

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

int readFileBytes(const char* path, std::vector<std::uint8_t>& bytes) {
    // Only a regular file of ours with no other name, opened without waiting
    // on a FIFO or following a link.
    std::string why;
    const int fd = openPlainFile(path, true, why);
    if (fd < 0) {
        noteFailureDetail(why);
        return kJpegOpenFailed;
    }
    struct stat info {};
    if (fstat(fd, &info) != 0) {
        close(fd);
        return kJpegOpenFailed;
    }
    if (info.st_size > kJpegMaxFileBytes) {
        close(fd);
        return kJpegTooLarge;
    }
    try {
        bytes.resize(static_cast<std::size_t>(info.st_size));
    } catch (const std::bad_alloc&) {
        close(fd);
        return kJpegOutOfMemory;
    }
    // The size is only a hint: the file may have shrunk since the fstat.
    std::size_t filled = 0;
    while (filled < bytes.size()) {
        const ssize_t got = read(fd, bytes.data() + filled, bytes.size() - filled);
        if (got < 0) {
            close(fd);
            return kJpegReadFailed;
        }
        if (got == 0) break;
        filled += static_cast<std::size_t>(got);
    }
    close(fd);
    bytes.resize(filled);
    return kJpegOk;
}

// Makes sure the record holds the bytes of the file it names.
int loadFile(JpegRecord* record) {
    if (record->file == nullptr) {
        record->file = new (std::nothrow) JpegFileBytes;
        if (record->file == nullptr) return kJpegOutOfMemory;
    }
    JpegFileBytes& file = *record->file;
    if (!file.bytes.empty() && file.path == record->filePath) return kJpegOk;
    file.bytes.clear();
    file.path.clear();
    const int status = readFileBytes(record->filePath, file.bytes);
    if (status != kJpegOk) return status;
    if (file.bytes.empty()) return kJpegCorrupt;
    file.path = record->filePath;
    return kJpegOk;
}

void prepareDecoder(Decoder& decoder) {
    decoder.info.err = jpeg_std_error(&decoder.errors.manager);
    decoder.errors.manager.error_exit = failDecode;
    decoder.errors.manager.emit_message = onMessage;
    decoder.errors.manager.output_message = quietOutput;
    decoder.progress.progress_monitor = watchScans;
}

bool sizeAllowed(const jpeg_decompress_struct& info) {
    return info.image_width > 0 && info.image_height > 0 &&
           info.image_width <= static_cast<JDIMENSION>(kJpegMaxSide) &&
           info.image_height <= static_cast<JDIMENSION>(kJpegMaxSide);
}

// Only trivially destructible objects live in the frames that the error jump
// crosses, so leaving them by longjmp is sound.
int decodeParameters(const JpegFileBytes& file, int* width, int* height) {
    Decoder decoder{};
    prepareDecoder(decoder);
    if (setjmp(decoder.errors.jump) != 0) {
        jpeg_destroy_decompress(&decoder.info);
        return kJpegCorrupt;
    }
    jpeg_create_decompress(&decoder.info);
    decoder.info.progress = &decoder.progress;
    jpeg_mem_src(&decoder.info, file.bytes.data(), static_cast<unsigned long>(file.bytes.size()));
    jpeg_read_header(&decoder.info, TRUE);
    const bool allowed = sizeAllowed(decoder.info);
    *width = static_cast<int>(decoder.info.image_width);
    *height = static_cast<int>(decoder.info.image_height);
    jpeg_destroy_decompress(&decoder.info);
    return allowed ? kJpegOk : kJpegTooLarge;
}

int decodePicture(const JpegFileBytes& file, const JpegRecord& out) {
    Decoder decoder{};
    prepareDecoder(decoder);
    if (setjmp(decoder.errors.jump) != 0) {
        jpeg_destroy_decompress(&decoder.info);
        return kJpegCorrupt;
    }
    jpeg_create_decompress(&decoder.info);
    decoder.info.progress = &decoder.progress;
    jpeg_mem_src(&decoder.info, file.bytes.data(), static_cast<unsigned long>(file.bytes.size()));
    jpeg_read_header(&decoder.info, TRUE);
    if (!sizeAllowed(decoder.info) ||
        decoder.info.image_width != static_cast<JDIMENSION>(out.outputWidth) ||
        decoder.info.image_height != static_cast<JDIMENSION>(out.outputHeight)) {
        jpeg_destroy_decompress(&decoder.info);
        return kJpegBadArgument;
    }
    decoder.info.out_color_space = out.outputChannels == 1 ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_start_decompress(&decoder.info);
    if (decoder.info.output_components != out.outputChannels ||
        decoder.info.output_width != decoder.info.image_width ||
        decoder.info.output_height != decoder.info.image_height) {
        jpeg_destroy_decompress(&decoder.info);
        return kJpegBadArgument;
    }
    const std::size_t rowBytes =
        static_cast<std::size_t>(out.outputWidth) * static_cast<std::size_t>(out.outputChannels);
    while (decoder.info.output_scanline < decoder.info.output_height) {
        JSAMPROW row = out.pixels + rowBytes * decoder.info.output_scanline;
        // A memory source never suspends; no progress would mean a loop forever.
        if (jpeg_read_scanlines(&decoder.info, &row, 1) != 1) {
            jpeg_destroy_decompress(&decoder.info);
            return kJpegCorrupt;
        }
    }
    jpeg_finish_decompress(&decoder.info);
    jpeg_destroy_decompress(&decoder.info);
    return kJpegOk;
}

bool outputDescribed(const JpegRecord& record) {
    const bool rgb = record.outputChannels == 3 && record.outputColorSpace == kJpegColorRgb;
    const bool grey = record.outputChannels == 1 && record.outputColorSpace == kJpegColorGrey;
    return record.pixels != nullptr && record.outputWidth > 0 && record.outputHeight > 0 &&
           (rgb || grey);
}

}  // namespace

int jpegInitRecord(JpegRecord* record) {
    if (record == nullptr) return kJpegBadArgument;
    *record = JpegRecord{};
    return kJpegOk;
}

int jpegRead(JpegRecord* record, JpegReadMode mode) {
    if (record == nullptr || record->filePath == nullptr) return kJpegBadArgument;
    if (mode == JpegReadMode::kWholePicture && !outputDescribed(*record)) return kJpegBadArgument;
    if (mode != JpegReadMode::kParameters && mode != JpegReadMode::kWholePicture) {
        return kJpegBadArgument;
    }
    const int status = loadFile(record);
    if (status != kJpegOk) return status;
    if (mode == JpegReadMode::kParameters) {
        return decodeParameters(*record->file, &record->width, &record->height);
    }
    return decodePicture(*record->file, *record);
}

int jpegReleaseRecord(JpegRecord* record) {
    if (record == nullptr) return kJpegBadArgument;
    delete record->file;
    record->file = nullptr;
    return kJpegOk;
}
