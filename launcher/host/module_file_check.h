// Looks at a module file before the system's loader maps it: a file cut
// short maps pages past its end, and touching them kills the process with
// SIGBUS inside the loader. Here such a file is refused with a reason.
#pragma once

#include <string>

// True when the open file fd (named path in messages) is a regular file
// holding an ELF shared object for this machine whose program headers and
// loaded segments lie inside the file. False with reason set (in words)
// otherwise.
bool checkModuleFile(int fd, const std::string& path, std::string& reason);
