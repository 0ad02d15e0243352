// Implements the final names over WorkingFile's commit, the size checks and
// a last ffmpeg run for the mux; each rename happens inside
// StopSignals::FinalFiles, so a stop request cannot cut it in two.
#include "capture/capture_commit.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "capture/ffmpeg_pipe.h"
#include "capture/stop_signals.h"
#include "capture/video_sink.h"
#include "capture/working_file.h"

namespace {

// The descriptors the mux run is handed, as it sees them.
constexpr int kMuxVideoFd = 3;
constexpr int kMuxSongFd = 4;
constexpr int kMuxOutputFd = 5;

long long sizeOf(int fd) {
    struct stat info {};
    return ::fstat(fd, &info) == 0 ? static_cast<long long>(info.st_size) : -1;
}

// The video and the song muxed into a new working file, which takes the
// final name once it holds the frames and their sound. The three files go
// to ffmpeg as descriptors.
bool mux(VideoSink& sink, WorkingFile& song, int audioRate, const std::string& finalPath,
         const PlannedCapture& planned, std::string& error) {
    WorkingFile muxed;
    if (!muxed.create(finalPath, "muxed", error)) return false;
    const std::vector<std::string> args = muxArguments(
        WorkingFile::inheritedPath(kMuxVideoFd), WorkingFile::inheritedPath(kMuxSongFd), audioRate,
        WorkingFile::inheritedPath(kMuxOutputFd), finalPath);
    const int output = muxed.fd();
    std::string why;
    std::string printed;
    const int status = runFfmpeg(
        args, {sink.file().fd(), song.fd(), output}, [output] { return sizeOf(output); }, why,
        &printed);
    if (status != 0) {
        error = "ffmpeg could not mux the video and the song" +
                (why.empty() ? std::string() : " (" + why + ")");
        return false;
    }
    if (!muxed.flush(error)) return false;
    std::string wrong;
    if (!checkEncodedFile(output, planned, wrong)) {
        error = finalPath + " was not written whole: " + wrong;
        // ffmpeg may say why (a full disk) and still exit 0.
        if (const std::string said = lastLineOf(printed); !said.empty()) {
            error += " (ffmpeg: " + said + ")";
        }
        return false;
    }
    StopSignals::FinalFiles keeping;
    if (!muxed.commit(finalPath, error)) return false;
    keeping.kept();
    return true;
}

}  // namespace

bool finalNameUsable(const std::string& path, std::string& error) {
    const std::size_t slash = path.rfind('/');
    const std::string folder =
        slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
    if (::access(folder.c_str(), W_OK) != 0) {
        error = folder + ": " + std::strerror(errno);
        return false;
    }
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const long longest = ::pathconf(folder.c_str(), _PC_NAME_MAX);
    if (name.empty() || (longest > 0 && name.size() > static_cast<std::size_t>(longest))) {
        error = path + ": " + std::strerror(name.empty() ? EISDIR : ENAMETOOLONG);
        return false;
    }
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
        error = path + ": a folder stands at this name";
        return false;
    }
    return true;
}

bool commitCapture(const CaptureFiles& files, bool raw, bool songOnly, VideoSink* sink,
                   WorkingFile& song, int audioRate, const PlannedCapture& planned,
                   long long songBytes, long long frameBytes, std::string& error) {
    if (!song.flush(error)) return false;
    if (!checkFileSize(song.fd(), "the song's working file " + song.path(), songBytes, error)) {
        return false;
    }
    if (songOnly) {
        StopSignals::FinalFiles keeping;
        if (!song.commit(files.songPath, error)) return false;
        keeping.kept();
        return true;
    }
    if (raw) {
        if (!sink->file().flush(error) ||
            !checkFileSize(sink->file().fd(), "the frames' working file " + sink->file().path(),
                           frameBytes * planned.frames, error)) {
            return false;
        }
        // The frames and their song belong together: both names or neither.
        StopSignals::FinalFiles keeping;
        if (!commitPair(sink->file(), files.finalPath, song, files.songPath, error)) return false;
        keeping.kept();
        return true;
    }
    return mux(*sink, song, audioRate, files.finalPath, planned, error);
}
