// A private PulseAudio daemon for tests: its own runtime folder and socket,
// one null sink, no autospawn, no session bus.
#pragma once

#include <sys/types.h>

#include <string>

#include "sound_server.h"

class PulseServer final : public SoundServer {
  public:
    ~PulseServer() override;

    bool start(std::string& error, double timeoutSeconds = 30.0) override;
    void stop() override;
    const char* name() const override { return "PulseAudio"; }
    std::string log() const override;

    static bool available();

  private:
    pid_t pid_ = -1;
};
