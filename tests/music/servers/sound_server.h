// A private sound server for tests and benchmarks: a folder of its own, an
// address for PULSE_SERVER and libpulse's connect, and one null sink at
// 44,100 Hz stereo whose monitor can be recorded. Stopped when destroyed;
// the machine's own server, if any, is never touched.
#pragma once

#include <sys/types.h>

#include <string>

class SoundServer {
  public:
    SoundServer() = default;
    SoundServer(const SoundServer&) = delete;
    SoundServer& operator=(const SoundServer&) = delete;
    virtual ~SoundServer() = default;

    // False with `error` when a program is missing or the server does not
    // come up with its sink within `timeoutSeconds`.
    virtual bool start(std::string& error, double timeoutSeconds = 30.0) = 0;
    virtual void stop() = 0;
    // "PulseAudio", "PipeWire": for messages and reports.
    virtual const char* name() const = 0;
    // The programs' own logs, for a failure message.
    virtual std::string log() const = 0;

    const std::string& server() const { return server_; }
    std::string sink() const { return "sorvanel_test"; }
    std::string monitor() const { return sink() + ".monitor"; }

  protected:
    // Makes the private folder; false when there is none to be had.
    bool makeFolder(const char* prefix);
    // Removes the private folder, if any, and forgets it.
    void removeFolder();
    // SIGTERM, then SIGKILL if the program has not ended within 10 s.
    static void endProgram(pid_t pid);

    std::string folder_;
    std::string server_;
};
