// Implements the module loader's three operations over the platform's
// library calls (module_library.h): the binding, the failure texts, and Done
// before the library is released.
#include "host/module_loader.h"

#include <cstring>

#include "host/module_library.h"

namespace {

void writeMessage(char* buffer, const char* text) {
    std::strncpy(buffer, text, kMessageBufferSize - 1);
    buffer[kMessageBufferSize - 1] = '\0';
}

}  // namespace

bool LoadModule(ModuleBinding& binding, const char* fileName, char* messageBuffer,
                std::string* detail) {
    if (binding.moduleHandle != nullptr) UnloadModule(binding);
    std::string why;
    binding.moduleHandle = openModuleLibrary(fileName, why);
    if (detail != nullptr) *detail = why;
    if (binding.moduleHandle == nullptr) {
        writeMessage(messageBuffer, "DMD could not be loaded!");
        return false;
    }
    void* library = binding.moduleHandle;
    binding.renderScene =
        reinterpret_cast<DmdRenderSceneFn>(moduleLibrarySymbol(library, "RenderScene"));
    binding.init = reinterpret_cast<DmdInitFn>(moduleLibrarySymbol(library, "Init"));
    binding.done = reinterpret_cast<DmdDoneFn>(moduleLibrarySymbol(library, "Done"));
    if (binding.renderScene != nullptr) return true;

    // The library stays loaded; the next load or unload releases it.
    writeMessage(messageBuffer, "DMD contains no rendering funktion!");
    return false;
}

void UnloadModule(ModuleBinding& binding) {
    if (binding.done != nullptr) binding.done();
    if (binding.moduleHandle != nullptr) closeModuleLibrary(binding.moduleHandle);
    binding = ModuleBinding{};
}

void* moduleExport(const ModuleBinding& binding, const char* name) {
    if (binding.moduleHandle == nullptr) return nullptr;
    return moduleLibrarySymbol(binding.moduleHandle, name);
}
