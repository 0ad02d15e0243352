// A private PipeWire for tests, as a desktop runs it: its own runtime and
// config folders and session bus, then pipewire, wireplumber and
// pipewire-pulse, with the graph held at 44,100 Hz (so nothing is
// resampled) and the null sink loaded through the pulse server.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

#include "sound_server.h"

class PipeWireServer final : public SoundServer {
  public:
    ~PipeWireServer() override;

    bool start(std::string& error, double timeoutSeconds = 30.0) override;
    void stop() override;
    const char* name() const override { return "PipeWire"; }
    std::string log() const override;

    static bool available();

  private:
    pid_t spawn(const std::vector<std::string>& args, const std::string& logName);

    std::vector<pid_t> pids_;  // in start order; stopped in reverse
};
