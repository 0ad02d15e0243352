// Runs the ffmpeg program as a child process, optionally feeding its standard
// input through a pipe and handing it files the launcher opened (as
// /proc/self/fd/3, 4, ...). The child gets a process group of its own, so a
// Ctrl-C at the terminal reaches only talvenor, which then ends the child's
// input in order and lets it finish its file; it dies with talvenor (the
// kernel kills it when talvenor goes), so it never outlives the launcher.
// A child that stops taking data is stopped: every wait is bounded.
#pragma once

#include <signal.h>
#include <sys/types.h>

#include <chrono>
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

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
    // progress() (what the child has written so far, say) stood still for
    // the stall limit or a stop was asked for twice.
    int finish(const std::function<long long()>& progress = nullptr);
    // Kills the child's whole process group and reaps it.
    void kill();

    pid_t pid() const { return pid_; }
    // Whether the last write or finish gave up on a child that took nothing.
    bool stalled() const { return stalled_; }

  private:
    pid_t pid_ = -1;
    int input_ = -1;
    bool stalled_ = false;
};

// How long a child may take no data before it counts as stalled (30 s). Tests
// of the watchdog set a shorter limit.
void setEncoderStallLimit(std::chrono::milliseconds limit);
std::chrono::milliseconds encoderStallLimit();

// The count of stop requests (Ctrl-C, SIGTERM) a signal handler raises: with
// one, a pipe whose child takes nothing gives up within a second; with two,
// finish() stops waiting for the child at once.
void setEncoderStopRequests(const volatile sig_atomic_t* requests);

// Runs args to completion with no input and the passed descriptors: the exit
// status, -1 as above.
int runFfmpeg(const std::vector<std::string>& args, const std::vector<int>& passFds,
              const std::function<long long()>& progress, std::string& error);
