// Where the module finds the data files it opens by bare name (the archive
// and the song): beside the module file itself, then in the data folder of
// an installed copy, found relative to the module file, so that an install
// under any prefix works. The current folder is not looked at: a stray file
// there never changes what a module loaded from elsewhere plays. Where the
// module's code is linked into a program instead (the tests, the
// benchmarks), the program's current folder is its folder.
#pragma once

#include <string>

// The path to open for the data file called name: in the module's folder,
// else its installed copy when there is one, else the module's folder (so
// that a failure names where it was looked for). A file found in a place
// others could change (a folder others may write to, another user's link or
// file) gives "" and names the cause in the failure detail.
std::string dataFilePath(const char* name);

// The installed data folder for the module loaded from moduleDirectory, or ""
// when this build has no installed location.
std::string installedDataDirectory(const std::string& moduleDirectory);
