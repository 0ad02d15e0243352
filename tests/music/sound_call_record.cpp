// The call record: a vector behind a mutex, filled by the listener the layer
// calls.
#include "sound_call_record.h"

#include <mutex>

#include "music/sound_layer.h"

namespace {

std::mutex recordMutex;
std::vector<SoundCall> calls;
SoundLayer* traced = nullptr;  // the layer holding the listener

void record(const char* name, long long a, long long b, long long c) {
    const auto now = std::chrono::steady_clock::now();
    std::lock_guard<std::mutex> lock(recordMutex);
    calls.push_back({name, a, b, c, now});
}

}  // namespace

void soundTraceStart(SoundLayer& layer) {
    {
        std::lock_guard<std::mutex> lock(recordMutex);
        calls.clear();
    }
    if (traced != nullptr && traced != &layer) traced->setCallListener(nullptr);
    traced = &layer;
    layer.setCallListener(record);
}

std::vector<SoundCall> soundTraceStop() {
    if (traced != nullptr) traced->setCallListener(nullptr);
    traced = nullptr;
    std::lock_guard<std::mutex> lock(recordMutex);
    std::vector<SoundCall> out;
    out.swap(calls);
    return out;
}
