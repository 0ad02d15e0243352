// Implements privateTempDirectory: the per-user directory that the archive is
// unpacked into and the pictures are loaded from. The directory is made with
// mode 0700; an existing one is used only when it is a real directory (not a
// symbolic link) owned by this user, and is then tightened to 0700.
#include "assets/temp_directory.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "common/failure_detail.h"

namespace {

constexpr const char* kDirectoryName = "sorvanel";

// An XDG variable counts only when it holds an absolute path.
std::string absoluteVariable(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr || value[0] != '/') return {};
    return value;
}

std::string homeDirectory() {
    std::string home = absoluteVariable("HOME");
    if (!home.empty()) return home;
    const passwd* entry = getpwuid(getuid());
    if (entry != nullptr && entry->pw_dir != nullptr && entry->pw_dir[0] == '/') {
        return entry->pw_dir;
    }
    return {};
}

// Makes a directory that may already exist; false with why on any other failure.
bool makeDirectory(const std::string& path, std::string& why) {
    if (mkdir(path.c_str(), 0700) == 0 || errno == EEXIST) return true;
    why = "the private folder cannot be made: " + systemFailure(path, errno);
    return false;
}

// True when path is a directory of ours (not a link); tightens it to 0700.
bool ownPrivateDirectory(const std::string& path, std::string& why) {
    const int fd = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        // The open refuses a link (O_NOFOLLOW); lstat only tells which case.
        const int error = errno;
        struct stat entry {};
        const bool link = lstat(path.c_str(), &entry) == 0 && S_ISLNK(entry.st_mode);
        if (link || error == ELOOP) {
            why = "the private folder " + path + " is a symbolic link";
        } else if (error == ENOTDIR) {
            why = "the private folder " + path + " is a file, not a folder";
        } else {
            why = "the private folder cannot be opened: " + systemFailure(path, error);
        }
        return false;
    }
    struct stat info {};
    bool usable = fstat(fd, &info) == 0 && S_ISDIR(info.st_mode);
    if (usable && info.st_uid != geteuid()) {
        why = "the private folder " + path + " is owned by another user";
        usable = false;
    }
    if (usable && (info.st_mode & 07777) != 0700 && fchmod(fd, 0700) != 0) {
        why = "the private folder cannot be made private: " + systemFailure(path, errno);
        usable = false;
    }
    close(fd);
    return usable;
}

// The directory that holds ours; the cache base is made when missing, the
// runtime directory belongs to the session and is never made here.
std::string baseDirectory(std::string& why) {
    std::string base = absoluteVariable("XDG_RUNTIME_DIR");
    if (!base.empty()) return base;
    base = absoluteVariable("XDG_CACHE_HOME");
    if (base.empty()) {
        const std::string home = homeDirectory();
        if (home.empty()) {
            why =
                "no folder for the pictures: neither XDG_RUNTIME_DIR, XDG_CACHE_HOME nor a "
                "home folder is known";
            return {};
        }
        base = home + "/.cache";
    }
    if (!makeDirectory(base, why)) return {};
    return base;
}

}  // namespace

std::string privateTempDirectory(std::string& why) {
    std::string base = baseDirectory(why);
    if (base.empty()) return {};
    while (base.size() > 1 && base.back() == '/') base.pop_back();
    const std::string directory = (base == "/" ? "" : base) + "/" + kDirectoryName;
    if (!makeDirectory(directory, why) || !ownPrivateDirectory(directory, why)) return {};
    return directory + "/";
}
