// Implements the data-file lookup in a browser: the page writes the show's
// data files into /data of the module's in-memory file system before it
// starts, and that is the only place they are.
#include "common/data_files.h"

std::string installedDataDirectory(const std::string&) {
    return "/data";
}

std::string dataFilePath(const char* name) {
    return std::string("/data/") + name;
}
