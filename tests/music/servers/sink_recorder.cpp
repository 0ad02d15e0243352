// The recorder over libpulse's threaded main loop. For a monitor stream the
// server reports a negative latency when the frames read have not been
// played yet; either way, frame n of a fragment read at time T with latency
// L (signed) is played at T - L + n / rate.
#include "sink_recorder.h"

#include <sched.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>

#include "monotonic_ns.h"

namespace {

constexpr int kRate = 44100;
constexpr int kFragmentFrames = 441;  // 10 ms
constexpr int kSilence = 2;

}  // namespace

SinkRecorder::~SinkRecorder() {
    stop();
}

bool SinkRecorder::start(const std::string& server, const std::string& source, std::string& error) {
    loop_ = pa_threaded_mainloop_new();
    context_ = pa_context_new(pa_threaded_mainloop_get_api(loop_), "sorvanel-test-recorder");
    if (pa_context_connect(context_, server.c_str(), PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0 ||
        pa_threaded_mainloop_start(loop_) < 0) {
        error = "cannot connect to " + server;
        return false;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    pa_context_state_t state = PA_CONTEXT_UNCONNECTED;
    while ((state = pa_context_get_state(context_)) != PA_CONTEXT_READY) {
        if (!PA_CONTEXT_IS_GOOD(state) || std::chrono::steady_clock::now() > deadline) {
            error = "the server did not accept the recorder";
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));  // polling its state
    }
    pa_threaded_mainloop_lock(loop_);
    const pa_sample_spec spec{PA_SAMPLE_S16LE, kRate, 2};
    stream_ = pa_stream_new(context_, "sorvanel-test-recording", &spec, nullptr);
    pa_stream_set_read_callback(stream_, &SinkRecorder::onRead, this);
    pa_buffer_attr attr{};
    attr.maxlength = static_cast<std::uint32_t>(-1);
    attr.fragsize = kFragmentFrames * 4;
    const int flags = PA_STREAM_INTERPOLATE_TIMING | PA_STREAM_AUTO_TIMING_UPDATE |
                      PA_STREAM_ADJUST_LATENCY | PA_STREAM_DONT_MOVE;
    const int result = pa_stream_connect_record(stream_, source.c_str(), &attr,
                                                static_cast<pa_stream_flags_t>(flags));
    pa_threaded_mainloop_unlock(loop_);
    if (result < 0) {
        error = "cannot record " + source;
        return false;
    }
    while (pa_stream_get_state(stream_) != PA_STREAM_READY) {
        if (!PA_STREAM_IS_GOOD(pa_stream_get_state(stream_)) ||
            std::chrono::steady_clock::now() > deadline) {
            error = "the recording stream did not start";
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

void SinkRecorder::stop() {
    if (loop_ == nullptr) return;
    pa_threaded_mainloop_stop(loop_);
    if (stream_ != nullptr) {
        pa_stream_disconnect(stream_);
        pa_stream_unref(stream_);
        stream_ = nullptr;
    }
    pa_context_disconnect(context_);
    pa_context_unref(context_);
    context_ = nullptr;
    pa_threaded_mainloop_free(loop_);
    loop_ = nullptr;
}

void SinkRecorder::onRead(pa_stream* stream, std::size_t, void* self) {
    static_cast<SinkRecorder*>(self)->read(stream);
}

void SinkRecorder::read(pa_stream* stream) {
    if (!raised_) {
        // The recorder must not be the one that falls behind.
        sched_param param{};
        param.sched_priority = 4;
        ::sched_setscheduler(0, SCHED_RR | SCHED_RESET_ON_FORK, &param);
        raised_ = true;
    }
    for (;;) {
        const std::int64_t now = monotonicNs();
        pa_usec_t latency = 0;
        int negative = 0;
        // Only timings from a quick reply: libpulse takes the reply's age as
        // half its round trip, which a busy server makes lopsided.
        const pa_timing_info* info = pa_stream_get_timing_info(stream);
        const bool timed = pa_stream_get_latency(stream, &latency, &negative) == 0 &&
                           info != nullptr && info->transport_usec <= 2000;
        const void* data = nullptr;
        std::size_t bytes = 0;
        if (pa_stream_peek(stream, &data, &bytes) < 0 || bytes == 0) return;
        std::lock_guard<std::mutex> lock(mutex_);
        const std::int64_t first = static_cast<std::int64_t>(samples_.size() / 2);
        const std::size_t count = bytes / 2;
        const std::size_t old = samples_.size();
        samples_.resize(old + count);
        if (data != nullptr) {
            std::memcpy(samples_.data() + old, data, count * 2);
        } else {
            ++holes_;
            std::fill(samples_.begin() + static_cast<std::ptrdiff_t>(old), samples_.end(), 0);
        }
        pa_stream_drop(stream);
        if (firstSound_ < 0) {
            for (std::size_t k = old; k < samples_.size(); ++k) {
                if (std::abs(samples_[k]) >= kSilence) {
                    firstSound_ = static_cast<std::int64_t>(k / 2);
                    break;
                }
            }
        }
        if (timed) {
            const double signedLatencyNs = (negative ? -1.0 : 1.0) * 1000.0 * latency;
            const double playedAtNs = static_cast<double>(now) - signedLatencyNs;
            origins_.push_back(static_cast<double>(first) - playedAtNs * kRate / 1e9);
        }
    }
}

std::vector<std::int16_t> SinkRecorder::samples() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return samples_;
}

int SinkRecorder::holes() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return holes_;
}

std::int64_t SinkRecorder::frames() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return static_cast<std::int64_t>(samples_.size() / 2);
}

std::int64_t SinkRecorder::framesSinceSound() const {
    std::lock_guard<std::mutex> lock(mutex_);
    if (firstSound_ < 0) return 0;
    return static_cast<std::int64_t>(samples_.size() / 2) - firstSound_;
}

bool SinkRecorder::playingFrameAt(std::int64_t atNs, double& frame) const {
    std::vector<double> origins;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        origins = origins_;
    }
    if (origins.empty()) return false;
    auto middle = origins.begin() + static_cast<std::ptrdiff_t>(origins.size() / 2);
    std::nth_element(origins.begin(), middle, origins.end());
    frame = *middle + static_cast<double>(atNs) * kRate / 1e9;
    return true;
}
