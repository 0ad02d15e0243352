// Loads a demo module by file name and binds its entry points by name.
// One module at a time; Done always runs before the library is released.
#pragma once

#include <string>

#include "common/dmd_api.h"

struct ModuleBinding {
    void* moduleHandle = nullptr;
    DmdRenderSceneFn renderScene = nullptr;
    DmdInitFn init = nullptr;
    DmdDoneFn done = nullptr;
};

// The process-wide binding; all slots are null when nothing is loaded.
extern ModuleBinding moduleBinding;

// Loads fileName (unloading any module first). On failure copies
// "DMD could not be loaded!" or "DMD contains no rendering funktion!" into
// messageBuffer (256 bytes) and returns false.
bool LoadModule(const char* fileName, char* messageBuffer);

// Calls Done when bound, releases the library, clears the binding.
void UnloadModule();

// Why the last load failed, as the dynamic loader put it (empty if unknown).
const std::string& lastModuleLoadDetail();

// Where a module name is found: a bare name in the current directory, then in
// launcherDirectory, then in the installed module folder beside it; a path as
// given. A name that matches no file exactly is matched ignoring letter case,
// component by component. Empty if not found.
std::string resolveModulePath(const std::string& name, const std::string& launcherDirectory);

// The folder an installed launcher in launcherDirectory keeps its modules in
// (lib/sorvanel/ of the same prefix), or "" when this build has none.
std::string installedModuleDirectory(const std::string& launcherDirectory);

// The directory the running launcher lives in.
std::string launcherDirectory();
