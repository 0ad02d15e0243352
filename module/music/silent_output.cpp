// The silent output: every 10 ms its thread mixes exactly the frames that
// wall time since its start calls for, and discards them. The schedule is
// absolute, so the song runs at 1.00x real time and a late tick catches up.
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "music/audio_output.h"

namespace {

constexpr auto kTick = std::chrono::milliseconds(10);
constexpr int kMaxChunk = 4096;

class SilentOutput : public AudioOutput {
  public:
    SilentOutput(int rate, MixFunction mix) : rate_(rate), mix_(std::move(mix)) {
        thread_ = std::thread([this] { run(); });
    }

    ~SilentOutput() override {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            stopping_ = true;
        }
        wake_.notify_all();
        thread_.join();
    }

  private:
    void run() {
        using Clock = std::chrono::steady_clock;
        const Clock::time_point start = Clock::now();
        std::vector<std::int16_t> buffer(kMaxChunk * 2);
        std::int64_t done = 0;
        for (std::int64_t tick = 1;; ++tick) {
            {
                std::unique_lock<std::mutex> lock(mutex_);
                if (wake_.wait_until(lock, start + tick * kTick, [this] { return stopping_; })) {
                    return;
                }
            }
            const auto elapsed =
                std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now() - start);
            const std::int64_t due = elapsed.count() * rate_ / 1000000000;
            while (done < due) {
                const int n = static_cast<int>(std::min<std::int64_t>(kMaxChunk, due - done));
                mix_(buffer.data(), n, 0);
                done += n;
            }
        }
    }

    const int rate_;
    MixFunction mix_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool stopping_ = false;
    std::thread thread_;
};

}  // namespace

std::unique_ptr<AudioOutput> openSilentOutput(int rate, MixFunction mix) {
    return std::make_unique<SilentOutput>(rate, std::move(mix));
}
