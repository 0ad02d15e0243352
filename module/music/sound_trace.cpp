// The call record: an atomic switch and a vector behind a mutex.
#include "music/sound_trace.h"

#include <atomic>
#include <mutex>

namespace {

std::atomic<bool> recording{false};
std::mutex traceMutex;
std::vector<SoundCall> calls;

}  // namespace

void soundTraceStart() {
    std::lock_guard<std::mutex> lock(traceMutex);
    calls.clear();
    recording = true;
}

std::vector<SoundCall> soundTraceStop() {
    std::lock_guard<std::mutex> lock(traceMutex);
    recording = false;
    std::vector<SoundCall> out;
    out.swap(calls);
    return out;
}

void soundTraceRecord(const char* name, long long a, long long b, long long c) {
    if (!recording.load(std::memory_order_relaxed)) return;
    const auto now = std::chrono::steady_clock::now();
    std::lock_guard<std::mutex> lock(traceMutex);
    if (recording) calls.push_back({name, a, b, c, now});
}
