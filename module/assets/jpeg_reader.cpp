// Implements the JPEG layer's steps (jpeg_reader.h): the file is read whole
// through a descriptor opened safely (a regular file of this user with one
// name, no link followed, no FIFO waited on) and kept in the record between
// the two reads; the platform's decoder turns the bytes into pixels.
#include "assets/jpeg_reader.h"

#include <sys/stat.h>
#include <unistd.h>

#include <new>
#include <string>
#include <vector>

#include "assets/jpeg_decoder.h"
#include "common/failure_detail.h"
#include "common/plain_files.h"

struct JpegFileBytes {
    std::string path;
    std::vector<std::uint8_t> bytes;
};

namespace {

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
        return decodeJpegParameters(record->file->bytes, &record->width, &record->height);
    }
    return decodeJpegPicture(record->file->bytes, *record);
}

int jpegReleaseRecord(JpegRecord* record) {
    if (record == nullptr) return kJpegBadArgument;
    delete record->file;
    record->file = nullptr;
    return kJpegOk;
}
