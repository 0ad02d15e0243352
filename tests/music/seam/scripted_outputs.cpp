// The scripted outputs: the device output mixes ahead 8192 frames past what
// is heard, in chunks of 2048, and reads the time heard as its start time
// plus the frames heard, never going back within one start, as the page's
// worklet output does.
#include "scripted_outputs.h"

#include <algorithm>
#include <memory>

#include "music/audio_output.h"

namespace {

constexpr int kChunkFrames = 2048;
constexpr std::int64_t kAheadFrames = 8192;

ScriptedOutputs record;

class ScriptedDevice final : public AudioOutput {
  public:
    ScriptedDevice(int rate, MixFunction mix) : rate_(rate), mix_(std::move(mix)) {
        record.deviceOpen = true;
    }
    ~ScriptedDevice() override {
        record.deviceOpen = false;
        record.calls.push_back("closed");
    }

    void playFrom(int startMs) override {
        record.calls.push_back("playFrom " + std::to_string(startMs));
        restart(startMs);
        mixing_ = true;
        mixAhead();
    }
    void holdAt(int atMs) override {
        record.calls.push_back("holdAt " + std::to_string(atMs));
        restart(atMs);
    }
    void stopAt(int atMs) override {
        record.calls.push_back("stopAt " + std::to_string(atMs));
        mixing_ = false;
        startMs_ = lastMs_ = atMs;
    }
    std::optional<int> heardMs() override {
        if (!mixing_) return startMs_;
        const std::int64_t heard = std::min<std::int64_t>(record.heardFrames, sent_);
        lastMs_ = std::max(lastMs_, static_cast<int>(startMs_ + heard * 1000 / rate_));
        return lastMs_;
    }
    void mixAhead() override {
        if (!mixing_) return;
        std::vector<std::int16_t>& out = record.generations.back();
        while (sent_ - record.heardFrames < kAheadFrames) {
            out.resize(out.size() + kChunkFrames * 2);
            mix_(out.data() + out.size() - kChunkFrames * 2, kChunkFrames,
                 static_cast<int>(sent_ - record.heardFrames));
            sent_ += kChunkFrames;
        }
    }

  private:
    void restart(int atMs) {
        mixing_ = false;
        startMs_ = lastMs_ = atMs;
        sent_ = 0;
        record.heardFrames = 0;
        record.generations.emplace_back();
    }

    const int rate_;
    const MixFunction mix_;
    bool mixing_ = false;
    int startMs_ = 0;
    int lastMs_ = 0;
    std::int64_t sent_ = 0;
};

class ScriptedSilence final : public AudioOutput {
  public:
    bool mixes() const override { return false; }
    void playFrom(int startMs) override {
        record.calls.push_back("playFrom " + std::to_string(startMs));
        record.silentMs = startMs;
    }
    void holdAt(int atMs) override {
        record.calls.push_back("holdAt " + std::to_string(atMs));
        record.silentMs = atMs;
    }
    void stopAt(int atMs) override { record.calls.push_back("stopAt " + std::to_string(atMs)); }
    std::optional<int> heardMs() override { return record.silentMs; }
};

}  // namespace

ScriptedOutputs& scripted() {
    return record;
}

std::unique_ptr<AudioOutput> openSoundOutput(int, int rate, MixFunction mix) {
    if (record.deviceFails) return nullptr;
    return std::make_unique<ScriptedDevice>(rate, std::move(mix));
}

std::unique_ptr<AudioOutput> openSilentOutput(int, MixFunction) {
    return std::make_unique<ScriptedSilence>();
}
