// Captures and shots as drivers over the offline show. Every file they write
// is a working file made new beside its final name (never through a link or
// over what stands there) and renamed into place only when complete; a
// failure or an abandoned capture leaves nothing. A capture ends with a last
// ffmpeg run that muxes the frames and the song; Ctrl-C stops the loop
// between frames, and what was captured is finished the same way.
#include "capture/capture_mode.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <vector>

#include "capture/capture_files.h"
#include "capture/capture_loop.h"
#include "capture/offline_show.h"
#include "capture/shot_frame.h"
#include "capture/stop_signals.h"
#include "capture/video_sink.h"
#include "platforms/egl_offscreen.h"
#include "platforms/png_file.h"
#include "platforms/working_file.h"

namespace {

using Clock = std::chrono::steady_clock;

// The descriptors the mux run is handed, as it sees them.
constexpr int kMuxVideoFd = 3;
constexpr int kMuxSongFd = 4;
constexpr int kMuxOutputFd = 5;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

std::string secondsText(int ms) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3f s", ms / 1000.0);
    return text;
}

PictureShape shapeOf(const LaunchOptions& o) {
    return o.widescreen ? PictureShape::Widescreen : PictureShape::Composed;
}

int fail(const std::string& error) {
    std::fprintf(stderr, "talvenor: %s\n", error.c_str());
    return 1;
}

// Fails early, before the module is loaded, when the file cannot be made.
bool folderWritable(const std::string& path, std::string& error) {
    const std::size_t slash = path.rfind('/');
    const std::string folder =
        slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
    if (::access(folder.c_str(), W_OK) == 0) return true;
    error = folder + ": " + std::strerror(errno);
    return false;
}

long long sizeOf(int fd) {
    struct stat info {};
    return ::fstat(fd, &info) == 0 ? static_cast<long long>(info.st_size) : -1;
}

// The video and the song muxed into a new working file that then takes the
// final name. The three files go to ffmpeg as descriptors.
bool mux(VideoSink& sink, WorkingFile& song, int audioRate, const CaptureFiles& files,
         std::string& error) {
    WorkingFile muxed;
    if (!muxed.create(files.partialPath, error)) return false;
    const std::vector<std::string> args = muxArguments(
        WorkingFile::inheritedPath(kMuxVideoFd), WorkingFile::inheritedPath(kMuxSongFd), audioRate,
        WorkingFile::inheritedPath(kMuxOutputFd), files.finalPath);
    const int output = muxed.fd();
    std::string why;
    const int status = runFfmpeg(
        args, {sink.file().fd(), song.fd(), output}, [output] { return sizeOf(output); }, why);
    if (status != 0) {
        error = "ffmpeg could not mux the video and the song" +
                (why.empty() ? std::string() : " (" + why + ")");
        return false;
    }
    return muxed.commit(files.finalPath, error);
}

void reportCapture(const LaunchOptions& o, const FramePlan& plan, std::int64_t framesDone,
                   const TimeShares& shares, double wall) {
    const double seconds = static_cast<double>(framesDone) / o.framesPerSecond;
    auto share = [wall](double part) { return wall > 0.0 ? 100.0 * part / wall : 0.0; };
    std::fprintf(stderr,
                 "talvenor: %s: %lld frames, %.3f s at %d fps, %dx%d, song %.3f to %.3f s; "
                 "%.1f s (%.2fx real time): drawing %.0f%%, read-back %.1f%%, waiting for the "
                 "encoder or disk %.0f%%, audio %.1f%%; beside them, rows turned %.1f%% and "
                 "frames written %.0f%%\n",
                 o.outputPath.c_str(), static_cast<long long>(framesDone), seconds,
                 o.framesPerSecond, o.outputWidth, o.outputHeight, plan.startMs() / 1000.0,
                 plan.frameMs(plan.firstFrame() + framesDone) / 1000.0, wall,
                 wall > 0.0 ? seconds / wall : 0.0, share(shares.drawing), share(shares.readBack),
                 share(shares.handOff), share(shares.audio), share(shares.flip),
                 share(shares.write));
}

}  // namespace

int RunCapture(const LaunchOptions& o) {
    const CaptureFiles files = captureFilesFor(o.outputPath);
    const bool raw = isRawCapture(o.outputPath);
    const bool songOnly = isSongCapture(o.outputPath);
    FramePlan plan(o.fromMs, o.toMs, o.framesPerSecond);
    std::string error;
    std::chrono::milliseconds timeout{};
    if (!encoderTimeout(timeout, error)) {
        std::fprintf(stderr, "talvenor: %s\n", error.c_str());
        return 2;
    }
    setEncoderStallLimit(timeout);
    if (!folderWritable(o.outputPath, error)) return fail(error);
    StopSignals signals;
    EglOffscreen surface(o.outputWidth, o.outputHeight);
    if (!surface.ok()) return fail("no offscreen OpenGL context: " + surface.error());
    OfflineShow show;
    if (!show.open(o.moduleName, surface, shapeOf(o), plan.startMs(), o.framesPerSecond, error)) {
        return fail(error);
    }
    plan.stopAtMs(show.showEndMs());
    if (plan.frameCount() == 0) {
        return fail("nothing to capture: the show ends at " + secondsText(show.showEndMs()));
    }

    WorkingFile song;
    if (!song.create(files.audioPath, error) || song.stream() == nullptr) return fail(error);
    std::unique_ptr<VideoSink> sink;
    if (!songOnly) {
        sink = raw ? openRawSink(files.videoPath, error)
                   : openEncoderSink(files.videoPath, o.outputWidth, o.outputHeight,
                                     o.framesPerSecond, error);
        if (sink == nullptr) return fail(error);
    }

    const Clock::time_point started = Clock::now();
    std::int64_t framesDone = 0;
    TimeShares shares;
    bool ok = captureFrames(show, plan, o.outputWidth, o.outputHeight, sink.get(),
                            {song.stream(), files.audioPath}, framesDone, shares, error);
    show.close();
    if (ok && std::fflush(song.stream()) != 0) {
        error = "writing the song to " + files.audioPath + ": " + std::strerror(errno);
        ok = false;
    }
    if (ok && sink != nullptr) ok = sink->finish(error);
    if (ok && framesDone == 0) {
        ok = false;
        error = "no frame was captured";
    }
    if (ok && songOnly) {
        ok = song.commit(files.finalPath, error);
    } else if (ok && raw) {
        ok = sink->file().commit(files.finalPath, error) &&
             song.commit(rawAudioName(files.finalPath), error);
    } else if (ok) {
        ok = mux(*sink, song, show.audioRate(), files, error);
    }
    if (!ok) {
        if (sink != nullptr) sink->abandon();
        song.discard();
        if (StopSignals::requests() > 1) error = "stopped while finishing: " + error;
        return fail(error);
    }
    reportCapture(o, plan, framesDone, shares, secondsSince(started));
    if (StopSignals::requests() != 0) {
        std::fputs("talvenor: interrupted; the file holds what was captured\n", stderr);
        return 130;
    }
    return 0;
}

int RunShot(const LaunchOptions& o) {
    std::string error;
    if (!folderWritable(o.outputPath, error)) return fail(error);
    StopSignals signals;
    std::vector<std::uint8_t> rows;
    std::int64_t frame = 0;
    {
        EglOffscreen surface(o.outputWidth, o.outputHeight);
        if (!surface.ok()) return fail("no offscreen OpenGL context: " + surface.error());
        if (!shootFrame({o.moduleName, o.shotMs, o.framesPerSecond, shapeOf(o)}, surface, rows,
                        frame, error)) {
            return fail(error);
        }
    }
    if (StopSignals::requests() != 0) {
        std::fputs("talvenor: interrupted; no picture was written\n", stderr);
        return 130;
    }
    const RgbPicture picture = pictureFromGlRows(rows, o.outputWidth, o.outputHeight);
    WorkingFile png;
    if (!png.create(taggedName(o.outputPath, "partial"), error)) return fail(error);
    if (png.stream() == nullptr || !writePng(png.stream(), picture, error)) {
        return fail("writing " + png.path() + ": " + error);
    }
    if (!png.commit(o.outputPath, error)) return fail(error);
    const int ms = static_cast<int>(dmdGridMs(frame, o.framesPerSecond));
    std::fprintf(stderr, "talvenor: %s: the frame at song time %s (frame %lld at %d fps)\n",
                 o.outputPath.c_str(), secondsText(ms).c_str(), static_cast<long long>(frame),
                 o.framesPerSecond);
    return 0;
}
