// Implements FfmpegPipe over fork and execve: the program's path is found in
// PATH before the fork, so the child calls only what is safe after forking in
// a threaded process (setpgid, prctl, sigaction, fcntl, open, dup2, execve).
// The input pipe is non-blocking and written with poll(2), so a child that
// stops reading is noticed, and a stop request is seen, within a poll's turn.
// The children running are kept in a table a signal handler can read, so
// the run's last resort after a stop request can end them.
#include "capture/ffmpeg_pipe.h"

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

std::chrono::milliseconds stallLimit{30000};
const volatile sig_atomic_t* stopRequests = nullptr;
// After a stop request, a child still running is asked to end (SIGTERM),
// then ended (SIGKILL), whatever it does: the run ends within two seconds.
constexpr auto kStopTerminate = std::chrono::milliseconds(1500);
constexpr auto kStopKill = std::chrono::milliseconds(1700);
constexpr int kPollTurnMs = 50;
constexpr int kFirstPassedFd = 3;

// Closes fd where it is open, and marks it closed.
void closeOnce(int& fd) {
    if (fd < 0) return;
    ::close(fd);
    fd = -1;
}

int stopsAsked() {
    return stopRequests != nullptr ? *stopRequests : 0;
}

}  // namespace

std::string findProgram(const std::string& name) {
    if (name.find('/') != std::string::npos) return name;
    const char* path = std::getenv("PATH");
    std::string dirs = path != nullptr ? path : "/usr/local/bin:/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= dirs.size()) {
        const std::size_t end = std::min(dirs.find(':', start), dirs.size());
        std::string dir = dirs.substr(start, end - start);
        if (dir.empty()) dir = ".";
        const std::string candidate = dir + "/" + name;
        struct stat info {};
        if (::stat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
            ::access(candidate.c_str(), X_OK) == 0) {
            return candidate;
        }
        start = end + 1;
    }
    return {};
}

namespace {

constexpr std::size_t kKeptOutput = 64 * 1024;
constexpr int kHighFds = 100;

// In the child, before execve: only async-signal-safe calls. Every
// descriptor that is to be put in place is first copied above all of them,
// so that putting one in place never overwrites another that is still to
// be copied (the launcher's own files may sit at 3, 4, ... when the shell
// opened nothing else).
[[noreturn]] void becomeChild(const char* program, char* const* argv, pid_t parent, int input,
                              int printed, const std::vector<int>& passFds, int errorPipe) {
    ::setpgid(0, 0);
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != parent) ::_exit(127);  // talvenor went before the line above
    struct sigaction defaults {};
    defaults.sa_handler = SIG_DFL;
    for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE}) {
        ::sigaction(signal, &defaults, nullptr);
    }
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    const int errorHigh = ::fcntl(errorPipe, F_DUPFD_CLOEXEC, kHighFds);
    const int inputHigh = input >= 0 ? ::fcntl(input, F_DUPFD_CLOEXEC, kHighFds)
                                     : ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    const int printedHigh = ::fcntl(printed, F_DUPFD_CLOEXEC, kHighFds);
    if (errorHigh < 0 || inputHigh < 0 || printedHigh < 0) ::_exit(127);
    int high[64];
    const std::size_t count = passFds.size();
    if (count > sizeof high / sizeof high[0]) ::_exit(127);
    for (std::size_t i = 0; i < count; ++i) {
        high[i] = ::fcntl(passFds[i], F_DUPFD_CLOEXEC, kHighFds);
        if (high[i] < 0) ::_exit(127);
    }
    // Now nothing to be kept sits at 0 to 2 or 3 + i: put each in place.
    if (::dup2(inputHigh, STDIN_FILENO) < 0 || ::dup2(printedHigh, STDOUT_FILENO) < 0 ||
        ::dup2(printedHigh, STDERR_FILENO) < 0) {
        ::_exit(127);
    }
    for (std::size_t i = 0; i < count; ++i) {
        if (::dup2(high[i], kFirstPassedFd + static_cast<int>(i)) < 0) ::_exit(127);
    }
    ::execve(program, argv, environ);
    const int error = errno;
    (void)!::write(errorHigh, &error, sizeof error);
    ::_exit(127);
}

// When a stop request was first seen here: the children's deadlines count
// from it, whichever child runs then.
Clock::time_point firstStopSeen{};

// How long since the first stop request, or a negative time before one.
Clock::duration sinceStopRequest() {
    if (stopsAsked() == 0) return Clock::duration(-1);
    const Clock::time_point now = Clock::now();
    if (firstStopSeen == Clock::time_point{}) firstStopSeen = now;
    return now - firstStopSeen;
}

// Children running now, by process (and group) number, for killAllChildrenNow.
constexpr int kMostChildren = 8;
volatile sig_atomic_t liveChildren[kMostChildren] = {};

void registerChild(pid_t pid) {
    for (volatile sig_atomic_t& slot : liveChildren) {
        if (slot == 0) {
            slot = pid;
            return;
        }
    }
}

void forgetChild(pid_t pid) {
    for (volatile sig_atomic_t& slot : liveChildren) {
        if (slot == pid) slot = 0;
    }
}

// Watches a child for progress: the frame data it took from us and what
// progress() reports (the size of the file it writes). Nothing else counts:
// a child that reads or writes elsewhere (cat /dev/zero > /dev/null) or
// spins is stuck all the same.
class ProgressWatch {
  public:
    void moved() { last_ = Clock::now(); }
    void look(long long progress) {
        if (progress == progress_) return;
        progress_ = progress;
        moved();
    }
    bool stalled() const { return Clock::now() - last_ >= stallLimit; }

  private:
    long long progress_ = 0;
    Clock::time_point last_ = Clock::now();
};

bool exited(pid_t pid, int& status) {
    const pid_t got = ::waitpid(pid, &status, WNOHANG);
    return got == pid || (got < 0 && errno == ECHILD);
}

}  // namespace

void setEncoderStallLimit(std::chrono::milliseconds limit) {
    stallLimit = limit;
}

std::chrono::milliseconds encoderStallLimit() {
    return stallLimit;
}

void setEncoderStopRequests(const volatile sig_atomic_t* requests) {
    stopRequests = requests;
    firstStopSeen = {};
}

void killAllChildrenNow() {
    for (const volatile sig_atomic_t& slot : liveChildren) {
        const pid_t pid = slot;
        if (pid <= 0) continue;
        ::kill(-pid, SIGKILL);
        ::kill(pid, SIGKILL);
    }
}

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
        error = stopsAsked() > 0
                    ? "it did not finish within 1.5 s of the stop request"
                    : "it moved no data for " + std::to_string(stallLimit.count() / 1000) + " s";
    } else if (status != 0 && !child.lastLine().empty()) {
        error = child.lastLine();
    }
    if (printed != nullptr) *printed = child.output();
    return status;
}
