// Ctrl-C and termination during a capture or shot: instead of killing the
// program, they ask its loop to stop, so what was captured can be finished
// and nothing half-written is left. A second request stops the finishing
// too. A vanished encoder shows as a failed write instead of SIGPIPE.
#pragma once

#include <signal.h>

class StopSignals {
  public:
    // Installs the handlers; the destructor puts the old ones back.
    StopSignals();
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    // How many times Ctrl-C or SIGTERM arrived.
    static int requests();

  private:
    struct sigaction oldInt_;
    struct sigaction oldTerm_;
    struct sigaction oldPipe_;
};
