// Implements WorkingFile over open(2) with O_EXCL and O_NOFOLLOW, fsync(2),
// rename(2) and unlink(2). Removing checks that the name still holds the
// file this object made (device and inode), so a file put there by someone
// else in the meantime is never deleted.
#include "platforms/working_file.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

constexpr std::size_t kNameMax = 255;
constexpr int kNumbersTried = 1000;

// The names in use, for removeAllWorkingFiles() in a signal handler: plain
// arrays, a slot taken only once its name is whole.
constexpr int kTableSlots = 16;
constexpr std::size_t kTablePath = 4096;
char tablePaths[kTableSlots][kTablePath];
volatile sig_atomic_t tableUsed[kTableSlots];

int remember(const std::string& path) {
    if (path.size() >= kTablePath) return -1;
    for (int i = 0; i < kTableSlots; ++i) {
        if (tableUsed[i] != 0) continue;
        std::memcpy(tablePaths[i], path.c_str(), path.size() + 1);
        tableUsed[i] = 1;
        return i;
    }
    return -1;
}

void forget(const std::string& path) {
    for (int i = 0; i < kTableSlots; ++i) {
        if (tableUsed[i] != 0 && path == tablePaths[i]) tableUsed[i] = 0;
    }
}

std::string failure(const std::string& path, int error) {
    return path + ": " + std::strerror(error);
}

// How many bytes of text make whole characters within limit (UTF-8: a cut
// never splits one).
std::size_t wholeCharactersWithin(const std::string& text, std::size_t limit) {
    if (text.size() <= limit) return text.size();
    std::size_t end = limit;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
    return end;
}

}  // namespace

std::string workingNameFor(const std::string& finalPath, const std::string& tag, long pid,
                           int number) {
    const std::size_t slash = finalPath.rfind('/');
    const std::string folder = slash == std::string::npos ? "" : finalPath.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? finalPath : finalPath.substr(slash + 1);
    const std::string tail =
        "." + tag + "." + std::to_string(pid) + "-" + std::to_string(number) + ".partial";
    const std::size_t room = kNameMax > tail.size() + 1 ? kNameMax - tail.size() - 1 : 0;
    return folder + "." + name.substr(0, wholeCharactersWithin(name, room)) + tail;
}

void removeAllWorkingFiles() {
    for (int i = 0; i < kTableSlots; ++i) {
        if (tableUsed[i] != 0) ::unlink(tablePaths[i]);
    }
}

WorkingFile::~WorkingFile() {
    if (!committed_) discard();
}

bool WorkingFile::create(const std::string& finalPath, const std::string& tag, std::string& error) {
    discard();
    for (int number = 0; number < kNumbersTried; ++number) {
        const std::string path = workingNameFor(finalPath, tag, ::getpid(), number);
        const int fd =
            ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd < 0 && errno == EEXIST) continue;  // someone else's, or a link: never ours
        if (fd < 0) {
            error = failure(path, errno);
            return false;
        }
        struct stat made {};
        ::fstat(fd, &made);
        device_ = made.st_dev;
        inode_ = made.st_ino;
        path_ = path;
        fd_ = fd;
        committed_ = false;
        remember(path_);
        return true;
    }
    error = workingNameFor(finalPath, tag, ::getpid(), 0) + ": this name and the " +
            std::to_string(kNumbersTried - 1) + " after it are all taken";
    return false;
}

std::FILE* WorkingFile::stream() {
    if (stream_ == nullptr && fd_ >= 0) stream_ = ::fdopen(fd_, "wb");
    return stream_;
}

std::string WorkingFile::inheritedPath(int childFd) {
    return "/proc/self/fd/" + std::to_string(childFd);
}

bool WorkingFile::flush(std::string& error) {
    if (stream_ != nullptr && std::fflush(stream_) != 0) {
        error = failure(path_, errno);
        return false;
    }
    if (fd_ >= 0 && ::fsync(fd_) != 0 && errno != EINVAL && errno != EROFS) {
        error = failure(path_, errno);
        return false;
    }
    return true;
}

bool WorkingFile::close(std::string& error) {
    bool ok = true;
    if (stream_ != nullptr) {
        ok = std::fclose(stream_) == 0;
        if (!ok) error = failure(path_, errno);
        stream_ = nullptr;
        fd_ = -1;
    } else if (fd_ >= 0) {
        ok = ::close(fd_) == 0;
        if (!ok) error = failure(path_, errno);
        fd_ = -1;
    }
    return ok;
}

bool WorkingFile::commit(const std::string& finalPath, std::string& error) {
    if (!flush(error) || !close(error)) return false;
    if (::rename(path_.c_str(), finalPath.c_str()) != 0) {
        error = failure(finalPath, errno);
        return false;
    }
    forget(path_);
    committed_ = true;
    return true;
}

void WorkingFile::discard() {
    if (path_.empty()) return;
    std::string ignored;
    close(ignored);
    struct stat now {};
    if (::lstat(path_.c_str(), &now) == 0 && now.st_dev == device_ && now.st_ino == inode_) {
        ::unlink(path_.c_str());
    }
    forget(path_);
    path_.clear();
}
