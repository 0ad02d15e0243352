// Implements the control keys' targets: 5 and 60 second steps, the start, and
// the next and previous event starts.
#include "live/control_keys.h"

#include <algorithm>

namespace {

constexpr int kSmallStepMs = 5000;
constexpr int kLargeStepMs = 60000;

}  // namespace

int eventNumberAt(int songMs, const std::vector<int>& eventStartsMs) {
    if (eventStartsMs.empty()) return 0;
    const auto after = std::upper_bound(eventStartsMs.begin(), eventStartsMs.end(), songMs);
    return std::max(1, static_cast<int>(after - eventStartsMs.begin()));
}

int controlTargetMs(ShowKey key, int nowMs, const std::vector<int>& eventStartsMs, int endMs) {
    int target = -1;
    const int number = eventNumberAt(nowMs, eventStartsMs);  // 1-based
    switch (key) {
        case ShowKey::Left:
            target = nowMs - kSmallStepMs;
            break;
        case ShowKey::Right:
            target = nowMs + kSmallStepMs;
            break;
        case ShowKey::PageUp:
            target = nowMs - kLargeStepMs;
            break;
        case ShowKey::PageDown:
            target = nowMs + kLargeStepMs;
            break;
        case ShowKey::Home:
            target = 0;
            break;
        case ShowKey::N:
            if (number == 0 || number >= static_cast<int>(eventStartsMs.size())) return -1;
            target = eventStartsMs[number];
            break;
        case ShowKey::P:
            if (number == 0) return -1;
            target = eventStartsMs[std::max(0, number - 2)];
            break;
        default:
            return -1;
    }
    target = std::max(0, target);
    if (endMs > 0) target = std::min(target, endMs - 1);
    return target;
}
