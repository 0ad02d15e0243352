// A private PulseAudio daemon for tests: its own runtime folder and socket,
// one null sink at 44,100 Hz stereo (what it is sent can be recorded from
// its monitor), no autospawn, no session bus. Stopped when destroyed.
#pragma once

#include <sys/types.h>

#include <string>

class PulseServer {
  public:
    PulseServer() = default;
    PulseServer(const PulseServer&) = delete;
    PulseServer& operator=(const PulseServer&) = delete;
    ~PulseServer();

    // False with `error` when the daemon is missing or does not come up
    // within `timeoutSeconds`.
    bool start(std::string& error, double timeoutSeconds = 30.0);
    void stop();

    // For PULSE_SERVER and for libpulse's connect.
    const std::string& server() const { return server_; }
    std::string sink() const { return "sorvanel_test"; }
    std::string monitor() const { return sink() + ".monitor"; }
    // The daemon's own log, for a failure message.
    std::string log() const;

    static bool available();

  private:
    std::string folder_;
    std::string server_;
    pid_t pid_ = -1;
};
