// Implements the module library calls over dlopen, dlsym and dlclose. The
// name is looked up where nobody else can plant a module
// (host/module_search.h), and the file is checked before the system's loader
// maps it: one that others may change is refused, and one cut short is
// refused with a reason instead of a SIGBUS.
#include <dlfcn.h>

#include "host/module_file_check.h"
#include "host/module_library.h"
#include "host/module_search.h"

void* openModuleLibrary(const char* name, std::string& why) {
    const std::string path = resolveModulePath(name, launcherDirectory());
    if (path.empty()) {
        why = std::string(name) + ": no such file";
        return nullptr;
    }
    if (!moduleFileIsTrusted(path, why) || !checkModuleFile(path, why)) return nullptr;
    void* library = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        const char* error = ::dlerror();
        why = error != nullptr ? error : path;
    }
    return library;
}

void* moduleLibrarySymbol(void* library, const char* name) {
    return ::dlsym(library, name);
}

void closeModuleLibrary(void* library) {
    ::dlclose(library);
}
