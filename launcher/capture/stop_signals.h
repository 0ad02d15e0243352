// Ctrl-C, termination, a closed terminal (SIGHUP) and Ctrl-\ (SIGQUIT)
// during a capture or shot: instead of killing the program, they ask its
// loop to stop, so what was captured can be finished and no working file is
// left. Every stop stops within two seconds: the encoder's children are
// ended on a deadline (capture/ffmpeg_pipe.h), and where the run has not
// ended 1.9 s after the first request (a module that does not return from
// Init, a frame or Done), or at a second request, the program ends there:
// the children killed, the working files removed, one line said, status 1.
// A vanished encoder shows as a failed write instead of SIGPIPE.
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

    // While one lives, the last resort waits, so the final files are renamed
    // all or none; once kept() is called, the run is finished and a stop no
    // longer ends it.
    class FinalFiles {
      public:
        FinalFiles();
        ~FinalFiles();
        FinalFiles(const FinalFiles&) = delete;
        FinalFiles& operator=(const FinalFiles&) = delete;
        void kept();
    };

  private:
    static constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};
    struct sigaction old_[std::size(kStopSignals)];
    struct sigaction oldPipe_;
    struct sigaction oldAlarm_;
};
