// The clock a capture times its stages with (a steady clock), and the
// seconds since a moment of it. Header only, plain arithmetic.
#pragma once

#include <chrono>

using CaptureClock = std::chrono::steady_clock;

inline double secondsSince(CaptureClock::time_point start) {
    return std::chrono::duration<double>(CaptureClock::now() - start).count();
}
