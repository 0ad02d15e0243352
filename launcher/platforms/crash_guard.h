// While a guard lives, a fatal signal (a crash in the module's code: a bad
// memory access, an illegal instruction, an abort in the system's loader)
// ends the program with one line on stderr that names the module, what it
// was doing and the signal, exit status 1, no core dump; the cleanup given
// runs first (it must be async-signal-safe). Guards do not nest: the last
// one made is the one in force until it goes.
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
