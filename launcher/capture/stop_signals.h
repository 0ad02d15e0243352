// Ctrl-C, termination, a closed terminal (SIGHUP) and Ctrl-\ (SIGQUIT)
// during a capture or shot: instead of killing the program, they ask its
// loop to stop, so what was captured can be finished and no working file is
// left. A second request stops the finishing too. A vanished encoder shows
// as a failed write instead of SIGPIPE.
#pragma once

#include <signal.h>

#include <iterator>

class StopSignals {
  public:
    // Installs the handlers; the destructor puts the old ones back.
    StopSignals();
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    // How many stop requests arrived.
    static int requests();

  private:
    static constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};
    struct sigaction old_[std::size(kStopSignals)];
    struct sigaction oldPipe_;
};
