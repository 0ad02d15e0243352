// A song's clock: milliseconds of play as heard. The mixer reports each chunk
// it mixes (and how much audio is still queued ahead of it); between chunks
// the clock runs on the wall clock, never past what has been handed to the
// output, and it never goes backwards. Small disagreements between the
// reports and the clock's course are smoothed out; large ones are taken. Offline, the clock is
// exactly the frames pulled.
#pragma once

#include <chrono>
#include <cstdint>
#include <mutex>

class SongClock {
  public:
    using Clock = std::chrono::steady_clock;

    // Playing from `startMs` on; before this the clock reads `startMs`.
    void start(int startMs, int rate, bool offline);
    void setStart(int startMs);
    // `frames` frames were mixed at `now` after `framesBefore` earlier ones,
    // with `latencyFrames` of earlier audio still to be played before them.
    void mixed(std::int64_t framesBefore, int frames, int latencyFrames, Clock::time_point now);
    int nowMs(Clock::time_point now);
    // From now on the clock reads at least `ms`: a song stopped while
    // another clock (its output's) was read keeps going forwards.
    void notBefore(int ms);

  private:
    std::mutex mutex_;
    int startMs_ = 0;
    int rate_ = 44100;
    bool offline_ = false;
    bool haveChunk_ = false;
    std::int64_t chunkStart_ = 0;  // frames before the last chunk, less the latency
    std::int64_t chunkEnd_ = 0;    // every frame handed to the output so far
    Clock::time_point chunkAt_{};
    int lastMs_ = 0;
};
