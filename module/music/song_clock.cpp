// Heard position = frames mixed before the last chunk - frames queued ahead
// of it + wall time since, capped at the end of that chunk: the output can
// play on through everything it was handed while the next chunk is late.
#include "music/song_clock.h"

#include <algorithm>
#include <cstdlib>

namespace {

// Reports further than this from the clock's own course are followed at once.
constexpr int kFollowMs = 20;

}  // namespace

void SongClock::start(int startMs, int rate, bool offline) {
    std::lock_guard<std::mutex> lock(mutex_);
    startMs_ = startMs;
    rate_ = rate;
    offline_ = offline;
    haveChunk_ = false;
    chunkStart_ = 0;
    chunkEnd_ = 0;
    lastMs_ = startMs;
}

void SongClock::setStart(int startMs) {
    std::lock_guard<std::mutex> lock(mutex_);
    startMs_ = startMs;
    lastMs_ = startMs;
}

void SongClock::mixed(std::int64_t framesBefore, int frames, int latencyFrames,
                      Clock::time_point now) {
    std::lock_guard<std::mutex> lock(mutex_);
    const std::int64_t measured = framesBefore - latencyFrames;
    std::int64_t start = measured;
    if (haveChunk_ && !offline_) {
        // Each report of the output's latency is a little off, and a clock
        // that never goes back would keep every upward error and drop every
        // downward one: follow the reports an eighth of the way each time,
        // and jump only where they disagree by more than a stutter could.
        const auto since = std::chrono::duration_cast<std::chrono::nanoseconds>(now - chunkAt_);
        const std::int64_t predicted =
            chunkStart_ + std::max<std::int64_t>(0, since.count()) * rate_ / 1000000000;
        const std::int64_t error = measured - predicted;
        if (std::abs(error) * 1000 < static_cast<std::int64_t>(kFollowMs) * rate_) {
            start = predicted + error / 8;
        }
    }
    haveChunk_ = true;
    chunkStart_ = start;
    chunkEnd_ = framesBefore + frames;
    chunkAt_ = now;
}

int SongClock::nowMs(Clock::time_point now) {
    std::lock_guard<std::mutex> lock(mutex_);
    std::int64_t heard = 0;
    if (offline_) {
        heard = chunkEnd_;
    } else if (haveChunk_) {
        const auto since = std::chrono::duration_cast<std::chrono::nanoseconds>(now - chunkAt_);
        const std::int64_t ran = std::max<std::int64_t>(0, since.count()) * rate_ / 1000000000;
        heard = std::min(chunkStart_ + ran, chunkEnd_);
    }
    heard = std::max<std::int64_t>(0, heard);
    const std::int64_t ms = startMs_ + heard * 1000 / rate_;
    lastMs_ = std::max(lastMs_, static_cast<int>(std::min<std::int64_t>(ms, INT32_MAX)));
    return lastMs_;
}

void SongClock::notBefore(int ms) {
    std::lock_guard<std::mutex> lock(mutex_);
    lastMs_ = std::max(lastMs_, ms);
}
