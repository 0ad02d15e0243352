// Implements the module loader over dlopen, dlsym and dlclose.
// SORVANEL_MODULE_FROM_LAUNCHER is the install's relative path from the
// launcher's folder to the module folder, e.g. "../lib/sorvanel".
#include "module_loader.h"

#include <dirent.h>
#include <dlfcn.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <vector>

ModuleBinding moduleBinding;

namespace {

std::string loadDetail;

void writeMessage(char* buffer, const char* text) {
    std::strncpy(buffer, text, kMessageBufferSize - 1);
    buffer[kMessageBufferSize - 1] = '\0';
}

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
        return found.empty() ? found : "./" + found;
    }
    // A bare name: the current directory first, then the launcher's own,
    // then where an install puts the modules.
    const std::string inCurrent = resolveIn("", name);
    if (!inCurrent.empty()) return "./" + inCurrent;
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

const std::string& lastModuleLoadDetail() {
    return loadDetail;
}

bool LoadModule(const char* fileName, char* messageBuffer) {
    if (moduleBinding.moduleHandle != nullptr) UnloadModule();
    loadDetail.clear();

    const std::string path = resolveModulePath(fileName, launcherDirectory());
    if (path.empty()) {
        loadDetail = std::string(fileName) + ": no such file";
    } else {
        moduleBinding.moduleHandle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (moduleBinding.moduleHandle == nullptr) {
            const char* why = ::dlerror();
            loadDetail = why != nullptr ? why : path;
        }
    }
    if (moduleBinding.moduleHandle == nullptr) {
        writeMessage(messageBuffer, "DMD could not be loaded!");
        return false;
    }

    void* handle = moduleBinding.moduleHandle;
    moduleBinding.renderScene = reinterpret_cast<DmdRenderSceneFn>(::dlsym(handle, "RenderScene"));
    moduleBinding.init = reinterpret_cast<DmdInitFn>(::dlsym(handle, "Init"));
    moduleBinding.done = reinterpret_cast<DmdDoneFn>(::dlsym(handle, "Done"));
    if (moduleBinding.renderScene != nullptr) return true;

    // The library stays loaded; the next load or unload releases it.
    writeMessage(messageBuffer, "DMD contains no rendering funktion!");
    return false;
}

void UnloadModule() {
    if (moduleBinding.done != nullptr) moduleBinding.done();
    if (moduleBinding.moduleHandle != nullptr) ::dlclose(moduleBinding.moduleHandle);
    moduleBinding = ModuleBinding{};
}
