// Benchmarks the picture start-up: unpacking the archive into the private
// directory, decoding the nine pictures through the JPEG layer, and decoding
// plus uploading them with mipmaps into texture slots on an offscreen context.
// Run from anywhere; it reads the archive the build wrote.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "assets/archive.h"
#include "assets/jpeg_reader.h"
#include "assets/texture_slot.h"
#include "offscreen/egl_offscreen.h"

namespace {

namespace fs = std::filesystem;

// A scratch show folder (holding a copy of the archive) and temporary directory.
struct Scratch {
    Scratch() {
        std::string pattern = (fs::temp_directory_path() / "sorvanel-bench-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) std::abort();
        root = pattern;
        fs::create_directory(root / "temp");
        fs::copy_file(SORVANEL_BENCH_ARCHIVE, root / kArchiveFileName);
        tempDirectory = (root / "temp").string() + "/";
        fs::current_path(root);
    }
    ~Scratch() { fs::remove_all(root); }
    fs::path root;
    std::string tempDirectory;
};

Scratch& scratch() {
    static Scratch instance;
    return instance;
}

void BM_UnpackArchive(benchmark::State& state) {
    const std::string& dir = scratch().tempDirectory;
    for (auto _ : state) {
        unpackArchive(dir);
        deleteTempFiles(dir);
    }
}
BENCHMARK(BM_UnpackArchive)->Unit(benchmark::kMillisecond);

void BM_DecodeNine(benchmark::State& state) {
    const std::string& dir = scratch().tempDirectory;
    unpackArchive(dir);
    std::vector<std::uint8_t> pixels(512 * 512 * 3);
    std::int64_t texels = 0;
    for (auto _ : state) {
        for (int slot = 0; slot < kArchiveEntryCount; ++slot) {
            const std::string path = dir + tempFileNameForSlot(slot);
            JpegRecord record;
            jpegInitRecord(&record);
            record.filePath = path.c_str();
            if (jpegRead(&record, JpegReadMode::kParameters) != kJpegOk) {
                state.SkipWithError("picture missing");
                return;
            }
            pixels.resize(static_cast<std::size_t>(record.width) * record.height * 3);
            record.pixels = pixels.data();
            record.outputWidth = record.width;
            record.outputHeight = record.height;
            record.outputChannels = 3;
            record.outputColorSpace = kJpegColorRgb;
            jpegRead(&record, JpegReadMode::kWholePicture);
            jpegReleaseRecord(&record);
            texels += static_cast<std::int64_t>(record.width) * record.height;
        }
    }
    deleteTempFiles(dir);
    state.counters["Mtexels/s"] =
        benchmark::Counter(static_cast<double>(texels) / 1e6, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_DecodeNine)->Unit(benchmark::kMillisecond);

void BM_DecodeAndUploadNine(benchmark::State& state) {
    const std::string& dir = scratch().tempDirectory;
    EglOffscreen gl(64, 64);
    if (!gl.ok()) {
        state.SkipWithError(gl.error().c_str());
        return;
    }
    unpackArchive(dir);
    auto slots = std::make_unique<TextureSlot[]>(kTextureSlotCount);
    for (auto _ : state) {
        for (int slot = 0; slot < kTextureSlotCount; ++slot) {
            const std::string path = dir + tempFileNameForSlot(slot);
            if (slots[slot].load(path.c_str(), 0, 1) == 0) {
                state.SkipWithError("load failed");
                return;
            }
        }
        glFinish();
    }
    deleteTempFiles(dir);
    slots.reset();
}
BENCHMARK(BM_DecodeAndUploadNine)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
