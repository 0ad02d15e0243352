// The PulseAudio output (also served by PipeWire's pulse server): a playback
// stream of our own over libpulse, so that the server keeps a deep buffer
// and reports its real latency. Through SDL 2.26's PulseAudio driver the
// server held about 17 ms of the song (12 ms queued for the stream, 6 in the
// sink), so a writer or server a little late underran: the server played
// silence and dropped what came late. Here the server is asked to queue a
// second for the stream (on top of its sink's own latency), topped up every
// 10 ms by the main loop's thread, raised to real-time priority where the
// system allows; each chunk is mixed with the latency the server reports at
// that moment, which the clock takes off. The depth is for the server's own
// sake: PulseAudio hands a client's audio to its real-time sink thread
// through its main thread, which runs at an ordinary (nice -11) priority;
// on a busy 2-core machine that thread was measured standing still for up
// to 410 ms (and once more than 500), and only what the sink thread already
// held played meanwhile. A seek or pause drops the queue, so the depth is
// never heard as delay.
#include <pulse/pulseaudio.h>
#include <sched.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "music/audio_output.h"

namespace {

constexpr int kTargetMs = 1000;   // what the server queues: the slack against a late server
constexpr int kRefillMs = 10;     // the writer tops up this often
constexpr int kPrebufferMs = 40;  // after an underrun, playing resumes this soon
constexpr auto kConnectTimeout = std::chrono::seconds(3);
constexpr pa_usec_t kGoodTripUs = 2000;  // a timing reply this quick is trusted
constexpr auto kGoodLife = std::chrono::seconds(5);
constexpr int kRealtimePriority = 5;  // modest: above every normal thread, below the server's

// The mixing thread outranks the renderer's threads: real-time round robin
// where allowed (root, CAP_SYS_NICE or an RLIMIT_RTPRIO), else a lower nice
// value where RLIMIT_NICE allows; otherwise it stays as it is.
void raiseThisThread() {
    const pid_t tid = static_cast<pid_t>(::syscall(SYS_gettid));
    sched_param param{};
    param.sched_priority = kRealtimePriority;
    if (::sched_setscheduler(tid, SCHED_RR | SCHED_RESET_ON_FORK, &param) == 0) return;
    for (int nice = -11; nice < 0; nice += 2) {
        if (::setpriority(PRIO_PROCESS, static_cast<id_t>(tid), nice) == 0) return;
    }
}

class PulseOutput : public AudioOutput {
  public:
    PulseOutput(int rate, MixFunction mix) : rate_(rate), mix_(std::move(mix)) {}

    ~PulseOutput() override {
        if (loop_ != nullptr && stream_ != nullptr) drain();
        if (loop_ != nullptr) pa_threaded_mainloop_stop(loop_);  // joins its thread
        if (stream_ != nullptr) {
            pa_stream_disconnect(stream_);
            pa_stream_unref(stream_);
        }
        if (context_ != nullptr) {
            pa_context_disconnect(context_);
            pa_context_unref(context_);
        }
        if (loop_ != nullptr) pa_threaded_mainloop_free(loop_);
    }

    bool open() {
        loop_ = pa_threaded_mainloop_new();
        if (loop_ == nullptr) return false;
        context_ = pa_context_new(pa_threaded_mainloop_get_api(loop_), "Sorvanel");
        if (context_ == nullptr) return false;
        pa_context_set_state_callback(context_, &PulseOutput::signal, this);
        // No autospawn: where no server runs, SDL's drivers are tried instead.
        if (pa_context_connect(context_, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) {
            return false;
        }
        pa_threaded_mainloop_lock(loop_);
        const bool ok = pa_threaded_mainloop_start(loop_) >= 0 && waitForContext() && connect();
        pa_threaded_mainloop_unlock(loop_);
        return ok;
    }

    // A seek or pause is heard at once, not after what the server holds.
    bool changeAndDiscard(const std::function<bool()>& change) override {
        pa_threaded_mainloop_lock(loop_);
        const bool changed = change();
        if (changed) {
            haveGood_ = false;  // the queue the last report spoke of is gone
            if (pa_operation* op = pa_stream_flush(stream_, nullptr, nullptr)) {
                pa_operation_unref(op);
            }
        }
        pa_threaded_mainloop_unlock(loop_);
        return changed;
    }

  private:
    // The end of the song (the fade's tail) is played out, not cut: no more
    // is written, and what the server holds plays, for at most the target.
    void drain() {
        pa_threaded_mainloop_lock(loop_);
        closing_ = true;
        pa_operation* op = nullptr;
        if (pa_stream_get_state(stream_) == PA_STREAM_READY) {
            op = pa_stream_drain(stream_, nullptr, nullptr);
        }
        pa_threaded_mainloop_unlock(loop_);
        if (op == nullptr) return;
        const auto deadline =
            std::chrono::steady_clock::now() + std::chrono::milliseconds(kTargetMs + 100);
        for (;;) {
            pa_threaded_mainloop_lock(loop_);
            const bool running = pa_operation_get_state(op) == PA_OPERATION_RUNNING;
            pa_threaded_mainloop_unlock(loop_);
            if (!running || std::chrono::steady_clock::now() > deadline) break;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        pa_threaded_mainloop_lock(loop_);
        pa_operation_cancel(op);
        pa_operation_unref(op);
        pa_threaded_mainloop_unlock(loop_);
    }

    static void signal(pa_context*, void* self) {
        pa_threaded_mainloop_signal(static_cast<PulseOutput*>(self)->loop_, 0);
    }
    static void streamSignal(pa_stream*, void* self) {
        pa_threaded_mainloop_signal(static_cast<PulseOutput*>(self)->loop_, 0);
    }

    // With the loop locked: waits (on the loop's signal) until the context
    // is ready or failed, or the time is up.
    bool waitForContext() {
        const auto deadline = std::chrono::steady_clock::now() + kConnectTimeout;
        for (;;) {
            const pa_context_state_t state = pa_context_get_state(context_);
            if (state == PA_CONTEXT_READY) return true;
            if (!PA_CONTEXT_IS_GOOD(state) || std::chrono::steady_clock::now() > deadline) {
                return false;
            }
            pa_threaded_mainloop_wait(loop_);
        }
    }

    bool connect() {
        const pa_sample_spec spec{PA_SAMPLE_S16NE, static_cast<std::uint32_t>(rate_), 2};
        stream_ = pa_stream_new(context_, "Sorvanel", &spec, nullptr);
        if (stream_ == nullptr) return false;
        pa_stream_set_state_callback(stream_, &PulseOutput::streamSignal, this);
        pa_stream_set_write_callback(stream_, &PulseOutput::onWrite, this);
        const std::uint32_t bytesPerMs = static_cast<std::uint32_t>(rate_) * 4 / 1000;
        pa_buffer_attr attr{};
        attr.maxlength = static_cast<std::uint32_t>(-1);
        attr.tlength = kTargetMs * bytesPerMs;
        attr.prebuf = kPrebufferMs * bytesPerMs;
        attr.minreq = kRefillMs * bytesPerMs;
        attr.fragsize = static_cast<std::uint32_t>(-1);
        // No latency adjustment: with it the server splits the target between
        // the stream and the sink, and a client that asks the sink for low
        // latency (a recorder, a call) leaves the stream half of it.
        const int flags = PA_STREAM_INTERPOLATE_TIMING | PA_STREAM_AUTO_TIMING_UPDATE;
        if (pa_stream_connect_playback(stream_, nullptr, &attr,
                                       static_cast<pa_stream_flags_t>(flags), nullptr,
                                       nullptr) < 0) {
            return false;
        }
        const auto deadline = std::chrono::steady_clock::now() + kConnectTimeout;
        for (;;) {
            const pa_stream_state_t state = pa_stream_get_state(stream_);
            if (state == PA_STREAM_READY) return true;
            if (!PA_STREAM_IS_GOOD(state) || std::chrono::steady_clock::now() > deadline) {
                return false;
            }
            pa_threaded_mainloop_wait(loop_);
        }
    }

    static void onWrite(pa_stream* stream, std::size_t bytes, void* self) {
        static_cast<PulseOutput*>(self)->write(stream, bytes);
    }

    // On the loop's thread, which holds the loop's lock.
    void write(pa_stream* stream, std::size_t bytes) {
        if (closing_) return;
        if (!raised_) {
            raiseThisThread();
            raised_ = true;
        }
        while (bytes >= 4) {
            void* data = nullptr;
            std::size_t n = bytes;
            if (pa_stream_begin_write(stream, &data, &n) < 0 || data == nullptr) return;
            n -= n % 4;
            if (n == 0) {
                pa_stream_cancel_write(stream);
                return;
            }
            mix_(static_cast<std::int16_t*>(data), static_cast<int>(n / 4), queuedFrames(stream));
            if (pa_stream_write(stream, data, n, nullptr, 0, PA_SEEK_RELATIVE) < 0) return;
            written_ += static_cast<std::int64_t>(n / 4);
            bytes -= n;
        }
    }

    // Frames the server will play before the next frame written. The
    // server's report rests on its last timing reply, whose age libpulse
    // takes as half the round trip; on a busy server the way back is the
    // slow one, and the report is off by up to half the trip. So a report
    // whose trip took more than 2 ms is replaced by the last good one
    // carried forward (plus the frames written since, less the time since
    // at the rate), unless that one is over 5 s old; until the first
    // report, the whole target.
    int queuedFrames(pa_stream* stream) {
        const auto now = std::chrono::steady_clock::now();
        pa_usec_t latency = 0;
        int negative = 0;
        const bool reported = pa_stream_get_latency(stream, &latency, &negative) == 0;
        const pa_timing_info* info = pa_stream_get_timing_info(stream);
        const int frames =
            negative ? 0 : static_cast<int>(static_cast<std::int64_t>(latency) * rate_ / 1000000);
        const bool fresh = reported && info != nullptr && info->transport_usec <= kGoodTripUs;
        if (fresh || (reported && (!haveGood_ || now - good_.at > kGoodLife))) {
            good_ = {frames, written_, now};
            haveGood_ = true;
            return frames;
        }
        if (!haveGood_) return kTargetMs * rate_ / 1000;
        const auto since = std::chrono::duration_cast<std::chrono::microseconds>(now - good_.at);
        const std::int64_t played = since.count() * rate_ / 1000000;
        return static_cast<int>(
            std::max<std::int64_t>(0, good_.frames + (written_ - good_.written) - played));
    }

    const int rate_;
    MixFunction mix_;
    pa_threaded_mainloop* loop_ = nullptr;
    pa_context* context_ = nullptr;
    pa_stream* stream_ = nullptr;
    bool raised_ = false;
    bool closing_ = false;      // draining: nothing more is written
    std::int64_t written_ = 0;  // frames written since the stream opened
    struct GoodReport {
        int frames = 0;  // queued ahead of the next frame written
        std::int64_t written = 0;
        std::chrono::steady_clock::time_point at{};
    } good_;
    bool haveGood_ = false;
};

}  // namespace

std::unique_ptr<AudioOutput> openPulseOutput(int rate, MixFunction mix) {
    auto out = std::make_unique<PulseOutput>(rate, std::move(mix));
    if (!out->open()) return nullptr;
    return out;
}
