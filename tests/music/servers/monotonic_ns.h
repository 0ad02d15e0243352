// CLOCK_MONOTONIC in nanoseconds: the time base that the host's swap lines
// and the recorder's timings share.
#pragma once

#include <time.h>

#include <cstdint>

inline std::int64_t monotonicNs() {
    timespec t{};
    ::clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<std::int64_t>(t.tv_sec) * 1000000000 + t.tv_nsec;
}
