// Implements FfmpegPipe over fork and pipes (the child's side is
// child_process.cpp). The input pipe is non-blocking and written with
// poll(2), so a child that stops reading is noticed, and a stop request is
// seen, within a poll's turn (encoder_watch.h says when a child is stuck).
#include "capture/ffmpeg_pipe.h"

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <thread>

using encoder_watch::Clock;
using encoder_watch::kStopKill;
using encoder_watch::kStopTerminate;
using encoder_watch::ProgressWatch;
using encoder_watch::sinceStopRequest;
using encoder_watch::stopsAsked;

namespace {

constexpr int kPollTurnMs = 50;
constexpr std::size_t kKeptOutput = 64 * 1024;

// Closes fd where it is open, and marks it closed.
void closeOnce(int& fd) {
    if (fd < 0) return;
    ::close(fd);
    fd = -1;
}

bool exited(pid_t pid, int& status) {
    const pid_t got = ::waitpid(pid, &status, WNOHANG);
    return got == pid || (got < 0 && errno == ECHILD);
}

}  // namespace

FfmpegPipe::~FfmpegPipe() {
    finish();
}

bool FfmpegPipe::start(const std::vector<std::string>& args, const std::vector<int>& passFds,
                       bool feedInput, std::string& error) {
    if (args.empty() || pid_ > 0) {
        error = "nothing to start";
        return false;
    }
    const std::string program = findProgram(args[0]);
    if (program.empty()) {
        error = args[0] + ": not found in PATH (the ffmpeg package has it)";
        return false;
    }
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);

    int inputFds[2] = {-1, -1};
    int errorFds[2] = {-1, -1};
    int printedFds[2] = {-1, -1};
    if ((feedInput && ::pipe2(inputFds, O_CLOEXEC) != 0) || ::pipe2(errorFds, O_CLOEXEC) != 0 ||
        ::pipe2(printedFds, O_CLOEXEC) != 0) {
        error = std::string("pipe: ") + std::strerror(errno);
        for (int fd : {inputFds[0], inputFds[1], errorFds[0], errorFds[1]}) {
            if (fd >= 0) ::close(fd);
        }
        return false;
    }
    const pid_t parent = ::getpid();
    const pid_t pid = ::fork();
    if (pid == 0) {
        becomeChild(program.c_str(), argv.data(), parent, inputFds[0], printedFds[1], passFds,
                    errorFds[1]);
    }
    ::close(errorFds[1]);
    ::close(printedFds[1]);
    if (feedInput) ::close(inputFds[0]);
    if (pid < 0) {
        error = std::string("fork: ") + std::strerror(errno);
        if (feedInput) ::close(inputFds[1]);
        ::close(errorFds[0]);
        ::close(printedFds[0]);
        return false;
    }
    // The child's group is its own from its first instruction; set it here
    // too, so a kill of the group cannot miss it.
    ::setpgid(pid, pid);
    pid_ = pid;
    registerChild(pid);
    output_.clear();
    printed_ = printedFds[0];
    ::fcntl(printed_, F_SETFL, O_RDONLY | O_NONBLOCK);
    int execError = 0;
    const ssize_t n = ::read(errorFds[0], &execError, sizeof execError);
    ::close(errorFds[0]);
    if (n == static_cast<ssize_t>(sizeof execError)) {
        int status = 0;
        ::waitpid(pid_, &status, 0);
        forgetChild(pid_);
        pid_ = -1;
        closeOnce(printed_);
        if (feedInput) ::close(inputFds[1]);
        error = program + ": " + std::strerror(execError);
        return false;
    }
    if (feedInput) {
        input_ = inputFds[1];
        ::fcntl(input_, F_SETFL, O_WRONLY | O_NONBLOCK);
    }
    stalled_ = false;
    return true;
}

void FfmpegPipe::readOutput() {
    if (printed_ < 0) return;
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(printed_, buffer, sizeof buffer);
        if (n > 0) {
            output_.append(buffer, static_cast<std::size_t>(n));
            if (output_.size() > kKeptOutput) output_.erase(0, output_.size() - kKeptOutput);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n == 0) closeOnce(printed_);  // every writer is gone
        return;
    }
}

std::string lastLineOf(const std::string& text) {
    std::size_t end = text.size();
    while (end > 0) {
        while (end > 0 && (text[end - 1] == '\n' || text[end - 1] == '\r')) --end;
        if (end == 0) break;
        const std::size_t start = text.find_last_of("\r\n", end - 1);
        const std::size_t from = start == std::string::npos ? 0 : start + 1;
        if (from < end) return text.substr(from, end - from);
        end = from;
    }
    return {};
}

FfmpegPipe::Write FfmpegPipe::write(const void* data, std::size_t bytes) {
    if (input_ < 0) return Write::Gone;
    const char* p = static_cast<const char*>(data);
    ProgressWatch watch;
    while (bytes > 0) {
        const ssize_t n = ::write(input_, p, bytes);
        if (n > 0) {
            p += n;
            bytes -= static_cast<std::size_t>(n);
            watch.moved();
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR) return Write::Gone;  // EPIPE and the like
        pollfd wait[2] = {{input_, POLLOUT, 0}, {printed_, POLLIN, 0}};
        ::poll(wait, printed_ >= 0 ? 2 : 1, kPollTurnMs);
        readOutput();
        if (watch.stalled() || sinceStopRequest() >= kStopTerminate) {
            stalled_ = true;
            return Write::Stalled;
        }
    }
    readOutput();
    return Write::Done;
}

int FfmpegPipe::finish(const std::function<long long()>& progress) {
    closeOnce(input_);
    if (pid_ <= 0) return -1;
    const int stopsAtStart = stopsAsked();
    ProgressWatch watch;
    bool terminated = false;
    int status = 0;
    for (;;) {
        readOutput();
        if (exited(pid_, status)) break;
        watch.look(progress ? progress() : 0);
        const Clock::duration sinceStop = sinceStopRequest();
        // A second stop request gives up on the child at once.
        if (watch.stalled() || sinceStop >= kStopKill || stopsAsked() > std::max(stopsAtStart, 1)) {
            stalled_ = true;
            kill();
            return -1;
        }
        if (sinceStop >= kStopTerminate && !terminated) {
            terminated = true;
            ::kill(-pid_, SIGTERM);
            ::kill(pid_, SIGTERM);
        }
        pollfd wait{printed_, POLLIN, 0};
        if (printed_ >= 0) {
            ::poll(&wait, 1, 10);
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    forgetChild(pid_);
    pid_ = -1;
    readOutput();
    closeOnce(printed_);
    // Ended by the stop's SIGTERM: it did not finish in time.
    if (terminated) stalled_ = true;
    return WIFEXITED(status) && !terminated ? WEXITSTATUS(status) : -1;
}

void FfmpegPipe::kill() {
    closeOnce(input_);
    if (pid_ > 0) {
        ::kill(-pid_, SIGKILL);
        ::kill(pid_, SIGKILL);
        int status = 0;
        while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
        }
        forgetChild(pid_);
        pid_ = -1;
    }
    readOutput();
    closeOnce(printed_);
}

int runFfmpeg(const std::vector<std::string>& args, const std::vector<int>& passFds,
              const std::function<long long()>& progress, std::string& error,
              std::string* printed) {
    FfmpegPipe child;
    if (!child.start(args, passFds, false, error)) return -1;
    const int status = child.finish(progress);
    if (child.stalled()) {
        error = stopsAsked() > 0 ? "it did not finish within 1.5 s of the stop request"
                                 : "it moved no data for " +
                                       std::to_string(encoderStallLimit().count() / 1000) + " s";
    } else if (status != 0 && !child.lastLine().empty()) {
        error = child.lastLine();
    }
    if (printed != nullptr) *printed = child.output();
    return status;
}
