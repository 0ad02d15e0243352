// Implements the module library calls where there are no dynamic libraries
// (a browser): the module is linked into the same program, opening it by its
// own name yields it, and its exports come from a table by name.
#include <cstdint>
#include <cstring>
#include <type_traits>

#include "common/dmd_api.h"
#include "host/module_library.h"

extern "C" {
int Init(void* deviceContext, int soundEnabled, char** messageTarget);
int RenderScene(std::uint32_t startTick, int always1, double left, double right, double bottom,
                double top, double nearVal, double farVal);
void Done();
#define DMD_DECLARE(name, member) std::remove_pointer_t<name##Fn> name;
DMD_OPTIONAL_EXPORTS(DMD_DECLARE)
#undef DMD_DECLARE
}

namespace {

constexpr const char* kLinkedModuleName = "sorvanel.dmd";
int linkedModule = 0;  // its address is the handle

struct Export {
    const char* name;
    void* address;
};

const Export kExports[] = {{"Init", reinterpret_cast<void*>(&Init)},
                           {"RenderScene", reinterpret_cast<void*>(&RenderScene)},
                           {"Done", reinterpret_cast<void*>(&Done)},
#define DMD_ENTRY(name, member) {#name, reinterpret_cast<void*>(&name)},
                           DMD_OPTIONAL_EXPORTS(DMD_ENTRY)
#undef DMD_ENTRY
};

}  // namespace

void* openModuleLibrary(const char* name, std::string& why) {
    if (std::strcmp(name, kLinkedModuleName) == 0) return &linkedModule;
    why = std::string(name) + ": only the show's own module is linked in here";
    return nullptr;
}

void* moduleLibrarySymbol(void*, const char* name) {
    // The browser shows a picture when it composites, about a refresh after
    // the frame's turn ends, so the page's frames are timed from one
    // RenderScene to the next: the module is not told of the copy onto the
    // canvas.
    if (std::strcmp(name, kDmdFrameShownName) == 0) return nullptr;
    for (const Export& e : kExports) {
        if (std::strcmp(e.name, name) == 0) return e.address;
    }
    return nullptr;
}

void closeModuleLibrary(void*) {}
