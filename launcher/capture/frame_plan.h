// Which frames a capture or shot renders and how much audio goes with each:
// frames lie on the grid k / fps of song time (dmd_api.h), and the audio
// pulled before frame k is exactly what brings the module's offline clock to
// that frame's millisecond, so picture and sound never drift apart.
#pragma once

#include <cstdint>

class FramePlan {
  public:
    // Frames from the first at or after fromMs up to, not including, the
    // first at or after toMs (toMs < 0: no end of its own; the show's end
    // stops it).
    FramePlan(int fromMs, int toMs, int framesPerSecond);

    int framesPerSecond() const { return framesPerSecond_; }
    // The song time the module starts at: that of the first frame.
    int startMs() const { return frameMs(firstFrame_); }
    std::int64_t firstFrame() const { return firstFrame_; }
    // One past the last frame; -1 without an end.
    std::int64_t endFrame() const { return endFrame_; }
    // Frames to render (endFrame - firstFrame), -1 without an end.
    std::int64_t frameCount() const;
    // Limits the plan to frames before the one at or after endMs (the end of
    // the show), when that comes earlier.
    void stopAtMs(int endMs);

    // The song time of grid frame k in whole milliseconds.
    int frameMs(std::int64_t frame) const;
    // Audio frames at audioRate Hz pulled from the start before frame k is
    // drawn: the least count that moves the clock (start + n x 1000 / rate,
    // rounded down) to frameMs(k).
    std::int64_t audioBefore(std::int64_t frame, int audioRate) const;
    // The audio that belongs to frame k: from its time to the next frame's.
    int audioOf(std::int64_t frame, int audioRate) const;

  private:
    int framesPerSecond_;
    std::int64_t firstFrame_;
    std::int64_t endFrame_;
};
