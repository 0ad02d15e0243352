// Implements the live show's stop deadline over sigaction and an interval
// timer; the handlers call the wrapped ones and only async-signal-safe calls.
#include "live/live_stop_deadline.h"

#include <signal.h>
#include <unistd.h>

#include "host/show_host.h"
#include "host/signal_safe.h"

namespace {

constexpr long kDeadlineMs = 1900;
constexpr int kStopSignals[] = {SIGINT, SIGTERM};

// File-scope because the handlers read them: the handlers found in place,
// which a request still reaches, and whether they were wrapped already.
struct sigaction wrapped[2];
bool armed = false;

void deadlinePassed(int) {
    sayOnSignal("talvenor: stopped at the user's request; the show did not end within 2 s of it");
    if (const char* call = moduleCallInProgress) {
        sayOnSignal(" (the module had not returned from ");
        sayOnSignal(call);
        sayOnSignal(")");
    }
    sayOnSignal("\n");
    ::_exit(130);
}

void stopRequested(int signal, siginfo_t* info, void* context) {
    // A second request ends the show at once.
    if (alarmArmed()) deadlinePassed(signal);
    setAlarmAfterMs(kDeadlineMs);
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
