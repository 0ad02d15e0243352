// Implements the trusted walk over lstat, readlink and an O_NOFOLLOW open
// compared with the walk's last lstat by device and inode.
#include "common/trusted_path.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <deque>
#include <vector>

namespace {

constexpr int kMostLinks = 40;  // as the kernel allows

std::deque<std::string> componentsOf(const std::string& path) {
    std::deque<std::string> parts;
    std::string part;
    for (char c : path) {
        if (c != '/') {
            part += c;
            continue;
        }
        if (!part.empty()) parts.push_back(part);
        part.clear();
    }
    if (!part.empty()) parts.push_back(part);
    return parts;
}

std::string joined(const std::string& folder, const std::string& name) {
    return folder == "/" ? "/" + name : folder + "/" + name;
}

std::string parentOf(const std::string& folder) {
    const std::size_t slash = folder.rfind('/');
    return slash == 0 || slash == std::string::npos ? "/" : folder.substr(0, slash);
}

bool ownedSafely(const struct stat& info) {
    return info.st_uid == ::geteuid() || info.st_uid == 0;
}

bool othersMayWrite(const struct stat& info) {
    return (info.st_mode & (S_IWGRP | S_IWOTH)) != 0;
}

std::string whoMayWrite(const struct stat& info) {
    return (info.st_mode & S_IWOTH) != 0 ? "can be written by every user"
                                         : "can be written by its group";
}

std::string anotherUser(const struct stat& info) {
    return "belongs to another user (uid " + std::to_string(info.st_uid) + ")";
}

// Why the folder at folderPath is unsafe to find things in, or "".
std::string folderProblem(const std::string& folderPath, const struct stat& info) {
    if (!ownedSafely(info)) return "its folder " + folderPath + " " + anotherUser(info);
    if (othersMayWrite(info) && (info.st_mode & S_ISVTX) == 0) {
        return "its folder " + folderPath + " " + whoMayWrite(info) + " and is not sticky";
    }
    return {};
}

// Why an entry of folder (stat folderInfo) may be replaced by someone else, or "".
std::string entryProblem(const std::string& folderPath, const struct stat& folderInfo,
                         const std::string& entryPath, const struct stat& entry) {
    // In a sticky folder others may write to, only the owner of a name (and
    // root) can rename or remove it.
    if (othersMayWrite(folderInfo) && !ownedSafely(entry)) {
        return entryPath + " " + anotherUser(entry) + " and lies in " + folderPath +
               ", which others may write to";
    }
    return {};
}

struct Walk {
    std::string resolved;
    struct stat info {};
    std::string why;
};

Walk walk(const std::string& path, const std::string& what) {
    Walk result;
    auto refuse = [&](const std::string& reason) {
        result.why = path + ": refused: " + reason;
        return result;
    };
    auto fail = [&](const std::string& name, int error) {
        result.why = name + ": " + std::strerror(error);
        return result;
    };
    std::string start = path;
    if (path.empty() || path.front() != '/') {
        std::vector<char> cwd(4096);
        if (::getcwd(cwd.data(), cwd.size()) == nullptr) return fail(".", errno);
        start = std::string(cwd.data()) + "/" + path;
    }
    std::deque<std::string> pending = componentsOf(start);
    std::string folder = "/";
    struct stat folderInfo {};
    if (::lstat("/", &folderInfo) != 0) return fail("/", errno);
    if (std::string problem = folderProblem("/", folderInfo); !problem.empty()) {
        return refuse(problem);
    }
    int links = 0;
    while (!pending.empty()) {
        const std::string name = pending.front();
        pending.pop_front();
        if (name == ".") continue;
        if (name == "..") {
            folder = parentOf(folder);
            if (::lstat(folder.c_str(), &folderInfo) != 0) return fail(folder, errno);
            continue;
        }
        const std::string entryPath = joined(folder, name);
        struct stat entry {};
        if (::lstat(entryPath.c_str(), &entry) != 0) return fail(entryPath, errno);
        if (std::string problem = entryProblem(folder, folderInfo, entryPath, entry);
            !problem.empty()) {
            return refuse(problem);
        }
        if (S_ISLNK(entry.st_mode)) {
            if (!ownedSafely(entry)) {
                return refuse("the symbolic link " + entryPath + " " + anotherUser(entry));
            }
            if (++links > kMostLinks) return fail(path, ELOOP);
            std::vector<char> target(4096);
            const ssize_t n = ::readlink(entryPath.c_str(), target.data(), target.size() - 1);
            if (n < 0) return fail(entryPath, errno);
            const std::string to(target.data(), static_cast<std::size_t>(n));
            std::deque<std::string> parts = componentsOf(to);
            pending.insert(pending.begin(), parts.begin(), parts.end());
            if (!to.empty() && to.front() == '/') {
                folder = "/";
                if (::lstat("/", &folderInfo) != 0) return fail("/", errno);
            }
            continue;
        }
        if (S_ISDIR(entry.st_mode)) {
            if (std::string problem = folderProblem(entryPath, entry); !problem.empty()) {
                return refuse(problem);
            }
            folder = entryPath;
            folderInfo = entry;
            continue;
        }
        if (!pending.empty()) return fail(entryPath, ENOTDIR);
        // What kind of file it is, the opener judges (and says in its words).
        if (!ownedSafely(entry)) return refuse(what + " " + anotherUser(entry));
        if (othersMayWrite(entry)) return refuse(what + " " + whoMayWrite(entry));
        result.resolved = entryPath;
        result.info = entry;
        return result;
    }
    return refuse(what + " is a folder");
}

}  // namespace

TrustedOpen openTrustedFile(const std::string& path, const std::string& what) {
    TrustedOpen opened;
    const Walk checked = walk(path, what);
    if (!checked.why.empty()) {
        opened.why = checked.why;
        return opened;
    }
    // Nobody else can change the chain just checked; the open still refuses
    // a link and compares what it got with what was checked.
    const int fd =
        ::open(checked.resolved.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK | O_NOFOLLOW);
    if (fd < 0) {
        opened.why = checked.resolved + ": " + std::strerror(errno);
        return opened;
    }
    struct stat info {};
    if (::fstat(fd, &info) == 0 && !S_ISREG(info.st_mode)) {
        ::close(fd);
        opened.why = path + ": refused: " + what + " is not a regular file";
        return opened;
    }
    if (::fstat(fd, &info) != 0 || info.st_dev != checked.info.st_dev ||
        info.st_ino != checked.info.st_ino || !ownedSafely(info) || othersMayWrite(info) ||
        ::fcntl(fd, F_SETFL, O_RDONLY) != 0) {
        ::close(fd);
        opened.why = path + ": refused: " + what + " changed while it was being opened";
        return opened;
    }
    opened.fd = fd;
    opened.resolved = checked.resolved;
    return opened;
}

std::string trustedPathProblem(const std::string& path, const std::string& what) {
    return walk(path, what).why;
}
