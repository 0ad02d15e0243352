// Implements TempDirectoryLock. The directory is opened without following a
// link, like everything else in it; the lock is advisory and only shows of
// this program take it.
#include "assets/temp_directory_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

TempDirectoryLock::TempDirectoryLock(const std::string& directory) {
    if (directory.empty()) return;
    fd_ = open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd_ < 0) return;
    int result;
    do {
        result = flock(fd_, LOCK_EX);
    } while (result != 0 && errno == EINTR);
    if (result != 0) {
        close(fd_);
        fd_ = -1;
    }
}

TempDirectoryLock::~TempDirectoryLock() {
    // Closing the only descriptor releases the lock.
    if (fd_ >= 0) close(fd_);
}
