// Implements the module loader over dlopen, dlsym and dlclose. The name is
// looked up as the original platform would (host/module_search.h), and the
// file is checked before the system's loader maps it, so that a file cut
// short is refused with a reason instead of a SIGBUS.
#include <dlfcn.h>

#include <cstring>

#include "host/module_file_check.h"
#include "host/module_loader.h"
#include "host/module_search.h"

namespace {

std::string loadDetail;

void writeMessage(char* buffer, const char* text) {
    std::strncpy(buffer, text, kMessageBufferSize - 1);
    buffer[kMessageBufferSize - 1] = '\0';
}

// The library at path, or null with loadDetail set.
void* openLibrary(const char* fileName) {
    const std::string path = resolveModulePath(fileName, launcherDirectory());
    if (path.empty()) {
        loadDetail = std::string(fileName) + ": no such file";
        return nullptr;
    }
    if (!checkModuleFile(path, loadDetail)) return nullptr;
    void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        const char* why = ::dlerror();
        loadDetail = why != nullptr ? why : path;
    }
    return handle;
}

}  // namespace

const std::string& lastModuleLoadDetail() {
    return loadDetail;
}

bool LoadModule(ModuleBinding& binding, const char* fileName, char* messageBuffer) {
    if (binding.moduleHandle != nullptr) UnloadModule(binding);
    loadDetail.clear();
    binding.moduleHandle = openLibrary(fileName);
    if (binding.moduleHandle == nullptr) {
        writeMessage(messageBuffer, "DMD could not be loaded!");
        return false;
    }
    void* handle = binding.moduleHandle;
    binding.renderScene = reinterpret_cast<DmdRenderSceneFn>(::dlsym(handle, "RenderScene"));
    binding.init = reinterpret_cast<DmdInitFn>(::dlsym(handle, "Init"));
    binding.done = reinterpret_cast<DmdDoneFn>(::dlsym(handle, "Done"));
    if (binding.renderScene != nullptr) return true;

    // The library stays loaded; the next load or unload releases it.
    writeMessage(messageBuffer, "DMD contains no rendering funktion!");
    return false;
}

void UnloadModule(ModuleBinding& binding) {
    if (binding.done != nullptr) binding.done();
    if (binding.moduleHandle != nullptr) ::dlclose(binding.moduleHandle);
    binding = ModuleBinding{};
}

void* moduleExport(const ModuleBinding& binding, const char* name) {
    if (binding.moduleHandle == nullptr) return nullptr;
    return ::dlsym(binding.moduleHandle, name);
}
