// Implements FrameWriter with one mutex and one condition variable over the
// two buffers' states. Turning the rows (and the colour order) happens here,
// off the drawing thread.
#include "capture/frame_writer.h"

#include <cstring>

#include "capture/capture_clock.h"

FrameWriter::FrameWriter(VideoSink& sink, int width, int height, bool keepBgra)
    : sink_(sink),
      rowBytes_(static_cast<std::size_t>(width) * 4),
      height_(height),
      keepBgra_(keepBgra) {
    for (std::vector<std::uint8_t>& b : buffers_) b.resize(rowBytes_ * height_);
    topFirst_.resize(rowBytes_ * height_);
    thread_ = std::thread([this] { run(); });
}

FrameWriter::~FrameWriter() {
    finish();
}

std::vector<std::uint8_t>& FrameWriter::nextBuffer() {
    const CaptureClock::time_point t = CaptureClock::now();
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock,
                  [this] { return failed_ || (filling_ != queued_ && filling_ != writing_); });
    waited_ += secondsSince(t);
    return buffers_[filling_];
}

bool FrameWriter::submit() {
    const CaptureClock::time_point t = CaptureClock::now();
    std::unique_lock<std::mutex> lock(mutex_);
    // At most one frame waits: the one before this is being written.
    changed_.wait(lock, [this] { return failed_ || queued_ < 0; });
    waited_ += secondsSince(t);
    if (failed_) return false;
    queued_ = filling_;
    filling_ = 1 - filling_;
    changed_.notify_all();
    return true;
}

bool FrameWriter::finish() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!thread_.joinable()) return !failed_;
        stopping_ = true;
    }
    changed_.notify_all();
    thread_.join();
    return !failed_;
}

double FrameWriter::flipSeconds() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return flip_;
}

double FrameWriter::writeSeconds() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return write_;
}

void FrameWriter::run() {
    for (;;) {
        int index;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            changed_.wait(lock, [this] { return queued_ >= 0 || stopping_; });
            if (queued_ < 0) return;  // stopping with nothing left
            index = queued_;
            writing_ = index;
            queued_ = -1;
        }
        changed_.notify_all();
        CaptureClock::time_point t = CaptureClock::now();
        const std::uint8_t* rows = buffers_[index].data();
        for (int y = 0; y < height_; ++y) {
            std::uint8_t* to = topFirst_.data() + rowBytes_ * y;
            const std::uint8_t* from = rows + rowBytes_ * (height_ - 1 - y);
            if (keepBgra_) {
                std::memcpy(to, from, rowBytes_);
                continue;
            }
            for (std::size_t x = 0; x < rowBytes_; x += 4) {
                to[x] = from[x + 2];
                to[x + 1] = from[x + 1];
                to[x + 2] = from[x];
                to[x + 3] = from[x + 3];
            }
        }
        const double flipped = secondsSince(t);
        t = CaptureClock::now();
        const bool ok = sink_.writeFrame(topFirst_.data(), topFirst_.size());
        const double written = secondsSince(t);
        {
            std::lock_guard<std::mutex> lock(mutex_);
            flip_ += flipped;
            write_ += written;
            writing_ = -1;
            if (!ok) failed_ = true;
        }
        changed_.notify_all();
        if (!ok) return;
    }
}
