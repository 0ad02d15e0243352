// Runs the ffmpeg program as a child process, optionally feeding its standard
// input through a pipe. The child gets a process group of its own, so a
// Ctrl-C at the terminal reaches only talvenor, which then ends the child's
// input in order and lets it finish its file.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <string>
#include <vector>

class FfmpegPipe {
  public:
    FfmpegPipe() = default;
    FfmpegPipe(const FfmpegPipe&) = delete;
    FfmpegPipe& operator=(const FfmpegPipe&) = delete;
    // A child still running is given end of input and waited for.
    ~FfmpegPipe();

    // Starts args[0] (looked up in PATH) with args. With feedInput its
    // standard input is a pipe that write() fills. False with error set.
    bool start(const std::vector<std::string>& args, bool feedInput, std::string& error);
    // Writes every byte; false when the child no longer reads.
    bool write(const void* data, std::size_t bytes);
    // Ends the input and waits for the child: its exit status, or -1 when it
    // did not exit normally or never ran.
    int finish();

  private:
    pid_t pid_ = -1;
    int input_ = -1;
};

// Runs args to completion with no input: the exit status, -1 as above.
int runFfmpeg(const std::vector<std::string>& args, std::string& error);
