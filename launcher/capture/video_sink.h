// Where a capture's frames go: the H.264 encoder (ffmpeg fed through a pipe)
// or a raw file of RGBA frames. Frames arrive top row first, in BGRA order
// where the sink takes it (the encoder converts either just as fast), else
// in RGBA.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "platforms/ffmpeg_pipe.h"

class VideoSink {
  public:
    virtual ~VideoSink() = default;
    virtual bool writeFrame(const std::uint8_t* pixels, std::size_t bytes) = 0;
    virtual bool takesBgra() const = 0;
    // Everything written is in the file; false with error set otherwise.
    virtual bool finish(std::string& error) = 0;
};

// ffmpeg encoding to path; null with error set when it cannot start.
std::unique_ptr<VideoSink> openEncoderSink(const std::string& path, int width, int height,
                                           int framesPerSecond, std::string& error);
// A raw file at path; null with error set when it cannot be created.
std::unique_ptr<VideoSink> openRawSink(const std::string& path, std::string& error);
