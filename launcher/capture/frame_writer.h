// Hands a capture's frames to its sink from a thread of their own, so that
// turning the rows top first and writing them to the encoder's pipe or the
// raw file overlap the drawing of the next frame. Two buffers: the capture
// loop reads a frame into one while the writer works on the other.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

#include "capture/video_sink.h"

class FrameWriter {
  public:
    // Frames come in as read back: BGRA, bottom row first. They go to the
    // sink top row first, turned to RGBA unless keepBgra.
    FrameWriter(VideoSink& sink, int width, int height, bool keepBgra);
    ~FrameWriter();  // finish()
    FrameWriter(const FrameWriter&) = delete;
    FrameWriter& operator=(const FrameWriter&) = delete;

    // The buffer for the next frame, BGRA rows bottom first; waits
    // while the writer still holds both.
    std::vector<std::uint8_t>& nextBuffer();
    // Queues the buffer nextBuffer gave; false once a write has failed.
    bool submit();
    // Waits until every queued frame is written; false when one failed.
    bool finish();

    // Seconds the capture loop waited for a free buffer (the sink's pace),
    // and the writer's seconds turning rows and writing.
    double waitedSeconds() const { return waited_; }
    double flipSeconds() const;
    double writeSeconds() const;

  private:
    void run();

    VideoSink& sink_;
    const std::size_t rowBytes_;
    const int height_;
    const bool keepBgra_;
    std::vector<std::uint8_t> buffers_[2];
    std::vector<std::uint8_t> topFirst_;
    int filling_ = 0;   // the buffer the loop fills next
    int queued_ = -1;   // the buffer waiting for the writer, or -1
    int writing_ = -1;  // the buffer the writer is on, or -1
    bool stopping_ = false;
    bool failed_ = false;
    double waited_ = 0.0;
    double flip_ = 0.0;
    double write_ = 0.0;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::thread thread_;
};
