// Implements StopSignals with a counter that the handlers raise; the encoder
// pipe watches the same counter, so a write blocked on a stalled encoder gives
// up within a second of Ctrl-C.
#include "capture/stop_signals.h"

#include <cstring>

#include "platforms/ffmpeg_pipe.h"

namespace {

volatile sig_atomic_t stopRequests = 0;

void requestStop(int) {
    stopRequests = stopRequests + 1;
}

}  // namespace

StopSignals::StopSignals() {
    stopRequests = 0;
    setEncoderStopRequests(&stopRequests);
    struct sigaction action;
    std::memset(&action, 0, sizeof action);
    action.sa_handler = requestStop;
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    for (std::size_t i = 0; i < std::size(kStopSignals); ++i)
        sigaction(kStopSignals[i], &action, &old_[i]);
    action.sa_handler = SIG_IGN;
    sigaction(SIGPIPE, &action, &oldPipe_);
}

StopSignals::~StopSignals() {
    for (std::size_t i = 0; i < std::size(kStopSignals); ++i)
        sigaction(kStopSignals[i], &old_[i], nullptr);
    sigaction(SIGPIPE, &oldPipe_, nullptr);
    setEncoderStopRequests(nullptr);
}

int StopSignals::requests() {
    return stopRequests;
}
