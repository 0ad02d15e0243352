// Implements the live show's stop deadline over sigaction and an interval
// timer; the handlers call the wrapped ones and only async-signal-safe calls.
#include "live/live_stop_deadline.h"

#include <signal.h>
#include <sys/time.h>
#include <unistd.h>

#include <cstring>

#include "host/show_host.h"

namespace {

constexpr long kDeadlineMs = 1900;
constexpr int kStopSignals[] = {SIGINT, SIGTERM};

struct sigaction wrapped[2];
bool armed = false;

void say(const char* text) {
    std::size_t bytes = std::strlen(text);
    while (bytes > 0) {
        const ssize_t n = ::write(STDERR_FILENO, text, bytes);
        if (n <= 0) return;
        text += n;
        bytes -= static_cast<std::size_t>(n);
    }
}

void deadlinePassed(int) {
    say("talvenor: stopped at the user's request; the show did not end within 2 s of it");
    if (const char* call = moduleCallInProgress) {
        say(" (the module had not returned from ");
        say(call);
        say(")");
    }
    say("\n");
    ::_exit(130);
}

void stopRequested(int signal, siginfo_t* info, void* context) {
    itimerval timer{};
    timer.it_value.tv_sec = kDeadlineMs / 1000;
    timer.it_value.tv_usec = (kDeadlineMs % 1000) * 1000;
    itimerval running{};
    ::getitimer(ITIMER_REAL, &running);
    // A second request ends the show at once.
    if (running.it_value.tv_sec != 0 || running.it_value.tv_usec != 0) deadlinePassed(signal);
    ::setitimer(ITIMER_REAL, &timer, nullptr);
    const struct sigaction& before = wrapped[signal == SIGINT ? 0 : 1];
    if ((before.sa_flags & SA_SIGINFO) != 0) {
        before.sa_sigaction(signal, info, context);
    } else if (before.sa_handler != SIG_DFL && before.sa_handler != SIG_IGN) {
        before.sa_handler(signal);
    } else if (before.sa_handler == SIG_DFL) {
        ::_exit(128 + signal);
    }
}

}  // namespace

void armLiveStopDeadline() {
    if (armed) return;
    armed = true;
    struct sigaction deadline {};
    deadline.sa_handler = deadlinePassed;
    sigemptyset(&deadline.sa_mask);
    ::sigaction(SIGALRM, &deadline, nullptr);
    struct sigaction action {};
    action.sa_sigaction = stopRequested;
    action.sa_flags = SA_SIGINFO | SA_RESTART;
    sigemptyset(&action.sa_mask);
    for (int i = 0; i < 2; ++i) ::sigaction(kStopSignals[i], &action, &wrapped[i]);
}
