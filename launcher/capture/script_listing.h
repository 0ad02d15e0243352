// --list: the module's script as a table, one row per event, from the
// module's own description of its events (DmdDescribeEvent).
#pragma once

#include <cstdio>
#include <string>

// Loads the module, prints its table to out and unloads it. Returns the exit
// status: 0 when printed, 1 (with a message on stderr) when the module cannot
// be loaded or does not describe its script.
int printScriptListing(const std::string& moduleName, std::FILE* out);
