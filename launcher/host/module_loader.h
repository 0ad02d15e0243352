// Loads a demo module and binds its entry points by name: the record of what
// is bound, and the three operations on it. One module at a time; Done always
// runs before the library is released. The platform's loader implements
// them (dynamic libraries here; a module linked in where there are none).
#pragma once

#include <string>

#include "common/dmd_api.h"

struct ModuleBinding {
    void* moduleHandle = nullptr;
    DmdRenderSceneFn renderScene = nullptr;
    DmdInitFn init = nullptr;
    DmdDoneFn done = nullptr;
};

// Loads fileName into binding (unloading the module it holds first). On
// failure copies "DMD could not be loaded!" or "DMD contains no rendering
// funktion!" into messageBuffer (256 bytes) and returns false; the loader's
// own words for why go to detail where given (empty if unknown).
bool LoadModule(ModuleBinding& binding, const char* fileName, char* messageBuffer,
                std::string* detail = nullptr);

// Calls Done when bound, releases the library, clears the binding.
void UnloadModule(ModuleBinding& binding);

// The loaded module's export of that name, or null.
void* moduleExport(const ModuleBinding& binding, const char* name);
