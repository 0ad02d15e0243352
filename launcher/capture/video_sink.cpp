// Implements the two frame sinks of a capture over the ffmpeg pipe and
// working files. The encoder writes into a file the
// launcher created exclusively and hands over as a descriptor, so it never
// opens a path of its own that a planted link could redirect.
#include "capture/video_sink.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "capture/capture_files.h"
#include "capture/stop_signals.h"

namespace {

// The encoder's output, as the child sees the descriptor handed to it.
constexpr int kEncoderOutputFd = 3;

long long fileSize(int fd) {
    struct stat info {};
    return ::fstat(fd, &info) == 0 ? static_cast<long long>(info.st_size) : -1;
}

class EncoderSink final : public VideoSink {
  public:
    bool start(const std::string& finalPath, int width, int height, int framesPerSecond,
               std::string& error) {
        if (!file_.create(finalPath, "video", error)) return false;
        const std::vector<std::string> args =
            encodeArguments(WorkingFile::inheritedPath(kEncoderOutputFd), width, height,
                            framesPerSecond, encoderPreset());
        return encoder_.start(args, {file_.fd()}, true, error);
    }
    bool writeFrame(const std::uint8_t* pixels, std::size_t bytes) override {
        const pid_t pid = encoder_.pid();
        switch (encoder_.write(pixels, bytes)) {
            case FfmpegPipe::Write::Done:
                return true;
            case FfmpegPipe::Write::Gone:
                encoder_.finish();
                error_ = "the encoder (ffmpeg, process " + std::to_string(pid) +
                         ") stopped taking frames" + said();
                return false;
            case FfmpegPipe::Write::Stalled:
                error_ = "the encoder (ffmpeg, process " + std::to_string(pid) +
                         ") took no frame data " +
                         (StopSignals::requests() > 0 ? "within 1.5 s of the stop request"
                                                      : "for " + stallText()) +
                         "; it was ended";
                encoder_.kill();
                return false;
        }
        return false;
    }
    bool takesBgra() const override { return true; }
    bool finish(std::string& error) override {
        const pid_t pid = encoder_.pid();
        const int fd = file_.fd();
        const int status = encoder_.finish([fd] { return fileSize(fd); });
        if (encoder_.stalled()) {
            error = "the encoder (ffmpeg, process " + std::to_string(pid) + ") " +
                    (StopSignals::requests() > 0 ? "did not finish within 1.5 s of the stop request"
                                                 : "wrote nothing for " + stallText()) +
                    "; it was ended";
            return false;
        }
        if (status != 0) {
            error = "ffmpeg could not encode the video (exit status " + std::to_string(status) +
                    ")" + said();
            return false;
        }
        return true;
    }
    void abandon() override {
        encoder_.kill();
        file_.discard();
    }
    WorkingFile& file() override { return file_; }

  private:
    // What the encoder last printed, quoted for a message.
    std::string said() const {
        const std::string line = encoder_.lastLine();
        return line.empty() ? std::string() : ": " + line;
    }
    static std::string stallText() {
        return std::to_string(encoderStallLimit().count() / 1000) + " s";
    }

    WorkingFile file_;
    FfmpegPipe encoder_;
};

class RawSink final : public VideoSink {
  public:
    bool open(const std::string& finalPath, std::string& error) {
        if (!file_.create(finalPath, "frames", error)) return false;
        out_ = file_.stream();
        if (out_ == nullptr) error = file_.path() + ": " + std::strerror(errno);
        return out_ != nullptr;
    }
    bool writeFrame(const std::uint8_t* pixels, std::size_t bytes) override {
        if (std::fwrite(pixels, 1, bytes, out_) == bytes) return true;
        error_ = "writing the frames to " + file_.path() + ": " + std::strerror(errno);
        return false;
    }
    bool takesBgra() const override { return false; }
    bool finish(std::string& error) override {
        if (std::fflush(out_) == 0) return true;
        error = "writing the frames to " + file_.path() + ": " + std::strerror(errno);
        return false;
    }
    void abandon() override { file_.discard(); }
    WorkingFile& file() override { return file_; }

  private:
    WorkingFile file_;
    std::FILE* out_ = nullptr;
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
