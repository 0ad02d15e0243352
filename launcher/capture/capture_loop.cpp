// Implements the capture loop with the frame writer (its own thread turns and
// writes each frame while the next is drawn) and a progress line on stderr.
#include "capture/capture_loop.h"

#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <memory>
#include <vector>

#include "capture/capture_clock.h"
#include "capture/frame_writer.h"
#include "capture/progress_line.h"
#include "capture/stop_signals.h"

bool captureFrames(OfflineShow& show, const FramePlan& plan, int width, int height, VideoSink* sink,
                   const SongOutput& song, std::int64_t& framesDone, TimeShares& shares,
                   std::string& error) {
    std::unique_ptr<FrameWriter> writer;
    if (sink != nullptr)
        writer = std::make_unique<FrameWriter>(*sink, width, height, sink->takesBgra());
    std::vector<std::int16_t> samples;
    const bool tty = ::isatty(STDERR_FILENO) != 0;
    const CaptureClock::time_point started = CaptureClock::now();
    CaptureClock::time_point shown = started;
    CaptureProgress progress;
    progress.framesTotal = plan.frameCount();
    progress.framesPerSecond = plan.framesPerSecond();

    for (std::int64_t k = plan.firstFrame(); plan.endFrame() < 0 || k < plan.endFrame(); ++k) {
        if (StopSignals::requests() != 0) break;
        CaptureClock::time_point t = CaptureClock::now();
        if (writer != nullptr) {
            if (!show.drawFrame()) break;  // the show is over
            show.finishDrawing();
            shares.drawing += secondsSince(t);
            const double waitedBefore = writer->waitedSeconds();
            std::vector<std::uint8_t>& rows = writer->nextBuffer();
            t = CaptureClock::now();
            show.readFrame(PixelOrder::Bgra, rows);
            shares.readBack += secondsSince(t);
            const bool handed = writer->submit();
            shares.handOff += writer->waitedSeconds() - waitedBefore;
            if (!handed) break;  // reported below
            t = CaptureClock::now();
        }
        const int audioFrames = plan.audioOf(k, show.audioRate());
        samples.resize(static_cast<std::size_t>(audioFrames) * 2);
        if (!show.pullAudio(samples.data(), audioFrames)) {
            error = "the module could not mix the song";
            return false;
        }
        if (std::fwrite(samples.data(), sizeof(std::int16_t), samples.size(), song.file) !=
            samples.size()) {
            error = "writing the song to " + song.path + ": " + std::strerror(errno);
            return false;
        }
        shares.audio += secondsSince(t);
        ++framesDone;

        const CaptureClock::time_point now = CaptureClock::now();
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
        const CaptureClock::time_point t = CaptureClock::now();
        const bool written = writer->finish();
        shares.handOff += secondsSince(t);
        shares.flip = writer->flipSeconds();
        shares.write = writer->writeSeconds();
        if (!written) {
            error = sink->error().empty() ? "the frames could not be handed on" : sink->error();
            return false;
        }
    }
    return true;
}
