// Implements the capture tests' helpers over the process runner and libpng.
#include "capture_support.h"

#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>

namespace capture_test {

ScratchFolder::ScratchFolder(const std::string& name)
    : path_(fs::temp_directory_path() / (name + "-" + std::to_string(::getpid()))) {
    fs::remove_all(path_);
    fs::create_directories(path_);
    fs::permissions(path_, fs::perms::owner_all);
}

ScratchFolder::~ScratchFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

namespace {

ProcessResult runIn(const char* program, const std::vector<std::string>& args,
                    const fs::path& runtimeDir, const ProcessOptions& extra) {
    ProcessOptions options = extra;
    if (options.workingDirectory.empty()) options.workingDirectory = BUILD_DIR;
    options.environment.emplace_back("XDG_RUNTIME_DIR", runtimeDir.string());
    options.environment.emplace_back("SDL_AUDIODRIVER", "dummy");
    return runProcess(program, args, options);
}

}  // namespace

ProcessResult runTalvenor(const std::vector<std::string>& args, const fs::path& runtimeDir,
                          const ProcessOptions& extra) {
    return runIn(TALVENOR_PATH, args, runtimeDir, extra);
}

ProcessResult runTracedTalvenor(const std::vector<std::string>& args, const fs::path& runtimeDir,
                                const ProcessOptions& extra) {
    return runIn(TRACED_TALVENOR_PATH, args, runtimeDir, extra);
}

fs::path workingName(const fs::path& finalPath, const std::string& tag, int pid) {
    return finalPath.parent_path() / ("." + finalPath.filename().string() + "." + tag + "." +
                                      std::to_string(pid) + "-0.partial");
}

RgbPicture readPicture(const fs::path& png) {
    RgbPicture picture;
    std::string error;
    if (!readPng(png.string(), picture, error)) picture = {};
    return picture;
}

RgbPicture rawFrame(const fs::path& raw, int width, int height, int index) {
    RgbPicture picture;
    const std::size_t frameBytes = static_cast<std::size_t>(width) * height * 4;
    std::ifstream in(raw, std::ios::binary);
    in.seekg(static_cast<std::streamoff>(frameBytes * index));
    std::vector<char> rgba(frameBytes);
    if (!in.read(rgba.data(), static_cast<std::streamsize>(frameBytes))) return picture;
    picture.width = width;
    picture.height = height;
    for (std::size_t i = 0; i < frameBytes; i += 4) {
        picture.rgb.insert(picture.rgb.end(), rgba.begin() + i, rgba.begin() + i + 3);
    }
    return picture;
}

fs::path buildFolder() {
    return BUILD_DIR;
}

std::string fileBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

namespace {

constexpr double kMaxMeanDifference = 2.0;  // per channel, of 255
constexpr int kFarOff = 48;                 // a channel this far off is a wrong pixel
constexpr double kMaxFarOffShare = 0.005;   // of all pixels

}  // namespace

PictureDifference compare(const RgbPicture& a, const RgbPicture& b) {
    PictureDifference d;
    const std::size_t pixels = a.rgb.size() / 3;
    if (pixels == 0 || a.rgb.size() != b.rgb.size()) {
        d.farOffShare = 1.0;
        return d;
    }
    std::size_t farOff = 0;
    for (std::size_t p = 0; p < pixels; ++p) {
        bool far = false;
        for (int c = 0; c < 3; ++c) {
            const int delta = std::abs(int(a.rgb[3 * p + c]) - int(b.rgb[3 * p + c]));
            d.mean[c] += delta;
            far = far || delta > kFarOff;
        }
        if (far) ++farOff;
    }
    for (double& m : d.mean) m /= static_cast<double>(pixels);
    d.farOffShare = static_cast<double>(farOff) / static_cast<double>(pixels);
    return d;
}

bool withinGoldenTolerance(const PictureDifference& d) {
    return d.mean[0] <= kMaxMeanDifference && d.mean[1] <= kMaxMeanDifference &&
           d.mean[2] <= kMaxMeanDifference && d.farOffShare <= kMaxFarOffShare;
}

RgbPicture crop(const RgbPicture& picture, int x, int y, int width, int height) {
    RgbPicture part;
    if (x < 0 || y < 0 || x + width > picture.width || y + height > picture.height) return part;
    part.width = width;
    part.height = height;
    for (int row = y; row < y + height; ++row) {
        const auto start =
            picture.rgb.begin() + (static_cast<std::size_t>(row) * picture.width + x) * 3;
        part.rgb.insert(part.rgb.end(), start, start + static_cast<std::size_t>(width) * 3);
    }
    return part;
}

long nonBlackPixels(const RgbPicture& picture, int x, int y, int width, int height) {
    long count = 0;
    for (int row = y; row < y + height; ++row) {
        for (int col = x; col < x + width; ++col) {
            const std::size_t i = (static_cast<std::size_t>(row) * picture.width + col) * 3;
            if (picture.rgb[i] != 0 || picture.rgb[i + 1] != 0 || picture.rgb[i + 2] != 0) ++count;
        }
    }
    return count;
}

std::string probe(const fs::path& video, const std::string& type, const std::string& entry) {
    ProcessOptions options;
    options.timeoutSeconds = 60;
    const ProcessResult r =
        runProcess("/usr/bin/ffprobe",
                   {"-v", "error", "-count_frames", "-select_streams", type + ":0", "-show_entries",
                    "stream=" + entry, "-of", "default=noprint_wrappers=1:nokey=1", video.string()},
                   options);
    if (r.exitCode != 0) return {};
    std::string value = r.output;
    while (!value.empty() && (value.back() == '\n' || value.back() == '\r')) value.pop_back();
    return value;
}

namespace {

// The song's bytes as ffmpeg decodes them, or nothing on failure.
bool decodedBytes(const fs::path& video, std::string& bytes) {
    ProcessOptions options;
    options.timeoutSeconds = 60;
    const ProcessResult r = runProcess("/usr/bin/ffmpeg",
                                       {"-v", "quiet", "-nostdin", "-i", video.string(), "-map",
                                        "0:a:0", "-f", "s16le", "-ac", "2", "-"},
                                       options);
    bytes = r.output;
    return r.exitCode == 0;
}

}  // namespace

std::vector<std::int16_t> decodedSong(const fs::path& video) {
    std::string bytes;
    if (!decodedBytes(video, bytes)) return {};
    std::vector<std::int16_t> samples(bytes.size() / 2);
    if (!samples.empty()) std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
    return samples;
}

long long decodedAudioFrames(const fs::path& video) {
    std::string bytes;
    if (!decodedBytes(video, bytes)) return -1;
    return static_cast<long long>(bytes.size() / 4);
}

}  // namespace capture_test
