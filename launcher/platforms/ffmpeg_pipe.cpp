// Implements FfmpegPipe over fork and execve: the program's path is found in
// PATH before the fork, so the child calls only what is safe after forking in
// a threaded process (setpgid, prctl, sigaction, dup2, execve). The input
// pipe is non-blocking and written with poll(2), so a child that stops
// reading is noticed, and a stop request is seen, within a poll's turn.
#include "platforms/ffmpeg_pipe.h"

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
constexpr auto kStopGrace = std::chrono::seconds(1);
constexpr int kPollTurnMs = 50;
constexpr int kFirstPassedFd = 3;

int stopsAsked() {
    return stopRequests != nullptr ? *stopRequests : 0;
}

// The program's path from PATH, as execvp would find it; empty if none.
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

// In the child, before execve: only async-signal-safe calls.
[[noreturn]] void becomeChild(const char* program, char* const* argv, pid_t parent, int input,
                              const std::vector<int>& passFds, int errorPipe) {
    ::setpgid(0, 0);
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != parent) ::_exit(127);  // talvenor went before the line above
    struct sigaction defaults {};
    defaults.sa_handler = SIG_DFL;
    ::sigaction(SIGINT, &defaults, nullptr);
    ::sigaction(SIGTERM, &defaults, nullptr);
    ::sigaction(SIGPIPE, &defaults, nullptr);
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    if (input >= 0) {
        ::dup2(input, STDIN_FILENO);
    } else {
        const int null = ::open("/dev/null", O_RDONLY);
        if (null >= 0) ::dup2(null, STDIN_FILENO);
    }
    // Passed descriptors first to high numbers, so that none is overwritten
    // while they are put in place.
    for (std::size_t i = 0; i < passFds.size(); ++i) {
        const int high = ::fcntl(passFds[i], F_DUPFD_CLOEXEC, 100);
        if (high < 0) ::_exit(127);
        ::dup2(high, kFirstPassedFd + static_cast<int>(i));
    }
    ::execve(program, argv, environ);
    const int error = errno;
    (void)!::write(errorPipe, &error, sizeof error);
    ::_exit(127);
}

// The processor time the child has used (user and system, in clock ticks)
// from /proc: a child that computes is alive even when it takes no data for
// a while; one that sleeps or is stopped is not.
long long cpuTicks(pid_t pid) {
    std::FILE* f = std::fopen(("/proc/" + std::to_string(pid) + "/stat").c_str(), "r");
    if (f == nullptr) return -1;
    char text[1024] = {};
    const std::size_t n = std::fread(text, 1, sizeof text - 1, f);
    std::fclose(f);
    text[n] = '\0';
    // The name in brackets may hold spaces: count fields after its end.
    const char* p = std::strrchr(text, ')');
    if (p == nullptr) return -1;
    long long utime = 0, stime = 0;
    // Fields 3 to 13 come before utime (14) and stime (15).
    if (std::sscanf(p + 1, " %*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %lld %lld", &utime,
                    &stime) != 2) {
        return -1;
    }
    return utime + stime;
}

// Watches a child for signs of life: what it took or wrote and the processor
// time it used. It is stalled when none of them moved for the stall limit,
// or for a second once a stop was asked for.
class ProgressWatch {
  public:
    explicit ProgressWatch(pid_t pid) : pid_(pid), ticks_(cpuTicks(pid)), last_(Clock::now()) {}
    void moved() { last_ = Clock::now(); }
    void look(long long progress) {
        const long long ticks = cpuTicks(pid_);
        if (ticks != ticks_ || progress != progress_) {
            ticks_ = ticks;
            progress_ = progress;
            moved();
        }
    }
    bool stalled() {
        const Clock::time_point now = Clock::now();
        if (stopsAsked() > 0 && stopSeen_ == Clock::time_point{}) stopSeen_ = now;
        if (now - last_ >= stallLimit) return true;
        return stopSeen_ != Clock::time_point{} && now - std::max(stopSeen_, last_) >= kStopGrace;
    }

  private:
    pid_t pid_;
    long long ticks_;
    long long progress_ = 0;
    Clock::time_point last_;
    Clock::time_point stopSeen_{};
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
        error = args[0] + ": not found (install the " + args[0] + " package)";
        return false;
    }
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);

    int inputFds[2] = {-1, -1};
    int errorFds[2] = {-1, -1};
    if ((feedInput && ::pipe2(inputFds, O_CLOEXEC) != 0) || ::pipe2(errorFds, O_CLOEXEC) != 0) {
        error = std::string("pipe: ") + std::strerror(errno);
        for (int fd : {inputFds[0], inputFds[1]}) {
            if (fd >= 0) ::close(fd);
        }
        return false;
    }
    const pid_t parent = ::getpid();
    const pid_t pid = ::fork();
    if (pid == 0)
        becomeChild(program.c_str(), argv.data(), parent, inputFds[0], passFds, errorFds[1]);
    ::close(errorFds[1]);
    if (feedInput) ::close(inputFds[0]);
    if (pid < 0) {
        error = std::string("fork: ") + std::strerror(errno);
        if (feedInput) ::close(inputFds[1]);
        ::close(errorFds[0]);
        return false;
    }
    // The child's group is its own from its first instruction; set it here
    // too, so a kill of the group cannot miss it.
    ::setpgid(pid, pid);
    pid_ = pid;
    int execError = 0;
    const ssize_t n = ::read(errorFds[0], &execError, sizeof execError);
    ::close(errorFds[0]);
    if (n == static_cast<ssize_t>(sizeof execError)) {
        int status = 0;
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
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

FfmpegPipe::Write FfmpegPipe::write(const void* data, std::size_t bytes) {
    if (input_ < 0) return Write::Gone;
    const char* p = static_cast<const char*>(data);
    ProgressWatch watch(pid_);
    while (bytes > 0) {
        const ssize_t n = ::write(input_, p, bytes);
        if (n > 0) {
            p += n;
            bytes -= static_cast<std::size_t>(n);
            watch.moved();
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR) return Write::Gone;  // EPIPE and the like
        pollfd wait{input_, POLLOUT, 0};
        ::poll(&wait, 1, kPollTurnMs);
        watch.look(0);
        if (watch.stalled()) {
            stalled_ = true;
            return Write::Stalled;
        }
    }
    return Write::Done;
}

int FfmpegPipe::finish(const std::function<long long()>& progress) {
    if (input_ >= 0) {
        ::close(input_);
        input_ = -1;
    }
    if (pid_ <= 0) return -1;
    const int stopsAtStart = stopsAsked();
    ProgressWatch watch(pid_);
    int status = 0;
    for (;;) {
        if (exited(pid_, status)) break;
        watch.look(progress ? progress() : 0);
        // A child that computes or writes is finishing; a second stop request
        // gives up on it at once.
        if (watch.stalled() || stopsAsked() > std::max(stopsAtStart, 1)) {
            stalled_ = watch.stalled();
            kill();
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void FfmpegPipe::kill() {
    if (input_ >= 0) {
        ::close(input_);
        input_ = -1;
    }
    if (pid_ <= 0) return;
    ::kill(-pid_, SIGKILL);
    ::kill(pid_, SIGKILL);
    int status = 0;
    while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
    pid_ = -1;
}

int runFfmpeg(const std::vector<std::string>& args, const std::vector<int>& passFds,
              const std::function<long long()>& progress, std::string& error) {
    FfmpegPipe child;
    if (!child.start(args, passFds, false, error)) return -1;
    const int status = child.finish(progress);
    if (child.stalled())
        error = "it wrote nothing for " + std::to_string(stallLimit.count() / 1000) + " s";
    return status;
}
