// Records what a sound server plays, from a sink's monitor, with timing:
// for every fragment read, the monotonic time and the server's own latency
// for it, so that the frame being played at any instant can be told.
#pragma once

#include <pulse/pulseaudio.h>

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

class SinkRecorder {
  public:
    SinkRecorder() = default;
    SinkRecorder(const SinkRecorder&) = delete;
    SinkRecorder& operator=(const SinkRecorder&) = delete;
    ~SinkRecorder();

    // Records `source` (44,100 Hz s16 stereo) on `server`. False with `error`.
    bool start(const std::string& server, const std::string& source, std::string& error);
    void stop();

    std::vector<std::int16_t> samples() const;
    // Stretches the server reported as lost to the recording (holes).
    int holes() const;
    std::int64_t frames() const;
    // Frames recorded since the first one that was not silence (0 before it).
    std::int64_t framesSinceSound() const;
    // The recording frame the sink plays at `monotonicNs` (CLOCK_MONOTONIC),
    // from the median of the fragments' timings; false before any timing.
    bool playingFrameAt(std::int64_t atNs, double& frame) const;

  private:
    static void onState(pa_stream* stream, void* self);
    static void onRead(pa_stream* stream, std::size_t bytes, void* self);
    void read(pa_stream* stream);

    pa_threaded_mainloop* loop_ = nullptr;
    pa_context* context_ = nullptr;
    pa_stream* stream_ = nullptr;

    mutable std::mutex mutex_;
    std::vector<std::int16_t> samples_;
    std::int64_t firstSound_ = -1;
    int holes_ = 0;
    bool raised_ = false;
    // Per fragment: recording frame played at time 0 of the monotonic clock
    // (frame - played-at x rate), whose median places the recording in time.
    std::vector<double> origins_;
};
