// Implements WorkingFile over openat(2) with O_EXCL and O_NOFOLLOW, fsync(2),
// renameat2(2) and unlinkat(2), each relative to a descriptor of the folder
// taken when the file is made: a folder moved or swapped during the run
// still gets its working files renamed or removed, and never another's.
// Removing checks that the name still holds the file this object made
// (device and inode), so a file put there by someone else in the meantime
// is never deleted.
#include "capture/working_file.h"

#include <fcntl.h>
#include <signal.h>
#include <stdio.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

namespace {

constexpr std::size_t kNameMax = 255;
constexpr int kNumbersTried = 1000;

// The names in use, for removeAllWorkingFiles() in a signal handler: plain
// arrays of folder descriptors and names, a slot taken only once its name
// is whole.
constexpr int kTableSlots = 16;
constexpr std::size_t kTableName = kNameMax + 1;
int tableFolders[kTableSlots];
char tableNames[kTableSlots][kTableName];
volatile sig_atomic_t tableUsed[kTableSlots];

void remember(int folder, const std::string& name) {
    if (name.size() >= kTableName) return;
    for (int i = 0; i < kTableSlots; ++i) {
        if (tableUsed[i] != 0) continue;
        tableFolders[i] = folder;
        std::memcpy(tableNames[i], name.c_str(), name.size() + 1);
        tableUsed[i] = 1;
        return;
    }
}

void forget(int folder, const std::string& name) {
    for (int i = 0; i < kTableSlots; ++i) {
        if (tableUsed[i] != 0 && tableFolders[i] == folder && name == tableNames[i]) {
            tableUsed[i] = 0;
        }
    }
}

// The folder part of path ("." for none) and the name in it.
std::pair<std::string, std::string> splitFolder(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return {".", path};
    return {slash == 0 ? "/" : path.substr(0, slash), path.substr(slash + 1)};
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
        if (tableUsed[i] != 0) ::unlinkat(tableFolders[i], tableNames[i], 0);
    }
}

WorkingFile::~WorkingFile() {
    if (!committed_) discard();
}

bool WorkingFile::create(const std::string& finalPath, const std::string& tag, std::string& error) {
    discard();
    const auto [folderPath, finalName] = splitFolder(finalPath);
    // Readable where it may be, for the lock of a pair's renaming.
    int folder = ::open(folderPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0) folder = ::open(folderPath.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0) {
        error = failure(folderPath, errno);
        return false;
    }
    for (int number = 0; number < kNumbersTried; ++number) {
        const std::string path = workingNameFor(finalPath, tag, ::getpid(), number);
        const std::string name = splitFolder(path).second;
        const int fd = ::openat(folder, name.c_str(),
                                O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd < 0 && errno == EEXIST) continue;  // someone else's, or a link: never ours
        if (fd < 0) {
            error = failure(path, errno);
            ::close(folder);
            return false;
        }
        struct stat made {};
        ::fstat(fd, &made);
        device_ = made.st_dev;
        inode_ = made.st_ino;
        path_ = path;
        name_ = name;
        folder_ = folder;
        fd_ = fd;
        committed_ = false;
        remember(folder_, name_);
        return true;
    }
    ::close(folder);
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
    const std::string finalName = splitFolder(finalPath).second;
    if (::renameat(folder_, name_.c_str(), folder_, finalName.c_str()) != 0) {
        error = failure(finalPath, errno);
        return false;
    }
    committed_ = true;
    release();
    return true;
}

namespace {

// One file of a pair put in place: exchanged with what stood at the final
// name (which then waits at the working name, for an undo), or renamed
// where nothing stood.
struct Placed {
    bool done = false;
    bool exchanged = false;
};

Placed place(int folder, const std::string& working, const std::string& finalName, int& error) {
    Placed placed;
    // An exchange would move a folder standing at the name to the working
    // name; a plain rename refuses it, and so does this.
    struct stat standing {};
    if (::fstatat(folder, finalName.c_str(), &standing, AT_SYMLINK_NOFOLLOW) == 0 &&
        S_ISDIR(standing.st_mode)) {
        error = EISDIR;
        return placed;
    }
    if (::renameat2(folder, working.c_str(), folder, finalName.c_str(), RENAME_EXCHANGE) == 0) {
        placed.done = placed.exchanged = true;
        return placed;
    }
    if (errno == ENOENT &&
        ::renameat2(folder, working.c_str(), folder, finalName.c_str(), RENAME_NOREPLACE) == 0) {
        placed.done = true;
        return placed;
    }
    // A file system without exchanges: a plain rename, which cannot be undone.
    if ((errno == EINVAL || errno == ENOSYS) &&
        ::renameat(folder, working.c_str(), folder, finalName.c_str()) == 0) {
        placed.done = true;
        return placed;
    }
    error = errno;
    return placed;
}

void undo(int folder, const std::string& working, const std::string& finalName,
          const Placed& placed) {
    if (placed.exchanged) {
        ::renameat2(folder, working.c_str(), folder, finalName.c_str(), RENAME_EXCHANGE);
    } else {
        ::renameat2(folder, finalName.c_str(), folder, working.c_str(), RENAME_NOREPLACE);
    }
}

// Holds an exclusive lock on the folder while a pair is renamed, so two runs
// renaming pairs to one name never interleave.
class FolderLock {
  public:
    explicit FolderLock(int folder) : folder_(folder) {
        while (::flock(folder_, LOCK_EX) != 0 && errno == EINTR) {
        }
    }
    ~FolderLock() { ::flock(folder_, LOCK_UN); }
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

  private:
    int folder_;
};

}  // namespace

bool commitPair(WorkingFile& first, const std::string& firstPath, WorkingFile& second,
                const std::string& secondPath, std::string& error) {
    if (!first.flush(error) || !first.close(error) || !second.flush(error) ||
        !second.close(error)) {
        return false;
    }
    const int folder = first.folder_;
    const std::string firstName = splitFolder(firstPath).second;
    const std::string secondName = splitFolder(secondPath).second;
    const FolderLock lock(folder);
    int failed = 0;
    const Placed placedFirst = place(folder, first.name_, firstName, failed);
    if (!placedFirst.done) {
        error = failure(firstPath, failed);
        return false;
    }
    const Placed placedSecond = place(second.folder_, second.name_, secondName, failed);
    if (!placedSecond.done) {
        undo(folder, first.name_, firstName, placedFirst);
        error = failure(secondPath, failed) + "; " + firstPath + " was left as it was";
        return false;
    }
    // What stood at the final names waits at the working names: gone now.
    if (placedFirst.exchanged) ::unlinkat(folder, first.name_.c_str(), 0);
    if (placedSecond.exchanged) ::unlinkat(second.folder_, second.name_.c_str(), 0);
    first.committed_ = second.committed_ = true;
    first.release();
    second.release();
    return true;
}

void WorkingFile::release() {
    forget(folder_, name_);
    if (folder_ >= 0) ::close(folder_);
    folder_ = -1;
    name_.clear();
}

void WorkingFile::discard() {
    if (path_.empty()) return;
    std::string ignored;
    close(ignored);
    struct stat now {};
    if (folder_ >= 0 && ::fstatat(folder_, name_.c_str(), &now, AT_SYMLINK_NOFOLLOW) == 0 &&
        now.st_dev == device_ && now.st_ino == inode_) {
        ::unlinkat(folder_, name_.c_str(), 0);
    }
    release();
    path_.clear();
}
