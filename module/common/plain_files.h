// Opening the module's own files safely: a data file or a temporary picture
// must be a regular file, and opening one never waits (a FIFO planted at the
// name would block an ordinary open until someone writes to it).
#pragma once

#include <cstdio>
#include <string>

// Opens path for reading; a file descriptor, or -1 with why set (a path and
// the reason in words). With ownedSingle the file must also be ours and have
// one name only (no hard link elsewhere), and a symbolic link is refused.
int openPlainFile(const std::string& path, bool ownedSingle, std::string& why);

// The same as a stdio stream in mode "rb", or null with why set.
std::FILE* openPlainStream(const std::string& path, std::string& why);
