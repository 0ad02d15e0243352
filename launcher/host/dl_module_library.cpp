// Implements the module library calls over dlopen, dlsym and dlclose. The
// name is looked up where nobody else can plant a module
// (host/module_search.h), then opened once through a walk that refuses
// anything others could change (common/trusted_path.h); the open file is
// checked (a file cut short is refused with a reason instead of a SIGBUS)
// and that very file is what the system's loader maps, through
// /proc/self/fd/N of the checked descriptor: no name is looked up twice, so
// nothing can be swapped in between the check and the load. The descriptor
// stays open while the library is loaded, so the module can read its own
// path from it to find its data beside it.
#include <dlfcn.h>
#include <unistd.h>

#include <map>

#include "common/trusted_path.h"
#include "host/module_file_check.h"
#include "host/module_library.h"
#include "host/module_search.h"

namespace {

// Each loaded library's checked descriptor, closed when it is released.
std::map<void*, int>& openDescriptors() {
    static std::map<void*, int> descriptors;
    return descriptors;
}

}  // namespace

void* openModuleLibrary(const char* name, std::string& why) {
    const std::string path = resolveModulePath(name, launcherDirectory());
    if (path.empty()) {
        why = std::string(name) + ": no such file";
        return nullptr;
    }
    const TrustedOpen opened = openTrustedFile(path, "the module file");
    if (opened.fd < 0) {
        why = opened.why;
        return nullptr;
    }
    if (!checkModuleFile(opened.fd, path, why)) {
        ::close(opened.fd);
        return nullptr;
    }
    const std::string checked = "/proc/self/fd/" + std::to_string(opened.fd);
    void* library = ::dlopen(checked.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        const char* error = ::dlerror();
        std::string said = error != nullptr ? error : "the system's loader refused it";
        // The loader names the file by the descriptor's path; say the module's.
        if (said.rfind(checked + ": ", 0) == 0) said.erase(0, checked.size() + 2);
        why = path + ": " + said;
        ::close(opened.fd);
        return nullptr;
    }
    // The same file loaded twice is one library with one reference count
    // per dlopen; each open keeps its descriptor until its dlclose.
    auto [at, added] = openDescriptors().emplace(library, opened.fd);
    if (!added) ::close(opened.fd);
    return library;
}

void* moduleLibrarySymbol(void* library, const char* name) {
    return ::dlsym(library, name);
}

void closeModuleLibrary(void* library) {
    ::dlclose(library);
    auto& descriptors = openDescriptors();
    if (auto it = descriptors.find(library); it != descriptors.end()) {
        ::close(it->second);
        descriptors.erase(it);
    }
}
