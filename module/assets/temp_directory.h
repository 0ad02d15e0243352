// The private per-user directory for the temporary picture files:
// $XDG_RUNTIME_DIR/sorvanel, else $XDG_CACHE_HOME/sorvanel (~/.cache/sorvanel),
// created with mode 0700.
#pragma once

#include <string>

// The directory followed by '/'; empty when no such directory can be had,
// and then why says why (the folder and the reason, in words).
std::string privateTempDirectory(std::string& why);
