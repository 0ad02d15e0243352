// Implements runTalvenor with fork, execv and wait4 (its rusage).
#include "talvenor_run.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

RunFigures runTalvenor(const std::vector<std::string>& args, const std::filesystem::path& runtime,
                       const char* preset) {
    RunFigures figures;
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (::chdir(SORVANEL_BENCH_BUILD_DIR) != 0) ::_exit(126);
        ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
        if (preset != nullptr) ::setenv("SORVANEL_CAPTURE_PRESET", preset, 1);
        std::FILE* quiet = std::freopen("/dev/null", "w", stderr);
        (void)quiet;
        std::vector<char*> argv{const_cast<char*>(SORVANEL_BENCH_TALVENOR)};
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    int status = 0;
    struct rusage usage {};
    ::wait4(pid, &status, 0, &usage);
    figures.wallSeconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    figures.cpuSeconds = usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6 +
                         usage.ru_stime.tv_sec + usage.ru_stime.tv_usec / 1e6;
    figures.peakKilobytes = usage.ru_maxrss;
    figures.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return figures;
}
