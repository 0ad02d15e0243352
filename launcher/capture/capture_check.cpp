// Implements the checks over ffprobe (through the ffmpeg pipe, the file
// handed as a descriptor, so no name is opened twice) and fstat.
#include "capture/capture_check.h"

#include <sys/stat.h>

#include <cmath>
#include <cstdio>
#include <sstream>

#include "capture/capture_files.h"
#include "capture/ffmpeg_pipe.h"
#include "capture/working_file.h"

namespace {

constexpr int kProbedFd = 3;

// ffprobe's answer for the file, or false with error set.
bool probe(const std::vector<std::string>& args, int fd, std::string& answer, std::string& error) {
    std::string why;
    const int status = runFfmpeg(args, {fd}, nullptr, why, &answer);
    if (status == 0) return true;
    error = "ffprobe cannot read it" + (why.empty() ? std::string() : ": " + why);
    return false;
}

std::string secondsText(double seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3f s", seconds);
    return text;
}

}  // namespace

StreamCounts parseStreamCounts(const std::string& csv) {
    StreamCounts counts;
    std::istringstream lines(csv);
    std::string line;
    while (std::getline(lines, line)) {
        const std::size_t comma = line.find(',');
        if (comma == std::string::npos) continue;
        const std::string type = line.substr(0, comma);
        long long n = -1;
        if (std::sscanf(line.c_str() + comma + 1, "%lld", &n) != 1) continue;
        if (type == "video" && counts.videoPackets < 0) counts.videoPackets = n;
        if (type == "audio" && counts.audioPackets < 0) counts.audioPackets = n;
    }
    return counts;
}

double parseAudioEnd(const std::string& csv) {
    double end = -1.0;
    std::istringstream lines(csv);
    std::string line;
    while (std::getline(lines, line)) {
        double pts = 0.0;
        double duration = 0.0;
        if (std::sscanf(line.c_str(), "%lf,%lf", &pts, &duration) == 2) end = pts + duration;
    }
    return end;
}

bool checkEncodedFile(int fd, const PlannedCapture& planned, std::string& error) {
    const std::string path = WorkingFile::inheritedPath(kProbedFd);
    std::string answer;
    if (!probe(streamCountArguments(path), fd, answer, error)) return false;
    const StreamCounts counts = parseStreamCounts(answer);
    if (counts.videoPackets != planned.frames) {
        error = "it holds " +
                (counts.videoPackets < 0 ? std::string("no video")
                                         : std::to_string(counts.videoPackets) + " frames") +
                " where " + std::to_string(planned.frames) + " were captured";
        return false;
    }
    if (counts.audioPackets <= 0) {
        error = "it holds no sound";
        return false;
    }
    if (!probe(audioPacketArguments(path), fd, answer, error)) return false;
    const double end = parseAudioEnd(answer);
    const double expected = static_cast<double>(planned.frames) / planned.framesPerSecond;
    if (!(std::fabs(end - expected) <= kSoundEndTolerance)) {
        error = "its sound lasts " + secondsText(end) + " where the frames last " +
                secondsText(expected);
        return false;
    }
    return true;
}

bool checkFileSize(int fd, const std::string& what, long long bytes, std::string& error) {
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        error = what + ": cannot be read back";
        return false;
    }
    if (info.st_size == bytes) return true;
    error = what + " holds " + std::to_string(static_cast<long long>(info.st_size)) +
            " bytes where " + std::to_string(bytes) + " were written";
    return false;
}
