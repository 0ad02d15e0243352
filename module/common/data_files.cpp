// Implements the data-file lookup with dladdr (the module's own location) and
// access(2). SORVANEL_DATA_FROM_MODULE is the install's relative path from the
// module's folder to the data folder, e.g. "../../share/sorvanel".
#include "common/data_files.h"

#include <dlfcn.h>
#include <unistd.h>

namespace {

std::string directoryOfThisModule() {
    Dl_info info{};
    if (::dladdr(reinterpret_cast<void*>(&directoryOfThisModule), &info) == 0 ||
        info.dli_fname == nullptr)
        return {};
    const std::string file = info.dli_fname;
    const std::size_t slash = file.rfind('/');
    return slash == std::string::npos ? std::string{"."} : file.substr(0, slash);
}

}  // namespace

std::string installedDataDirectory(const std::string& moduleDirectory) {
#ifdef SORVANEL_DATA_FROM_MODULE
    if (moduleDirectory.empty()) return {};
    return moduleDirectory + "/" + SORVANEL_DATA_FROM_MODULE;
#else
    (void)moduleDirectory;
    return {};
#endif
}

std::string dataFilePath(const char* name) {
    if (::access(name, F_OK) == 0) return name;
    const std::string folder = installedDataDirectory(directoryOfThisModule());
    if (folder.empty()) return name;
    const std::string installed = folder + "/" + name;
    return ::access(installed.c_str(), F_OK) == 0 ? installed : std::string{name};
}
