// The two frame sinks of a capture.
#include "capture/video_sink.h"

#include <cerrno>
#include <cstring>

#include "capture/capture_files.h"

namespace {

class EncoderSink final : public VideoSink {
  public:
    bool start(const std::string& path, int width, int height, int framesPerSecond,
               std::string& error) {
        return encoder_.start(
            encodeArguments(path, width, height, framesPerSecond, encoderPreset()), true, error);
    }
    bool writeFrame(const std::uint8_t* pixels, std::size_t bytes) override {
        return encoder_.write(pixels, bytes);
    }
    bool takesBgra() const override { return true; }
    bool finish(std::string& error) override {
        const int status = encoder_.finish();
        if (status != 0) {
            error =
                "ffmpeg could not encode the video (exit status " + std::to_string(status) + ")";
            return false;
        }
        return true;
    }

  private:
    FfmpegPipe encoder_;
};

class RawSink final : public VideoSink {
  public:
    ~RawSink() override {
        if (file_ != nullptr) std::fclose(file_);
    }
    bool open(const std::string& path, std::string& error) {
        file_ = std::fopen(path.c_str(), "wb");
        if (file_ == nullptr) error = path + ": " + std::strerror(errno);
        return file_ != nullptr;
    }
    bool writeFrame(const std::uint8_t* pixels, std::size_t bytes) override {
        return std::fwrite(pixels, 1, bytes, file_) == bytes;
    }
    bool takesBgra() const override { return false; }
    bool finish(std::string& error) override {
        const bool ok = std::fclose(file_) == 0;
        file_ = nullptr;
        if (!ok) error = std::string("writing the frames: ") + std::strerror(errno);
        return ok;
    }

  private:
    std::FILE* file_ = nullptr;
};

}  // namespace

std::unique_ptr<VideoSink> openEncoderSink(const std::string& path, int width, int height,
                                           int framesPerSecond, std::string& error) {
    auto sink = std::make_unique<EncoderSink>();
    if (!sink->start(path, width, height, framesPerSecond, error)) return nullptr;
    return sink;
}

std::unique_ptr<VideoSink> openRawSink(const std::string& path, std::string& error) {
    auto sink = std::make_unique<RawSink>();
    if (!sink->open(path, error)) return nullptr;
    return sink;
}
