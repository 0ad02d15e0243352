// Frame spacings longer than a quarter second are stalls (a first frame's
// shader compilation, a paused show), not the frame's usual time to the
// screen, and are left out.
#include "music/picture_clock.h"

#include <algorithm>
#include <cstdlib>

namespace {

constexpr std::size_t kPeriods = 15;
constexpr int kStallUs = 250000;
constexpr int kMaxOffsetMs = 2000;
constexpr int kMaxPresentationMs = 1000;

}  // namespace

bool PictureClock::setAudioOffsetMs(int ms) {
    if (std::abs(ms) > kMaxOffsetMs) return false;
    offsetMs_ = ms;
    return true;
}

bool PictureClock::setPresentationDelayMs(int ms) {
    if (ms < 0 || ms > kMaxPresentationMs) return false;
    presentationMs_ = ms;
    return true;
}

void PictureClock::restart(int songMs) {
    floorMs_ = songMs;
    lastMs_ = songMs;
}

void PictureClock::frameAt(Clock::time_point now) {
    if (haveFrame_) {
        const auto us = std::chrono::duration_cast<std::chrono::microseconds>(now - lastFrame_);
        if (us.count() >= 0 && us.count() < kStallUs) {
            const int period = static_cast<int>(us.count());
            if (periodsUs_.size() < kPeriods) {
                periodsUs_.push_back(period);
            } else {
                periodsUs_[nextPeriod_] = period;
                nextPeriod_ = (nextPeriod_ + 1) % kPeriods;
            }
        }
    }
    haveFrame_ = true;
    lastFrame_ = now;
}

int PictureClock::leadMs() const {
    int frameUs = 0;
    if (!periodsUs_.empty()) {
        std::vector<int> sorted = periodsUs_;
        std::nth_element(sorted.begin(), sorted.begin() + sorted.size() / 2, sorted.end());
        frameUs = sorted[sorted.size() / 2];
    }
    return (frameUs + 500) / 1000 + presentationMs_;
}

int PictureClock::pictureMs(int heardMs) {
    const int ms = std::max(floorMs_, heardMs + leadMs() - offsetMs_);
    lastMs_ = std::max(lastMs_, ms);
    return lastMs_;
}
