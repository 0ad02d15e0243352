// A private PipeWire for tests, as a desktop runs it: its own runtime and
// config folders and session bus, then pipewire, wireplumber and
// pipewire-pulse, with the graph held at 44,100 Hz (so nothing is
// resampled) and one null sink loaded through the pulse server (what it is
// sent can be recorded from its monitor). Stopped when destroyed; the
// machine's own server, if any, is never touched.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

class PipeWireServer {
  public:
    PipeWireServer() = default;
    PipeWireServer(const PipeWireServer&) = delete;
    PipeWireServer& operator=(const PipeWireServer&) = delete;
    ~PipeWireServer();

    // False with `error` when a program is missing or the pulse server does
    // not answer with the sink loaded within `timeoutSeconds`.
    bool start(std::string& error, double timeoutSeconds = 30.0);
    void stop();

    // For PULSE_SERVER and for libpulse's connect.
    const std::string& server() const { return server_; }
    std::string sink() const { return "sorvanel_test"; }
    std::string monitor() const { return sink() + ".monitor"; }
    // The programs' own logs, for a failure message.
    std::string log() const;

    static bool available();

  private:
    pid_t spawn(const std::vector<std::string>& args, const std::string& logName);

    std::string folder_;
    std::string server_;
    std::vector<pid_t> pids_;  // in start order; stopped in reverse
};
