// The capture loop: draw frame k, read it back, hand it to the video sink,
// pull exactly the audio from its time to the next frame's (which moves the
// module's clock to that frame), write the audio; then mux and rename. Ctrl-C
// stops the loop between frames, and what was captured is finished the same
// way. A shot is the first frame of such a run, written as PNG.
#include "capture/capture_mode.h"

#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <vector>

#include "capture/capture_files.h"
#include "capture/frame_plan.h"
#include "capture/frame_writer.h"
#include "capture/offline_show.h"
#include "capture/progress_line.h"
#include "capture/video_sink.h"
#include "platforms/png_file.h"

namespace {

using Clock = std::chrono::steady_clock;

volatile sig_atomic_t interruptRequested = 0;

void requestInterrupt(int) {
    interruptRequested = 1;
}

// Ctrl-C and termination ask the loop to stop; a vanished encoder shows as a
// failed write instead of killing the program.
class SignalGuard {
  public:
    SignalGuard() {
        interruptRequested = 0;
        struct sigaction action;
        std::memset(&action, 0, sizeof action);
        action.sa_handler = requestInterrupt;
        action.sa_flags = SA_RESTART;
        sigemptyset(&action.sa_mask);
        sigaction(SIGINT, &action, &oldInt_);
        sigaction(SIGTERM, &action, &oldTerm_);
        action.sa_handler = SIG_IGN;
        sigaction(SIGPIPE, &action, &oldPipe_);
    }
    ~SignalGuard() {
        sigaction(SIGINT, &oldInt_, nullptr);
        sigaction(SIGTERM, &oldTerm_, nullptr);
        sigaction(SIGPIPE, &oldPipe_, nullptr);
    }

  private:
    struct sigaction oldInt_;
    struct sigaction oldTerm_;
    struct sigaction oldPipe_;
};

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

void removeFiles(const CaptureFiles& files) {
    std::remove(files.partialPath.c_str());
    std::remove(files.videoPath.c_str());
    std::remove(files.audioPath.c_str());
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

bool renameInto(const std::string& from, const std::string& to, std::string& error) {
    if (std::rename(from.c_str(), to.c_str()) == 0) return true;
    error = to + ": " + std::strerror(errno);
    return false;
}

// Where the wall time of a capture went, for its closing line.
struct TimeShares {
    double drawing = 0.0;   // the module's frame, to its last pixel
    double readBack = 0.0;  // glReadPixels (BGRA) into a buffer of the frame writer
    double handOff = 0.0;   // waiting for the frame writer: the encoder's or the disk's pace
    double audio = 0.0;
    // On the frame writer's thread, overlapping the above.
    double flip = 0.0;   // rows turned top first (and to RGBA for a raw file)
    double write = 0.0;  // written to the encoder's pipe or the file
};

// The frames to the sink and the song to the audio file; false on a failure
// (error set). Ends at the plan's end, the show's end or an interrupt.
// Without a sink only the song is pulled, frame by frame as with one.
bool captureFrames(OfflineShow& show, const FramePlan& plan, int width, int height, VideoSink* sink,
                   std::FILE* audio, std::int64_t& framesDone, TimeShares& shares,
                   std::string& error) {
    std::unique_ptr<FrameWriter> writer;
    if (sink != nullptr)
        writer = std::make_unique<FrameWriter>(*sink, width, height, sink->takesBgra());
    std::vector<std::int16_t> samples;
    const bool tty = ::isatty(STDERR_FILENO) != 0;
    const Clock::time_point started = Clock::now();
    Clock::time_point shown = started;
    CaptureProgress progress;
    progress.framesTotal = plan.frameCount();
    progress.framesPerSecond = plan.framesPerSecond();

    for (std::int64_t k = plan.firstFrame(); plan.endFrame() < 0 || k < plan.endFrame(); ++k) {
        if (interruptRequested != 0) break;
        Clock::time_point t = Clock::now();
        if (writer != nullptr) {
            if (!show.drawFrame()) break;  // the show is over
            show.finishDrawing();
            shares.drawing += secondsSince(t);
            const double waitedBefore = writer->waitedSeconds();
            std::vector<std::uint8_t>& rows = writer->nextBuffer();
            t = Clock::now();
            show.readFrame(PixelOrder::Bgra, rows);
            shares.readBack += secondsSince(t);
            const bool handed = writer->submit();
            shares.handOff += writer->waitedSeconds() - waitedBefore;
            if (!handed) break;  // reported below
            t = Clock::now();
        }
        const int audioFrames = plan.audioOf(k, show.audioRate());
        samples.resize(static_cast<std::size_t>(audioFrames) * 2);
        if (!show.pullAudio(samples.data(), audioFrames) ||
            std::fwrite(samples.data(), sizeof(std::int16_t), samples.size(), audio) !=
                samples.size()) {
            error = "the song could not be mixed or written";
            return false;
        }
        shares.audio += secondsSince(t);
        ++framesDone;

        const Clock::time_point now = Clock::now();
        // A terminal's line is rewritten four times a second; a log gets a
        // line every ten seconds.
        const auto interval = std::chrono::milliseconds(tty ? 250 : 10000);
        if (now - shown >= interval || k + 1 == plan.endFrame()) {
            shown = now;
            progress.framesDone = framesDone;
            progress.songMs = plan.frameMs(k);
            progress.elapsedSeconds = secondsSince(started);
            std::fprintf(stderr, tty ? "\r%s\033[K" : "%s\n", progressLine(progress).c_str());
        }
    }
    if (tty && framesDone > 0) std::fputc('\n', stderr);
    if (writer != nullptr) {
        const Clock::time_point t = Clock::now();
        const bool written = writer->finish();
        shares.handOff += secondsSince(t);
        shares.flip = writer->flipSeconds();
        shares.write = writer->writeSeconds();
        if (!written) {
            error = "the frames could not be handed on (the encoder stopped, or the disk is full)";
            return false;
        }
    }
    return true;
}

}  // namespace

int RunCapture(const LaunchOptions& o) {
    const CaptureFiles files = captureFilesFor(o.outputPath);
    const bool raw = isRawCapture(o.outputPath);
    const bool songOnly = isSongCapture(o.outputPath);
    FramePlan plan(o.fromMs, o.toMs, o.framesPerSecond);
    OfflineShow show;
    std::string error;
    if (!folderWritable(o.outputPath, error)) return fail(error);
    if (!show.open(o.moduleName, o.outputWidth, o.outputHeight, shapeOf(o), plan.startMs(),
                   o.framesPerSecond, error)) {
        return fail(error);
    }
    plan.stopAtMs(show.showEndMs());
    if (plan.frameCount() == 0) {
        return fail("nothing to capture: the show ends at " + secondsText(show.showEndMs()));
    }

    SignalGuard signals;
    std::unique_ptr<VideoSink> sink;
    if (!songOnly) {
        sink = raw ? openRawSink(files.videoPath, error)
                   : openEncoderSink(files.videoPath, o.outputWidth, o.outputHeight,
                                     o.framesPerSecond, error);
        if (sink == nullptr) return fail(error);
    }
    std::FILE* audio = std::fopen(files.audioPath.c_str(), "wb");
    if (audio == nullptr) {
        if (sink != nullptr) sink->finish(error);
        removeFiles(files);
        return fail(files.audioPath + ": " + std::strerror(errno));
    }

    const Clock::time_point started = Clock::now();
    std::int64_t framesDone = 0;
    TimeShares shares;
    bool ok = captureFrames(show, plan, o.outputWidth, o.outputHeight, sink.get(), audio,
                            framesDone, shares, error);
    show.close();
    ok = (std::fclose(audio) == 0) && ok;
    std::string finishError;
    const bool finished = sink == nullptr || sink->finish(finishError);
    if (ok && !finished) error = finishError;
    ok = ok && finished;
    if (ok && framesDone == 0) {
        ok = false;
        error = "no frame was captured";
    }
    if (ok && songOnly) {
        ok = renameInto(files.audioPath, files.finalPath, error);
    } else if (ok && raw) {
        ok = renameInto(files.videoPath, files.finalPath, error) &&
             renameInto(files.audioPath, rawAudioName(files.finalPath), error);
    } else if (ok) {
        std::string muxError;
        const int status =
            runFfmpeg(muxArguments(files.videoPath, files.audioPath, show.audioRate(),
                                   files.partialPath, files.finalPath),
                      muxError);
        ok = status == 0 && renameInto(files.partialPath, files.finalPath, error);
        if (status != 0) error = "ffmpeg could not mux the video and the song " + muxError;
    }
    removeFiles(files);
    if (!ok) return fail(error);

    const double wall = secondsSince(started);
    const double seconds = static_cast<double>(framesDone) / o.framesPerSecond;
    auto share = [wall](double part) { return wall > 0.0 ? 100.0 * part / wall : 0.0; };
    std::fprintf(stderr,
                 "talvenor: %s: %lld frames, %.3f s at %d fps, %dx%d, song %.3f to %.3f s; "
                 "%.1f s (%.2fx real time): drawing %.0f%%, read-back %.1f%%, waiting for the "
                 "encoder or disk %.0f%%, audio %.1f%%; beside them, rows turned %.1f%% and "
                 "frames written %.0f%%\n",
                 files.finalPath.c_str(), static_cast<long long>(framesDone), seconds,
                 o.framesPerSecond, o.outputWidth, o.outputHeight, plan.startMs() / 1000.0,
                 plan.frameMs(plan.firstFrame() + framesDone) / 1000.0, wall,
                 wall > 0.0 ? seconds / wall : 0.0, share(shares.drawing), share(shares.readBack),
                 share(shares.handOff), share(shares.audio), share(shares.flip),
                 share(shares.write));
    if (interruptRequested != 0) {
        std::fputs("talvenor: interrupted; the file holds what was captured\n", stderr);
        return 130;
    }
    return 0;
}

int RunShot(const LaunchOptions& o) {
    const FramePlan plan(o.shotMs, kUntilShowEnd, o.framesPerSecond);
    OfflineShow show;
    std::string error;
    if (!folderWritable(o.outputPath, error)) return fail(error);
    if (!show.open(o.moduleName, o.outputWidth, o.outputHeight, shapeOf(o), plan.startMs(),
                   o.framesPerSecond, error)) {
        return fail(error);
    }
    if (!show.drawFrame()) {
        return fail("the show is over at " + secondsText(plan.startMs()) +
                    ": there is no frame to take");
    }
    std::vector<std::uint8_t> rows;
    show.readFrame(PixelOrder::Rgba, rows);
    const RgbPicture picture = pictureFromGlRows(rows, o.outputWidth, o.outputHeight);
    show.close();
    const std::string partial = taggedName(o.outputPath, "partial");
    if (!writePng(partial, picture, error) || !renameInto(partial, o.outputPath, error)) {
        std::remove(partial.c_str());
        return fail(o.outputPath + ": " + error);
    }
    std::fprintf(stderr, "talvenor: %s: the frame at song time %s (frame %lld at %d fps)\n",
                 o.outputPath.c_str(), secondsText(plan.startMs()).c_str(),
                 static_cast<long long>(plan.firstFrame()), o.framesPerSecond);
    return 0;
}
