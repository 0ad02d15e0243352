// What the module loader needs of the platform: open a module by its name
// (yielding a handle or none, with the platform's own words for why not),
// look up an export by name, release it. Dynamic libraries implement it here
// (dl_module_library.cpp); where there are none, the module is linked in
// (linked_module_library.cpp).
#pragma once

#include <string>

// Null with why set when the module cannot be opened.
void* openModuleLibrary(const char* name, std::string& why);
void* moduleLibrarySymbol(void* library, const char* name);
void closeModuleLibrary(void* library);
