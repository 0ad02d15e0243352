// Temporary names beside the final file (so the rename stays on one file
// system) and the two ffmpeg command lines.
#include "capture/capture_files.h"

#include <cstdlib>

#include "options/option_values.h"

namespace {

// Where the extension of path begins (its size when it has none).
std::size_t extensionAt(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    const std::size_t dot = path.rfind('.');
    const bool hasExtension =
        dot != std::string::npos && dot > 0 && (slash == std::string::npos || dot > slash + 1);
    return hasExtension ? dot : path.size();
}

bool endsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace

std::string taggedName(const std::string& path, const std::string& tag) {
    const std::size_t dot = extensionAt(path);
    return path.substr(0, dot) + "." + tag + path.substr(dot);
}

bool isRawCapture(const std::string& path) {
    return endsWith(path, ".rgba");
}

std::string rawAudioName(const std::string& path) {
    return path + ".s16";
}

bool isSongCapture(const std::string& path) {
    return endsWith(path, ".s16");
}

CaptureFiles captureFilesFor(const std::string& finalPath) {
    CaptureFiles files;
    files.finalPath = finalPath;
    files.partialPath = taggedName(finalPath, "partial");
    if (isSongCapture(finalPath)) {
        files.audioPath = files.partialPath;
    } else if (isRawCapture(finalPath)) {
        files.videoPath = files.partialPath;
        files.audioPath = taggedName(rawAudioName(finalPath), "partial");
    } else {
        files.videoPath = taggedName(finalPath, "video.partial");
        files.audioPath = finalPath.substr(0, extensionAt(finalPath)) + ".audio.partial.s16";
    }
    return files;
}

std::string encoderPreset() {
    const char* preset = std::getenv("SORVANEL_CAPTURE_PRESET");
    return preset != nullptr && preset[0] != '\0' ? preset : "veryfast";
}

bool encoderTimeout(std::chrono::milliseconds& timeout, std::string& error) {
    timeout = std::chrono::seconds(30);
    const char* text = std::getenv("SORVANEL_ENCODER_TIMEOUT");
    if (text == nullptr || text[0] == '\0') return true;
    long seconds = 0;
    if (!parseWholeNumber(text, 1, 3600, seconds)) {
        error = "SORVANEL_ENCODER_TIMEOUT takes whole seconds from 1 to 3600";
        return false;
    }
    timeout = std::chrono::seconds(seconds);
    return true;
}

std::vector<std::string> encodeArguments(const std::string& videoPath, int width, int height,
                                         int framesPerSecond, const std::string& preset) {
    return {"ffmpeg",      "-hide_banner",
            "-nostdin",    "-loglevel",
            "error",       "-y",
            "-f",          "rawvideo",
            "-pix_fmt",    "bgra",
            "-video_size", std::to_string(width) + "x" + std::to_string(height),
            "-framerate",  std::to_string(framesPerSecond),
            "-i",          "pipe:0",
            "-an",         "-c:v",
            "libx264",     "-preset",
            preset,        "-crf",
            "18",          "-pix_fmt",
            "yuv420p",     "-f",
            "mp4",         videoPath};
}

std::vector<std::string> muxArguments(const std::string& videoPath, const std::string& audioPath,
                                      int audioRate, const std::string& outputPath,
                                      const std::string& finalPath) {
    std::vector<std::string> args = {"ffmpeg",   "-hide_banner",
                                     "-nostdin", "-loglevel",
                                     "error",    "-y",
                                     "-i",       videoPath,
                                     "-f",       "s16le",
                                     "-ar",      std::to_string(audioRate),
                                     "-ac",      "2",
                                     "-i",       audioPath,
                                     "-map",     "0:v:0",
                                     "-map",     "1:a:0",
                                     "-c:v",     "copy"};
    if (endsWith(finalPath, ".mkv")) {
        args.insert(args.end(), {"-c:a", "flac", "-f", "matroska"});
    } else {
        args.insert(args.end(), {"-c:a", "aac", "-b:a", "192k", "-movflags", "+faststart"});
        args.insert(args.end(), {"-f", endsWith(finalPath, ".mov") ? "mov" : "mp4"});
    }
    args.push_back(outputPath);
    return args;
}
