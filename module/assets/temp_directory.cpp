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

// Makes a directory that may already exist; false on any other failure.
bool makeDirectory(const std::string& path) {
    return mkdir(path.c_str(), 0700) == 0 || errno == EEXIST;
}

// True when path is a directory of ours (not a link); tightens it to 0700.
bool ownPrivateDirectory(const std::string& path) {
    const int fd = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat info {};
    bool usable = fstat(fd, &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == geteuid();
    if (usable && (info.st_mode & 07777) != 0700) usable = fchmod(fd, 0700) == 0;
    close(fd);
    return usable;
}

// The directory that holds ours; the cache base is made when missing, the
// runtime directory belongs to the session and is never made here.
std::string baseDirectory() {
    std::string base = absoluteVariable("XDG_RUNTIME_DIR");
    if (!base.empty()) return base;
    base = absoluteVariable("XDG_CACHE_HOME");
    if (base.empty()) {
        const std::string home = homeDirectory();
        if (home.empty()) return {};
        base = home + "/.cache";
    }
    if (!makeDirectory(base)) return {};
    return base;
}

}  // namespace

std::string privateTempDirectory() {
    std::string base = baseDirectory();
    if (base.empty()) return {};
    while (base.size() > 1 && base.back() == '/') base.pop_back();
    const std::string directory = (base == "/" ? "" : base) + "/" + kDirectoryName;
    if (!makeDirectory(directory) || !ownPrivateDirectory(directory)) return {};
    return directory + "/";
}
