// Opening a file so that what is used is what was checked, as a careful
// loader does: the path is walked one name at a time from the root, and every
// folder on the way, every symbolic link followed and the file itself must be
// such that only this user or root can change them. A folder others may
// write to is accepted only when it is sticky (like /tmp) and the name in it
// belongs to this user or root, since then nobody else can rename or replace
// it. Once the whole chain is safe nobody else can swap anything in it, so a
// later open of the same name reaches the same file; the descriptor opened
// here is that file for certain.
#pragma once

#include <string>

struct TrustedOpen {
    int fd = -1;           // read-only, close-on-exec; -1 when refused
    std::string resolved;  // the file's path with every link resolved
    std::string why;       // when refused: which name failed and why, in words
};

// Opens path (relative to the current folder unless it starts with '/') for
// reading. what names the file in messages ("the module file"). The result's
// why reads "<path>: refused: <what or the folder or link> <reason>", or
// "<name>: <system's reason>" when a name cannot be looked at.
TrustedOpen openTrustedFile(const std::string& path, const std::string& what);

// The same walk without keeping the file open: empty when path is safe to
// open, else the reason as above.
std::string trustedPathProblem(const std::string& path, const std::string& what);
