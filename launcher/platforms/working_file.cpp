// Implements WorkingFile over open(2) with O_EXCL and O_NOFOLLOW, rename(2)
// and unlink(2). Removing checks that the name still holds the file this
// object made (device and inode), so a file put there by someone else in the
// meantime is never deleted.
#include "platforms/working_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

std::string failure(const std::string& path, int error) {
    if (error == EEXIST) {
        return path +
               ": something already stands at this working name (a file or a link left "
               "there?); remove it, or choose another name";
    }
    return path + ": " + std::strerror(error);
}

}  // namespace

WorkingFile::~WorkingFile() {
    if (!committed_) discard();
}

bool WorkingFile::create(const std::string& path, std::string& error) {
    discard();
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
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
    return true;
}

std::FILE* WorkingFile::stream() {
    if (stream_ == nullptr && fd_ >= 0) stream_ = ::fdopen(fd_, "wb");
    return stream_;
}

std::string WorkingFile::inheritedPath(int childFd) {
    return "/proc/self/fd/" + std::to_string(childFd);
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
    if (!close(error)) return false;
    if (::rename(path_.c_str(), finalPath.c_str()) != 0) {
        error = failure(finalPath, errno);
        return false;
    }
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
    path_.clear();
}
