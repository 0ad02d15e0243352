// Implements the launcher's run: the command line, then one of the modes (the
// application for the live show, captures and shots, the listing).
#include "launcher_run.h"

#include <errno.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "capture/capture_mode.h"
#include "capture/script_listing.h"
#include "dialog/launcher_app.h"
#include "options/command_line.h"

namespace {

// A program started with one of descriptors 0 to 2 closed would hand that
// number to the next file it opens, and its messages would land in that
// file (a song, a video). Each closed one is opened on /dev/null first.
void keepStandardDescriptorsOpen() {
    for (int fd = 0; fd <= 2; ++fd) {
        if (::fcntl(fd, F_GETFD) >= 0 || errno != EBADF) continue;
        const int null = ::open("/dev/null", O_RDWR);
        if (null >= 0 && null != fd) {
            ::dup2(null, fd);
            ::close(null);
        }
    }
}

// What was printed on standard output reached it: a full disk or a closed
// pipe shows only when the buffer is flushed, so it is closed here, as the
// system's own tools do at exit, and a failure turns a success into 1.
// A mode that writes much (the listing) checks its own writes, where the
// system's reason is still known.
int withStandardOutputClosed(int status) {
    errno = 0;
    bool failed = std::ferror(stdout) != 0;
    // A mode that failed on its output has said so already.
    if (failed && status != 0) {
        std::fclose(stdout);
        return status;
    }
    if (failed) {
        // The failed write's errno is long gone: try what is still buffered
        // once more to learn why.
        std::clearerr(stdout);
        errno = 0;
        std::fflush(stdout);
    }
    int error = errno;
    if (std::fclose(stdout) != 0) {
        failed = true;
        if (error == 0) error = errno;
    }
    if (!failed) return status;
    std::fprintf(stderr, "talvenor: writing to standard output: %s\n",
                 error != 0 ? std::strerror(error) : "a write failed");
    return status == 0 ? 1 : status;
}

int runMode(const LaunchOptions& o) {
    if (o.showVersion) {
        std::printf("%s\n", versionText().c_str());
        return 0;
    }
    if (o.showHelp) {
        std::fputs(usageText().c_str(), stdout);
        return 0;
    }
    switch (o.mode) {
        case RunMode::Capture:
            return runCapture(o);
        case RunMode::Shot:
            return runShot(o);
        case RunMode::List:
            return printScriptListing(o.show.moduleName, stdout);
        case RunMode::Show:
            break;
    }
    LauncherApp app(o.show, o.noDialog);
    return app.InitInstance();
}

}  // namespace

int runLauncher(int argc, char** argv) {
    keepStandardDescriptorsOpen();
    const ParsedCommandLine parsed =
        parseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed.error.empty()) {
        std::fprintf(stderr, "talvenor: %s\n\n%s", parsed.error.c_str(), usageText().c_str());
        return 2;
    }
    return withStandardOutputClosed(runMode(parsed.options));
}
