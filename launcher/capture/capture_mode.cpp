// Captures and shots as drivers over the offline show: the surface, the
// module, the working files and the frame loop, in their order. Every file
// they write is a working file made new beside its final name and renamed
// into place only when complete (capture_commit.h); a failure or an
// abandoned capture leaves nothing. Ctrl-C stops the loop between frames,
// and what was captured is finished the same way.
#include "capture/capture_mode.h"

#include <chrono>
#include <cstdio>
#include <memory>
#include <vector>

#include "capture/capture_check.h"
#include "capture/capture_clock.h"
#include "capture/capture_commit.h"
#include "capture/capture_files.h"
#include "capture/capture_loop.h"
#include "capture/ffmpeg_pipe.h"
#include "capture/offline_show.h"
#include "capture/png_file.h"
#include "capture/shot_frame.h"
#include "capture/stop_signals.h"
#include "capture/video_sink.h"
#include "capture/working_file.h"
#include "host/crash_guard.h"
#include "offscreen/egl_offscreen.h"

namespace {

int fail(const std::string& error) {
    std::fprintf(stderr, "talvenor: %s\n", error.c_str());
    return 1;
}

// The programs an encoded capture runs after drawing everything (ffmpeg to
// encode and mux, ffprobe to check the file) are looked for first: finding
// one missing after the last frame would throw the whole capture away.
bool encoderProgramsFound(std::string& error) {
    for (const char* program : {"ffmpeg", "ffprobe"}) {
        if (findProgram(program).empty()) {
            error = std::string(program) +
                    ": not found in PATH; a video capture needs ffmpeg and ffprobe (the ffmpeg "
                    "package has both), or capture raw frames (.rgba) or the song alone (.s16)";
            return false;
        }
    }
    return true;
}

// A song capture draws no picture: its surface only hosts the module's Init,
// so the picture options (size, supersampling, multisampling) do not apply.
LaunchOptions songCaptureSurfaceOptions(LaunchOptions o) {
    o.capture.width = 320;
    o.capture.height = 240;
    o.capture.supersample = 1;
    o.show.msaa = 0;
    return o;
}

// The offscreen surface of a capture or shot: the output's size times the
// supersampling, multisampled as asked; null with error set, naming the
// option and the driver's limit, where the driver cannot.
std::unique_ptr<EglOffscreen> openSurface(const LaunchOptions& o, std::string& error) {
    const int width = o.capture.width * o.capture.supersample;
    const int height = o.capture.height * o.capture.supersample;
    // A supersampled picture is drawn as a plain one of its size would be (a
    // pbuffer), so it is exactly that picture reduced.
    OffscreenDrawing drawing;
    drawing.framebuffer = o.show.msaa > 0;
    drawing.samples = o.show.msaa;
    auto surface = std::make_unique<EglOffscreen>(width, height, kShowGlApi, drawing);
    if (surface->ok()) {
        if (o.show.msaa > 0 && surface->samples() < o.show.msaa) {
            std::fprintf(stderr,
                         "talvenor: --msaa %d: this driver allows %d samples a pixel at most; "
                         "drawing with %d\n",
                         o.show.msaa, surface->limits().maxSamples, surface->samples());
        }
        return surface;
    }
    if (o.show.msaa > 0 && surface->limits().maxSide > 0 && surface->limits().maxSamples < 2) {
        error = "--msaa " + std::to_string(o.show.msaa) + ": " + surface->error();
    } else if (o.capture.supersample > 1) {
        error = "--supersample " + std::to_string(o.capture.supersample) + " at " +
                std::to_string(o.capture.width) + "x" + std::to_string(o.capture.height) +
                " draws " + std::to_string(width) + "x" + std::to_string(height) +
                " pixels: " + surface->error();
    } else {
        error = "no offscreen OpenGL context: " + surface->error();
    }
    return nullptr;
}

// The stereo frames of song the capture pulled for its first framesDone frames.
long long songFramesOf(const FramePlan& plan, std::int64_t framesDone, int audioRate) {
    long long total = 0;
    for (std::int64_t k = plan.firstFrame(); k < plan.firstFrame() + framesDone; ++k) {
        total += plan.audioOf(k, audioRate);
    }
    return total;
}

void reportCapture(const LaunchOptions& o, const FramePlan& plan, std::int64_t framesDone,
                   const TimeShares& shares, double wall) {
    const double seconds = static_cast<double>(framesDone) / o.capture.framesPerSecond;
    auto share = [wall](double part) { return wall > 0.0 ? 100.0 * part / wall : 0.0; };
    std::fprintf(stderr,
                 "talvenor: %s: %lld frames, %.3f s at %d fps, %dx%d, song %.3f to %.3f s; "
                 "%.1f s (%.2fx real time): drawing %.0f%%, read-back %.1f%%, waiting for the "
                 "encoder or disk %.0f%%, audio %.1f%%; beside them, rows turned %.1f%% and "
                 "frames written %.0f%%\n",
                 o.capture.outputPath.c_str(), static_cast<long long>(framesDone), seconds,
                 o.capture.framesPerSecond, o.capture.width, o.capture.height,
                 plan.startMs() / 1000.0, plan.frameMs(plan.firstFrame() + framesDone) / 1000.0,
                 wall, wall > 0.0 ? seconds / wall : 0.0, share(shares.drawing),
                 share(shares.readBack), share(shares.handOff), share(shares.audio),
                 share(shares.flip), share(shares.write));
}

}  // namespace

int runCapture(const LaunchOptions& o) {
    const CaptureFiles files = captureFilesFor(o.capture.outputPath);
    const bool raw = isRawCapture(o.capture.outputPath);
    const bool songOnly = isSongCapture(o.capture.outputPath);
    FramePlan plan(o.capture.fromMs, o.capture.toMs, o.capture.framesPerSecond);
    std::string error;
    std::chrono::milliseconds timeout{};
    if (!encoderTimeout(timeout, error)) {
        std::fprintf(stderr, "talvenor: %s\n", error.c_str());
        return 2;
    }
    setEncoderStallLimit(timeout);
    if (!finalNameUsable(files.finalPath, error)) return fail(error);
    if (raw && !finalNameUsable(files.songPath, error)) return fail(error);
    if (!raw && !songOnly && !encoderProgramsFound(error)) return fail(error);
    StopSignals signals;
    const std::unique_ptr<EglOffscreen> surface =
        openSurface(songOnly ? songCaptureSurfaceOptions(o) : o, error);
    if (surface == nullptr) return fail(error);
    OfflineShow show;
    show.reduceBy(songOnly ? 1 : o.capture.supersample);
    if (!show.open(o.show.moduleName, *surface, o.show.shape, plan.startMs(),
                   o.capture.framesPerSecond, error)) {
        if (!show.pastTheEnd()) return fail(error);
        std::fprintf(stderr, "talvenor: --from %s: %s: there is nothing to capture\n",
                     showSecondsText(plan.startMs()).c_str(), error.c_str());
        return 2;
    }
    plan.stopAtMs(show.showEndMs());
    if (plan.frameCount() == 0) {
        return fail("nothing to capture: the show ends at " + showSecondsText(show.showEndMs()));
    }

    // From here on working files exist: a crash in the module's frames takes
    // them away with it.
    const CrashGuard guard(o.show.moduleName + ": the module crashed while drawing",
                           removeAllWorkingFiles);
    WorkingFile song;
    if (!song.create(songOnly ? files.songPath : files.finalPath, "song", error) ||
        song.stream() == nullptr) {
        return fail(error);
    }
    std::unique_ptr<VideoSink> sink;
    if (!songOnly) {
        sink = raw ? openRawSink(files.finalPath, error)
                   : openEncoderSink(files.finalPath, o.capture.width, o.capture.height,
                                     o.capture.framesPerSecond, error);
        if (sink == nullptr) return fail(error);
    }

    const CaptureClock::time_point started = CaptureClock::now();
    std::int64_t framesDone = 0;
    TimeShares shares;
    bool ok = captureFrames(show, plan, o.capture.width, o.capture.height, sink.get(),
                            {song.stream(), song.path()}, framesDone, shares, error);
    const int audioRate = show.audioRate();
    show.close();
    if (ok && sink != nullptr) ok = sink->finish(error);
    if (ok && framesDone == 0) {
        ok = false;
        error = "no frame was captured";
    }
    if (ok) {
        const long long frameBytes = static_cast<long long>(o.capture.width) * o.capture.height * 4;
        ok = commitCapture(files, raw, songOnly, sink.get(), song, audioRate,
                           {framesDone, o.capture.framesPerSecond},
                           songFramesOf(plan, framesDone, audioRate) * 4, frameBytes, error);
    }
    if (!ok) {
        if (sink != nullptr) sink->abandon();
        song.discard();
        if (StopSignals::requests() > 0) {
            error = "stopped at the user's request; nothing was kept (" + error + ")";
        }
        return fail(error);
    }
    reportCapture(o, plan, framesDone, shares, secondsSince(started));
    if (StopSignals::requests() != 0) {
        std::fputs("talvenor: interrupted; the file holds what was captured\n", stderr);
        return 130;
    }
    return 0;
}

int runShot(const LaunchOptions& o) {
    std::string error;
    if (!finalNameUsable(o.capture.outputPath, error)) return fail(error);
    StopSignals signals;
    std::vector<std::uint8_t> rows;
    std::int64_t frame = 0;
    {
        const std::unique_ptr<EglOffscreen> surface = openSurface(o, error);
        if (surface == nullptr) return fail(error);
        switch (shootFrame({o.show.moduleName, o.capture.shotMs, o.capture.framesPerSecond,
                            o.show.shape, o.capture.supersample},
                           *surface, rows, frame, error)) {
            case ShotResult::Taken:
                break;
            case ShotResult::PastTheEnd:
                std::fprintf(
                    stderr, "talvenor: --shot %s: %s\n",
                    showSecondsText(static_cast<int>(dmdGridMs(frame, o.capture.framesPerSecond)))
                        .c_str(),
                    error.c_str());
                return 2;
            case ShotResult::Failed:
                return fail(error);
        }
    }
    if (StopSignals::requests() != 0) {
        std::fputs("talvenor: interrupted; no picture was written\n", stderr);
        return 130;
    }
    const RgbPicture picture = pictureFromGlRows(rows, o.capture.width, o.capture.height);
    WorkingFile png;
    if (!png.create(o.capture.outputPath, "shot", error)) return fail(error);
    if (png.stream() == nullptr || !writePng(png.stream(), picture, error)) {
        return fail("writing " + png.path() + ": " + error);
    }
    const long long written = std::ftell(png.stream());
    if (!png.flush(error) || written <= 0 || !checkFileSize(png.fd(), png.path(), written, error)) {
        return fail(error.empty() ? png.path() + ": nothing was written" : error);
    }
    {
        StopSignals::FinalFiles keeping;
        if (!png.commit(o.capture.outputPath, error)) return fail(error);
        keeping.kept();
    }
    const int ms = static_cast<int>(dmdGridMs(frame, o.capture.framesPerSecond));
    std::fprintf(stderr, "talvenor: %s: the frame at song time %s (frame %lld at %d fps)\n",
                 o.capture.outputPath.c_str(), showSecondsText(ms).c_str(),
                 static_cast<long long>(frame), o.capture.framesPerSecond);
    return 0;
}
