// Implements the capture tests' helpers over the process runner and libpng.
#include "capture_support.h"

#include <unistd.h>

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

ProcessResult runTalvenor(const std::vector<std::string>& args, const fs::path& runtimeDir,
                          const ProcessOptions& extra) {
    ProcessOptions options = extra;
    options.workingDirectory = BUILD_DIR;
    options.environment.emplace_back("XDG_RUNTIME_DIR", runtimeDir.string());
    options.environment.emplace_back("SDL_AUDIODRIVER", "dummy");
    return runProcess(TALVENOR_PATH, args, options);
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

std::string fileBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
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

long long decodedAudioFrames(const fs::path& video) {
    ProcessOptions options;
    options.timeoutSeconds = 60;
    const ProcessResult r = runProcess("/usr/bin/ffmpeg",
                                       {"-v", "quiet", "-nostdin", "-i", video.string(), "-map",
                                        "0:a:0", "-f", "s16le", "-ac", "2", "-"},
                                       options);
    if (r.exitCode != 0) return -1;
    return static_cast<long long>(r.output.size() / 4);
}

}  // namespace capture_test
