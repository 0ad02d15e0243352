// Runs the ffmpeg programs (ffmpeg, ffprobe) as child processes, optionally
// feeding standard input through a pipe and handing them files the launcher
// opened (as /proc/self/fd/3, 4, ...). What the child prints goes into a
// pipe the launcher reads, so its last words can be quoted in a message (and
// ffprobe's answers read). The child gets a process group of its own, so a
// Ctrl-C at the terminal reaches only talvenor, which then ends the child's
// input in order and lets it finish its file; it dies with talvenor (the
// kernel kills it when talvenor goes), so it never outlives the launcher.
// A child that makes no progress (takes no frames, grows no file) for the
// stall limit is stopped, and so is one still running shortly after a stop
// request: every wait is bounded.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "capture/child_process.h"
#include "capture/encoder_watch.h"

// The last line of text that is not empty, or "".
std::string lastLineOf(const std::string& text);

class FfmpegPipe {
  public:
    enum class Write {
        Done,     // every byte taken
        Gone,     // the child no longer reads (it ended, or its input broke)
        Stalled,  // the child took nothing for the stall limit (or for a second
                  // after a stop was asked for)
    };

    FfmpegPipe() = default;
    FfmpegPipe(const FfmpegPipe&) = delete;
    FfmpegPipe& operator=(const FfmpegPipe&) = delete;
    // A child still running is given end of input and a bounded wait.
    ~FfmpegPipe();

    // Starts args[0] (looked up in PATH) with args; passFds[i] becomes the
    // child's descriptor 3 + i. With feedInput its standard input is a pipe
    // that write() fills. False with error set.
    bool start(const std::vector<std::string>& args, const std::vector<int>& passFds,
               bool feedInput, std::string& error);
    Write write(const void* data, std::size_t bytes);
    // Ends the input and waits for the child to exit: its exit status, or -1
    // when it did not exit normally, never ran, or was stopped because
    // progress() (what the child has written so far, say) did not move for
    // the stall limit, a stop request's deadline passed, or a stop was asked
    // for twice.
    int finish(const std::function<long long()>& progress = nullptr);
    // Kills the child's whole process group and reaps it.
    void kill();

    pid_t pid() const { return pid_; }
    // Whether the last write or finish gave up on a child that took nothing.
    bool stalled() const { return stalled_; }
    // What the child printed on its standard output and error (the last
    // 64 KiB of it).
    const std::string& output() const { return output_; }
    // The last line the child printed that is not empty, or "".
    std::string lastLine() const { return lastLineOf(output_); }

  private:
    void readOutput();

    pid_t pid_ = -1;
    int input_ = -1;
    int printed_ = -1;  // the read end of the child's standard output and error
    bool stalled_ = false;
    std::string output_;
};

// Runs args to completion with no input and the passed descriptors: the exit
// status, -1 as above; what it printed in printed when not null.
int runFfmpeg(const std::vector<std::string>& args, const std::vector<int>& passFds,
              const std::function<long long()>& progress, std::string& error,
              std::string* printed = nullptr);
