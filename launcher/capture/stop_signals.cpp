// Implements StopSignals with a counter that the handlers raise; the encoder
// pipe watches the same counter, so a write blocked on a stalled encoder gives
// up within 1.5 s of Ctrl-C. The last resort is an interval timer armed by
// the first request; its handler, like a second request's, uses only
// async-signal-safe calls.
#include "capture/stop_signals.h"

#include <cstring>

#include "capture/ffmpeg_pipe.h"
#include "capture/working_file.h"
#include "host/show_host.h"
#include "host/signal_safe.h"

namespace {

constexpr long kLastResortMs = 1900;

// The handlers' state, file-scope sig_atomic_t since signal handlers read and
// write it.
volatile sig_atomic_t stopRequests = 0;
volatile sig_atomic_t runFinished = 0;
// While the final files are renamed, the last resort waits (any thread may
// take the signal, so a mask would not do); deferred says it came meanwhile.
volatile sig_atomic_t renaming = 0;
volatile sig_atomic_t deferred = 0;

[[noreturn]] void endRunNow(const char* why) {
    killAllChildrenNow();
    removeAllWorkingFiles();
    sayOnSignal("talvenor: stopped at the user's request; nothing was kept (");
    sayOnSignal(why);
    if (const char* call = moduleCallInProgress) {
        sayOnSignal("; the module had not returned from ");
        sayOnSignal(call);
    }
    sayOnSignal(")\n");
    ::_exit(1);
}

void requestStop(int) {
    stopRequests = stopRequests + 1;
    if (runFinished != 0) return;
    if (renaming != 0) {
        deferred = 1;
        return;
    }
    if (stopRequests == 1) {
        setAlarmAfterMs(kLastResortMs);
        return;
    }
    endRunNow("a second stop request");
}

void lastResort(int) {
    if (runFinished != 0) return;
    if (renaming != 0) {
        deferred = 1;
        return;
    }
    endRunNow("the run did not end within 2 s of the request");
}

}  // namespace

StopSignals::StopSignals() {
    stopRequests = 0;
    runFinished = 0;
    setEncoderStopRequests(&stopRequests);
    struct sigaction action;
    std::memset(&action, 0, sizeof action);
    action.sa_handler = requestStop;
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    for (std::size_t i = 0; i < std::size(kStopSignals); ++i)
        sigaction(kStopSignals[i], &action, &old_[i]);
    action.sa_handler = lastResort;
    sigaction(SIGALRM, &action, &oldAlarm_);
    action.sa_handler = SIG_IGN;
    sigaction(SIGPIPE, &action, &oldPipe_);
}

StopSignals::~StopSignals() {
    runFinished = 1;
    setAlarmAfterMs(0);
    for (std::size_t i = 0; i < std::size(kStopSignals); ++i)
        sigaction(kStopSignals[i], &old_[i], nullptr);
    sigaction(SIGALRM, &oldAlarm_, nullptr);
    sigaction(SIGPIPE, &oldPipe_, nullptr);
    setEncoderStopRequests(nullptr);
}

int StopSignals::requests() {
    return stopRequests;
}

StopSignals::FinalFiles::FinalFiles() {
    deferred = 0;
    renaming = 1;
}

StopSignals::FinalFiles::~FinalFiles() {
    renaming = 0;
    // What waited while the names were renamed comes now, unless they were kept.
    if (deferred != 0 && runFinished == 0) setAlarmAfterMs(1);
}

void StopSignals::FinalFiles::kept() {
    runFinished = 1;
    setAlarmAfterMs(0);
}
