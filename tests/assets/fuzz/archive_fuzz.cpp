// libFuzzer target for the archive-and-decode path: the input is the archive
// "morrowen.q7v"; it is unpacked into the temporary directory, every file is
// decoded through the JPEG layer as the texture slots would (parameters,
// buffer, whole picture, in colour and in grey), and the files are deleted.
#include <fcntl.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <new>

#include "assets/archive.h"
#include "assets/jpeg_reader.h"
#include "fuzz_scratch.h"

namespace {

void decodeAsASlotWould(const std::string& path, int channels) {
    JpegRecord record;
    if (jpegInitRecord(&record) != kJpegOk) return;
    record.filePath = path.c_str();
    if (jpegRead(&record, JpegReadMode::kParameters) == kJpegOk) {
        const std::size_t size = static_cast<std::size_t>(record.width) * record.height * channels;
        std::unique_ptr<std::uint8_t[]> pixels(new (std::nothrow) std::uint8_t[size]);
        if (pixels) {
            record.pixels = pixels.get();
            record.outputWidth = record.width;
            record.outputHeight = record.height;
            record.outputChannels = channels;
            record.outputColorSpace = channels == 1 ? kJpegColorGrey : kJpegColorRgb;
            jpegRead(&record, JpegReadMode::kWholePicture);
        }
    }
    jpegReleaseRecord(&record);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string tempDirectory = [] {
        const std::string temp = fuzzScratch() + "/temp";
        mkdir(temp.c_str(), 0700);
        return temp + "/";
    }();
    // The archive is opened by bare name, so the input goes into the scratch
    // folder as the working directory; libFuzzer's own relative paths need
    // the caller's working directory back afterwards.
    const int callerDirectory = open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (callerDirectory < 0 || chdir(fuzzScratch().c_str()) != 0) abort();
    std::FILE* archive = std::fopen(kArchiveFileName, "wb");
    if (archive == nullptr) abort();
    std::fwrite(data, 1, size, archive);
    std::fclose(archive);

    unpackArchive(tempDirectory);
    for (int slot = 0; slot < kArchiveEntryCount; ++slot) {
        const std::string path = tempDirectory + tempFileNameForSlot(slot);
        decodeAsASlotWould(path, slot == 3 ? 1 : 3);
    }
    deleteTempFiles(tempDirectory);
    if (fchdir(callerDirectory) != 0) abort();
    close(callerDirectory);
    return 0;
}
