// Implements the module search and the ownership check over the file system.
// SORVANEL_MODULE_FROM_LAUNCHER is the install's relative path from the
// launcher's folder to the module folder, e.g. "../lib/sorvanel".
#include "host/module_search.h"

#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

namespace {

bool isRegularFile(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool exists(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0;
}

// The entry of directory whose name equals component ignoring case, or "".
std::string findIgnoringCase(const std::string& directory, const std::string& component) {
    DIR* dir = ::opendir(directory.empty() ? "." : directory.c_str());
    if (dir == nullptr) return {};
    std::string found;
    while (const dirent* entry = ::readdir(dir)) {
        if (::strcasecmp(entry->d_name, component.c_str()) == 0) {
            found = entry->d_name;
            break;
        }
    }
    ::closedir(dir);
    return found;
}

std::vector<std::string> splitPath(const std::string& path) {
    std::vector<std::string> parts;
    std::string part;
    for (char c : path) {
        if (c == '/') {
            if (!part.empty()) parts.push_back(part);
            part.clear();
        } else {
            part += c;
        }
    }
    if (!part.empty()) parts.push_back(part);
    return parts;
}

// Resolves relative (a path without a leading '/') inside base, each component
// taken exactly when it exists and otherwise matched ignoring case.
std::string resolveIn(const std::string& base, const std::string& relative) {
    std::string current = base;
    for (const std::string& part : splitPath(relative)) {
        const std::string prefix =
            current.empty() || current.back() == '/' ? current : current + "/";
        std::string next = prefix + part;
        if (!exists(next)) {
            const std::string match = findIgnoringCase(current.empty() ? "." : current, part);
            if (match.empty()) return {};
            next = prefix + match;
        }
        current = next;
    }
    return isRegularFile(current) ? current : std::string{};
}

}  // namespace

std::string resolveModulePath(const std::string& name, const std::string& launcherDir) {
    if (name.empty()) return {};
    if (name.front() == '/') return resolveIn("/", name);
    if (name.find('/') != std::string::npos) {
        const std::string found = resolveIn("", name);
        // dlopen takes a name without a slash as a library to search for.
        return found.empty() || found.rfind("./", 0) == 0 || found.rfind("../", 0) == 0
                   ? found
                   : "./" + found;
    }
    // A bare name: the launcher's own folder, then where an install puts the
    // modules; never the current folder, where anyone may have left a file.
    if (launcherDir.empty()) return {};
    const std::string besideLauncher = resolveIn(launcherDir, name);
    if (!besideLauncher.empty()) return besideLauncher;
    const std::string installed = installedModuleDirectory(launcherDir);
    return installed.empty() ? std::string{} : resolveIn(installed, name);
}

std::string installedModuleDirectory(const std::string& launcherDir) {
#ifdef SORVANEL_MODULE_FROM_LAUNCHER
    if (launcherDir.empty()) return {};
    return launcherDir + "/" + SORVANEL_MODULE_FROM_LAUNCHER;
#else
    (void)launcherDir;
    return {};
#endif
}

std::string launcherDirectory() {
    std::vector<char> buffer(4096);
    const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
    if (n <= 0) return {};
    std::string path(buffer.data(), static_cast<std::size_t>(n));
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string{} : path.substr(0, slash);
}
