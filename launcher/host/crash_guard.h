// While a guard lives, a fatal signal (a crash in the module's code: a bad
// memory access, an illegal instruction, an abort in the system's loader)
// ends the program with one line on stderr that names the module, what it
// was doing and the signal, exit status 1, no core dump; the cleanup in
// force runs first (it must be async-signal-safe). Guards nest: an inner
// one names a narrower phase (one frame inside a capture) and keeps the
// outer one's cleanup unless it brings its own; when it goes, the outer one
// is in force again.
#pragma once

#include <string>

class CrashGuard {
  public:
    // The line written is what + " (" + the signal's name + ")".
    explicit CrashGuard(const std::string& what, void (*cleanup)() = nullptr);
    ~CrashGuard();
    CrashGuard(const CrashGuard&) = delete;
    CrashGuard& operator=(const CrashGuard&) = delete;

  private:
    struct Saved;
    Saved* saved_;
};
