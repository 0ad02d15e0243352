// Where a module name is found on the file system, in places nobody else can
// plant one: a bare name beside the launcher, then in the installed module
// folder; a name with a slash (./x.dmd, /opt/x.dmd) as the path it is, the
// current folder only that way. A name that matches no file exactly is
// matched ignoring letter case (the name arrives upper-cased).
#pragma once

#include <string>

// A path as given; a bare name in launcherDirectory, then in the installed
// module folder beside it. Each component that matches no entry exactly is
// matched ignoring case. Empty if not found.
std::string resolveModulePath(const std::string& name, const std::string& launcherDirectory);

// The folder an installed launcher in launcherDirectory keeps its modules in
// (lib/sorvanel/ of the same prefix), or "" when this build has none.
std::string installedModuleDirectory(const std::string& launcherDirectory);

// The directory the running launcher lives in.
std::string launcherDirectory();
