// Implements the final names of a capture's files and the command lines of
// ffmpeg (encode, mux) and ffprobe (check); plain text work.
#include "capture/capture_files.h"

#include <cstdlib>

#include "options/option_values.h"

namespace {

// ffprobe on path, quiet but for errors, answering what asks for as lines of
// comma-separated values without names.
std::vector<std::string> ffprobeArguments(std::initializer_list<const char*> what,
                                          const std::string& path) {
    std::vector<std::string> args = {"ffprobe", "-hide_banner", "-v", "error"};
    args.insert(args.end(), what.begin(), what.end());
    args.insert(args.end(), {"-of", "csv=p=0", path});
    return args;
}

}  // namespace

bool isRawCapture(const std::string& path) {
    return path.ends_with(".rgba");
}

std::string rawAudioName(const std::string& path) {
    return path + ".s16";
}

bool isSongCapture(const std::string& path) {
    return path.ends_with(".s16");
}

CaptureFiles captureFilesFor(const std::string& finalPath) {
    CaptureFiles files;
    files.finalPath = finalPath;
    if (isSongCapture(finalPath)) {
        files.songPath = finalPath;
    } else if (isRawCapture(finalPath)) {
        files.songPath = rawAudioName(finalPath);
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
    if (finalPath.ends_with(".mkv")) {
        args.insert(args.end(), {"-c:a", "flac", "-f", "matroska"});
    } else {
        args.insert(args.end(), {"-c:a", "aac", "-b:a", "192k", "-movflags", "+faststart"});
        args.insert(args.end(), {"-f", finalPath.ends_with(".mov") ? "mov" : "mp4"});
    }
    args.push_back(outputPath);
    return args;
}

std::vector<std::string> streamCountArguments(const std::string& path) {
    return ffprobeArguments(
        {"-count_packets", "-show_entries", "stream=codec_type,nb_read_packets"}, path);
}

std::vector<std::string> audioPacketArguments(const std::string& path) {
    return ffprobeArguments(
        {"-select_streams", "a:0", "-show_entries", "packet=pts_time,duration_time"}, path);
}
