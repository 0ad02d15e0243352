// Implements the children's start and table over fork's child side, execve
// and an array of sig_atomic_t: the program's path is found in PATH before
// the fork, so the child calls only what is safe after forking in a threaded
// process (setpgid, prctl, sigaction, fcntl, open, dup2, execve).
#include "capture/child_process.h"

#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>

extern char** environ;

namespace {

constexpr int kFirstPassedFd = 3;
constexpr int kHighFds = 100;

// Children running now, by process (and group) number. File-scope and
// sig_atomic_t because the run's last resort reads it from a signal handler.
constexpr int kMostChildren = 8;
volatile sig_atomic_t liveChildren[kMostChildren] = {};

}  // namespace

std::string findProgram(const std::string& name) {
    if (name.find('/') != std::string::npos) return name;
    const char* path = std::getenv("PATH");
    std::string dirs = path != nullptr ? path : "/usr/local/bin:/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= dirs.size()) {
        const std::size_t end = std::min(dirs.find(':', start), dirs.size());
        // An empty entry is the current folder.
        const std::string dir = end > start ? dirs.substr(start, end - start) : std::string(".");
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

// Every descriptor that is to be put in place is first copied above all of
// them, so that putting one in place never overwrites another that is still
// to be copied (the launcher's own files may sit at 3, 4, ... when the shell
// opened nothing else).
void becomeChild(const char* program, char* const* argv, pid_t parent, int input, int printed,
                 const std::vector<int>& passFds, int errorPipe) {
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

void killAllChildrenNow() {
    for (const volatile sig_atomic_t& slot : liveChildren) {
        const pid_t pid = slot;
        if (pid <= 0) continue;
        ::kill(-pid, SIGKILL);
        ::kill(pid, SIGKILL);
    }
}
