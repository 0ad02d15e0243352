// Where a capture's frames go: the H.264 encoder (ffmpeg fed through a pipe,
// writing into a working file the launcher made) or a working file of raw
// RGBA frames. Frames arrive top row first, in BGRA order where the sink
// takes it (the encoder converts either just as fast), else in RGBA.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "capture/ffmpeg_pipe.h"
#include "capture/working_file.h"

class VideoSink {
  public:
    virtual ~VideoSink() = default;
    // False when the frame could not be handed on; error() then says why.
    virtual bool writeFrame(const std::uint8_t* pixels, std::size_t bytes) = 0;
    virtual bool takesBgra() const = 0;
    // Everything written is in the working file; false with error set
    // otherwise.
    virtual bool finish(std::string& error) = 0;
    // Stops at once (an encoder is killed) and removes the working file.
    virtual void abandon() = 0;
    // The working file holding the frames (open until the sink goes).
    virtual WorkingFile& file() = 0;
    const std::string& error() const { return error_; }

  protected:
    std::string error_;
};

// ffmpeg encoding into a new working file for finalPath; null with error
// set when the file cannot be made or the encoder cannot start.
std::unique_ptr<VideoSink> openEncoderSink(const std::string& finalPath, int width, int height,
                                           int framesPerSecond, std::string& error);
// A new working file of raw frames for finalPath; null with error set.
std::unique_ptr<VideoSink> openRawSink(const std::string& finalPath, std::string& error);
