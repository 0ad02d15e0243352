// Implements the encoder's watch: the stall limit and the stop counter as
// set for the run, and the moment the first stop request was seen.
#include "capture/encoder_watch.h"

namespace {

// What the run set: the stall limit, the stop counter its signal handlers
// raise, and when a request was first seen. One run at a time sets them.
std::chrono::milliseconds stallLimit{30000};
const volatile sig_atomic_t* stopRequests = nullptr;
encoder_watch::Clock::time_point firstStopSeen{};

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

namespace encoder_watch {

int stopsAsked() {
    return stopRequests != nullptr ? *stopRequests : 0;
}

Clock::duration sinceStopRequest() {
    if (stopsAsked() == 0) return Clock::duration(-1);
    const Clock::time_point now = Clock::now();
    if (firstStopSeen == Clock::time_point{}) firstStopSeen = now;
    return now - firstStopSeen;
}

}  // namespace encoder_watch
