// Where the module finds the data files it opens by bare name (the archive
// and the song): the current directory first, as a show started in its own
// folder expects, then the data folder of an installed copy, found relative
// to the module file itself so that an install under any prefix works.
#pragma once

#include <string>

// The path to open for the data file called name: name itself when it exists
// in the current directory or nowhere else, otherwise its installed copy.
std::string dataFilePath(const char* name);

// The installed data folder for the module loaded from moduleDirectory, or ""
// when this build has no installed location.
std::string installedDataDirectory(const std::string& moduleDirectory);
