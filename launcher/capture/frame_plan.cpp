// Implements FramePlan: the frame grid of dmd_api.h and the audio shares of
// a capture, in whole numbers only.
#include "capture/frame_plan.h"

#include "common/dmd_api.h"

FramePlan::FramePlan(int fromMs, int toMs, int framesPerSecond)
    : framesPerSecond_(framesPerSecond),
      firstFrame_(dmdFirstGridFrameFrom(fromMs, framesPerSecond)),
      endFrame_(toMs < 0 ? -1 : dmdFirstGridFrameFrom(toMs, framesPerSecond)) {
    if (endFrame_ >= 0 && endFrame_ < firstFrame_) endFrame_ = firstFrame_;
}

std::int64_t FramePlan::frameCount() const {
    return endFrame_ < 0 ? -1 : endFrame_ - firstFrame_;
}

void FramePlan::stopAtMs(int endMs) {
    if (endMs < 0) return;
    const std::int64_t end = dmdFirstGridFrameFrom(endMs, framesPerSecond_);
    if (endFrame_ < 0 || end < endFrame_) endFrame_ = end < firstFrame_ ? firstFrame_ : end;
}

int FramePlan::frameMs(std::int64_t frame) const {
    return static_cast<int>(dmdGridMs(frame, framesPerSecond_));
}

std::int64_t FramePlan::audioBefore(std::int64_t frame, int audioRate) const {
    const std::int64_t ms = frameMs(frame) - startMs();
    // ceil(ms x rate / 1000): then n x 1000 / rate lies in [ms, ms + 1) for
    // any rate of 1000 Hz or more.
    return (ms * audioRate + 999) / 1000;
}

int FramePlan::audioOf(std::int64_t frame, int audioRate) const {
    return static_cast<int>(audioBefore(frame + 1, audioRate) - audioBefore(frame, audioRate));
}
