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

bool PictureClock::acceptsAudioOffsetMs(int ms) {
    return std::abs(ms) <= kMaxOffsetMs;
}

bool PictureClock::acceptsPresentationDelayMs(int ms) {
    return ms >= 0 && ms <= kMaxPresentationMs;
}

bool PictureClock::setAudioOffsetMs(int ms) {
    if (!acceptsAudioOffsetMs(ms)) return false;
    offsetMs_ = ms;
    return true;
}

bool PictureClock::setPresentationDelayMs(int ms) {
    if (!acceptsPresentationDelayMs(ms)) return false;
    presentationMs_ = ms;
    return true;
}

void PictureClock::restart(int songMs) {
    floorMs_ = songMs;
    lastMs_ = songMs;
}

void PictureClock::Recent::add(int value) {
    if (us.size() < kPeriods) {
        us.push_back(value);
    } else {
        us[next] = value;
        next = (next + 1) % kPeriods;
    }
}

int PictureClock::Recent::median() const {
    if (us.empty()) return 0;
    std::vector<int> sorted = us;
    std::nth_element(sorted.begin(), sorted.begin() + sorted.size() / 2, sorted.end());
    return sorted[sorted.size() / 2];
}

namespace {

// Microseconds from `from` to `to`, or -1 for a stall or a step back.
int spacingUs(PictureClock::Clock::time_point from, PictureClock::Clock::time_point to) {
    const auto us = std::chrono::duration_cast<std::chrono::microseconds>(to - from).count();
    return us >= 0 && us < kStallUs ? static_cast<int>(us) : -1;
}

}  // namespace

void PictureClock::frameAt(Clock::time_point now) {
    if (haveFrame_) {
        const int us = spacingUs(lastFrame_, now);
        if (us >= 0) periods_.add(us);
    }
    haveFrame_ = true;
    frameOnItsWay_ = true;
    lastFrame_ = now;
}

void PictureClock::frameShown(Clock::time_point now) {
    if (!frameOnItsWay_) return;
    frameOnItsWay_ = false;
    const int us = spacingUs(lastFrame_, now);
    if (us >= 0) shown_.add(us);
}

int PictureClock::leadMs() const {
    const int frameUs = shown_.us.empty() ? periods_.median() : shown_.median();
    return (frameUs + 500) / 1000 + presentationMs_;
}

int PictureClock::pictureMs(int heardMs) {
    // Until the stretch is heard at all, its first instant is shown, exactly
    // as a start or a seek asked.
    const int ms =
        heardMs <= floorMs_ ? floorMs_ : std::max(floorMs_, heardMs + leadMs() - offsetMs_);
    lastMs_ = std::max(lastMs_, ms);
    return lastMs_;
}
