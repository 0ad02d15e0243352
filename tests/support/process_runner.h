// Runs a program as a child process for end-to-end tests, as a shell starts
// it (descriptors 0 to 2 open, every other closed): arguments, extra
// environment, working directory, a time limit; collects exit status and
// output.
#pragma once

#include <string>
#include <utility>
#include <vector>

struct ProcessResult {
    int exitCode = -1;  // -1 when it did not exit normally
    bool timedOut = false;
    std::string output;  // stdout and stderr together
};

struct ProcessOptions {
    std::vector<std::pair<std::string, std::string>> environment;  // added or replaced
    std::string workingDirectory;                                  // empty: unchanged
    double timeoutSeconds = 60.0;
    // Started with standard error closed (2>&-), its output then stdout only.
    bool closeStderr = false;
    // Called once the child is running, e.g. to send it keys; may be empty.
    void (*whileRunning)(int pid, void* context) = nullptr;
    void* context = nullptr;
};

ProcessResult runProcess(const std::string& program, const std::vector<std::string>& args,
                         const ProcessOptions& options = {});
