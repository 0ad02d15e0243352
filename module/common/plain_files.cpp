// Implements the safe opens: O_NONBLOCK for the open itself (cleared once the
// file is known to be regular), then fstat on the descriptor that was opened,
// so nothing can be swapped in between the check and the use.
#include "common/plain_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "common/failure_detail.h"

int openPlainFile(const std::string& path, bool ownedSingle, std::string& why) {
    const int flags = O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY | (ownedSingle ? O_NOFOLLOW : 0);
    const int fd = ::open(path.c_str(), flags);
    if (fd < 0) {
        why = errno == ELOOP ? path + ": a symbolic link, not a file" : systemFailure(path, errno);
        return -1;
    }
    struct stat info {};
    const char* refusal = nullptr;
    if (::fstat(fd, &info) != 0) {
        why = systemFailure(path, errno);
    } else if (!S_ISREG(info.st_mode)) {
        refusal = S_ISFIFO(info.st_mode)  ? "a FIFO, not a file"
                  : S_ISDIR(info.st_mode) ? "a folder, not a file"
                                          : "not a regular file";
    } else if (ownedSingle && info.st_uid != ::geteuid()) {
        refusal = "a file of another user";
    } else if (ownedSingle && info.st_nlink != 1) {
        refusal = "a file with other names (hard links) elsewhere";
    } else if (::fcntl(fd, F_SETFL, O_RDONLY) == 0) {
        return fd;
    } else {
        why = systemFailure(path, errno);
    }
    if (refusal != nullptr) why = path + ": " + refusal;
    ::close(fd);
    return -1;
}

std::FILE* openPlainStream(const std::string& path, std::string& why) {
    const int fd = openPlainFile(path, false, why);
    if (fd < 0) return nullptr;
    std::FILE* stream = ::fdopen(fd, "rb");
    if (stream == nullptr) {
        why = systemFailure(path, errno);
        ::close(fd);
    }
    return stream;
}
