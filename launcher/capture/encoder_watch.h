// When an ffmpeg child counts as stuck: no progress for the stall limit, or
// still running after a stop request's deadlines. FfmpegPipe asks it on
// every turn of its waits, so every wait is bounded.
#pragma once

#include <signal.h>

#include <chrono>

// How long a child may move no data before it counts as stalled (30 s).
// Tests of the watchdog set a shorter limit.
void setEncoderStallLimit(std::chrono::milliseconds limit);
std::chrono::milliseconds encoderStallLimit();

// The count of stop requests (Ctrl-C, SIGTERM, a closed terminal) a signal
// handler raises: with one, a child still running 1.5 s later gets
// SIGTERM, and SIGKILL 0.2 s after that, whatever it does; with two,
// finish() stops waiting for the child at once.
void setEncoderStopRequests(const volatile sig_atomic_t* requests);

namespace encoder_watch {

using Clock = std::chrono::steady_clock;

// After a stop request, a child still running is asked to end (SIGTERM),
// then ended (SIGKILL), whatever it does: the run ends within two seconds.
inline constexpr auto kStopTerminate = std::chrono::milliseconds(1500);
inline constexpr auto kStopKill = std::chrono::milliseconds(1700);

// The stop requests counted so far (0 where no counter was given).
int stopsAsked();
// How long since the first stop request was seen here, or a negative time
// before one: the children's deadlines count from it, whichever child runs
// then.
Clock::duration sinceStopRequest();

// Watches a child for progress: the frame data it took from us and what
// progress() reports (the size of the file it writes). Nothing else counts:
// a child that reads or writes elsewhere (cat /dev/zero > /dev/null) or
// spins is stuck all the same.
class ProgressWatch {
  public:
    void moved() { last_ = Clock::now(); }
    void look(long long progress) {
        if (progress == progress_) return;
        progress_ = progress;
        moved();
    }
    bool stalled() const { return Clock::now() - last_ >= encoderStallLimit(); }

  private:
    long long progress_ = 0;
    Clock::time_point last_ = Clock::now();
};

}  // namespace encoder_watch
