// Implements TempDirectoryLock: flock without blocking, tried again every
// 10 ms until the deadline, so a start held up by another never waits
// without a word or for ever. The directory is opened without following a
// link, like everything else in it; the lock is advisory and only shows of
// this program take it.
#include "assets/temp_directory_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <thread>

#include "common/failure_detail.h"

namespace {

constexpr auto kQuietWait = std::chrono::seconds(1);
constexpr auto kRetry = std::chrono::milliseconds(10);

}  // namespace

TempDirectoryLock::TempDirectoryLock(const std::string& directory,
                                     std::chrono::milliseconds timeout) {
    if (directory.empty()) return;
    fd_ = open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd_ < 0) {
        noteFailureDetail("the private folder cannot be locked: " +
                          systemFailure(directory, errno));
        return;
    }
    using Clock = std::chrono::steady_clock;
    const Clock::time_point start = Clock::now();
    bool told = false;
    for (;;) {
        if (flock(fd_, LOCK_EX | LOCK_NB) == 0) return;
        if (errno != EWOULDBLOCK && errno != EINTR) break;
        const auto waited = Clock::now() - start;
        if (waited >= timeout) {
            char seconds[32];
            std::snprintf(seconds, sizeof seconds, "%.1f", timeout.count() / 1000.0);
            noteFailureDetail("another start of the show held the private folder " + directory +
                              " for " + seconds + " s");
            break;
        }
        if (!told && waited >= kQuietWait) {
            std::fprintf(stderr,
                         "sorvanel.dmd: waiting for another start of the show to finish with "
                         "its pictures in %s\n",
                         directory.c_str());
            told = true;
        }
        std::this_thread::sleep_for(kRetry);
    }
    close(fd_);
    fd_ = -1;
}

TempDirectoryLock::~TempDirectoryLock() {
    // Closing the only descriptor releases the lock.
    if (fd_ >= 0) close(fd_);
}
