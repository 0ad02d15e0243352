// Implements the data-file lookup with dladdr and dl_iterate_phdr (the
// module's own location, and whether it is a loaded library at all) and
// access(2). SORVANEL_DATA_FROM_MODULE is the install's relative path from
// the module's folder to the data folder, e.g. "../../share/sorvanel".
#include "common/data_files.h"

#include <dlfcn.h>
#include <link.h>
#include <unistd.h>

#include <cstdint>
#include <vector>

#include "common/failure_detail.h"
#include "common/trusted_path.h"

namespace {

struct ObjectSearch {
    std::uintptr_t address = 0;
    int index = 0;
    int found = -1;  // the index of the object holding address
};

int findObject(dl_phdr_info* info, std::size_t, void* data) {
    auto* search = static_cast<ObjectSearch*>(data);
    for (int i = 0; i < info->dlpi_phnum; ++i) {
        const ElfW(Phdr)& segment = info->dlpi_phdr[i];
        if (segment.p_type != PT_LOAD) continue;
        const std::uintptr_t start = info->dlpi_addr + segment.p_vaddr;
        if (search->address >= start && search->address < start + segment.p_memsz) {
            search->found = search->index;
            return 1;
        }
    }
    ++search->index;
    return 0;
}

// The folder of the library this code was loaded from; "." when it is
// linked into the program itself (the first object the loader lists).
std::string directoryOfThisModule() {
    ObjectSearch search;
    search.address = reinterpret_cast<std::uintptr_t>(&directoryOfThisModule);
    ::dl_iterate_phdr(findObject, &search);
    if (search.found == 0) return ".";
    Dl_info info{};
    if (::dladdr(reinterpret_cast<void*>(&directoryOfThisModule), &info) == 0 ||
        info.dli_fname == nullptr)
        return ".";
    std::string file = info.dli_fname;
    // A host that loads the module through the descriptor it checked
    // (/proc/self/fd/N) keeps it open: it still names the real file.
    if (file.rfind("/proc/self/fd/", 0) == 0) {
        std::vector<char> real(4096);
        const ssize_t n = ::readlink(file.c_str(), real.data(), real.size() - 1);
        if (n > 0 && real[0] == '/') file.assign(real.data(), static_cast<std::size_t>(n));
    }
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

namespace {

// The data file found, once the walk from the root finds nothing on its way
// that others could change (common/trusted_path.h); then opening the same
// name later reaches the same file. A refused one is named in the failure
// detail, and the name returned is one that opens nothing.
std::string trusted(const std::string& path) {
    const std::string problem = trustedPathProblem(path, "the data file");
    if (problem.empty()) return path;
    noteFailureDetail(problem);
    return {};
}

}  // namespace

std::string dataFilePath(const char* name) {
    const std::string folder = directoryOfThisModule();
    const std::string beside = folder == "." ? std::string{name} : folder + "/" + name;
    if (::access(beside.c_str(), F_OK) == 0) return trusted(beside);
    const std::string installedFolder = installedDataDirectory(folder);
    if (installedFolder.empty()) return beside;
    const std::string installed = installedFolder + "/" + name;
    return ::access(installed.c_str(), F_OK) == 0 ? trusted(installed) : beside;
}
