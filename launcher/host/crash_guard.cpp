// Implements CrashGuard with sigaction on the fatal signals and a handler
// that only writes, calls the cleanup and _exits. The line is composed in
// advance, since nothing that allocates may run in the handler.
#include "host/crash_guard.h"

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <string>

#include "host/signal_safe.h"

namespace {

constexpr int kFatalSignals[] = {SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT, SIGSYS, SIGTRAP};

// File-scope because the handler reads them: a signal handler has no other
// way to its state.
char linePrefix[1024];
std::size_t linePrefixLength = 0;
void (*crashCleanup)() = nullptr;

const char* signalName(int signal) {
    switch (signal) {
        case SIGSEGV:
            return "SIGSEGV, a bad memory access";
        case SIGBUS:
            return "SIGBUS, a bad memory access";
        case SIGILL:
            return "SIGILL, an illegal instruction";
        case SIGFPE:
            return "SIGFPE, an arithmetic fault";
        case SIGABRT:
            return "SIGABRT, an abort";
        case SIGSYS:
            return "SIGSYS, a bad system call";
        default:
            return "SIGTRAP, a trap";
    }
}

void onFatalSignal(int signal) {
    if (crashCleanup != nullptr) crashCleanup();
    sayOnSignal(linePrefix, linePrefixLength);
    sayOnSignal(" (");
    sayOnSignal(signalName(signal));
    sayOnSignal(")\n");
    ::_exit(1);
}

// Sets the line and cleanup with the fatal signals blocked, so the handler
// never sees a line half copied.
void setLine(const char* text, std::size_t length, void (*cleanup)()) {
    sigset_t fatal, old;
    sigemptyset(&fatal);
    for (int signal : kFatalSignals) sigaddset(&fatal, signal);
    ::sigprocmask(SIG_BLOCK, &fatal, &old);
    linePrefixLength = std::min(length, sizeof linePrefix);
    std::memcpy(linePrefix, text, linePrefixLength);
    crashCleanup = cleanup;
    ::sigprocmask(SIG_SETMASK, &old, nullptr);
}

}  // namespace

struct CrashGuard::Saved {
    struct sigaction old[std::size(kFatalSignals)];
    std::string outerLine;
    void (*outerCleanup)() = nullptr;
};

CrashGuard::CrashGuard(const std::string& what, void (*cleanup)()) : saved_(new Saved) {
    saved_->outerLine.assign(linePrefix, linePrefixLength);
    saved_->outerCleanup = crashCleanup;
    const std::string line = "talvenor: " + what;
    setLine(line.data(), line.size(), cleanup != nullptr ? cleanup : crashCleanup);
    struct sigaction action {};
    action.sa_handler = onFatalSignal;
    sigemptyset(&action.sa_mask);
    // Once in the handler, a second fault ends the program the plain way.
    action.sa_flags = SA_RESETHAND | SA_NODEFER;
    for (std::size_t i = 0; i < std::size(kFatalSignals); ++i) {
        ::sigaction(kFatalSignals[i], &action, &saved_->old[i]);
    }
}

CrashGuard::~CrashGuard() {
    for (std::size_t i = 0; i < std::size(kFatalSignals); ++i) {
        ::sigaction(kFatalSignals[i], &saved_->old[i], nullptr);
    }
    setLine(saved_->outerLine.data(), saved_->outerLine.size(), saved_->outerCleanup);
    delete saved_;
}
