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

// Whether the module file at path, and its folder, can be changed only by
// their owner and root (no write bit for group or others, owned by this user
// or root; in a sticky folder such as /tmp others cannot replace a file of
// ours). False with why set, naming the file or folder.
bool moduleFileIsTrusted(const std::string& path, std::string& why);
