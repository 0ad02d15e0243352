// The web page's address read as talvenor's command line: each parameter of
// `index.html?start=14&nosound&window=800x600` becomes the option of the same
// name (`--start=14 --nosound --window=800x600`), read by the same table with
// the same ranges and the same words when it is refused, so an address can
// never start a show other than the one it names.
#pragma once

#include <string>
#include <vector>

#include "options/command_line.h"

struct PageAddress {
    LaunchOptions options;  // mode Show (the form or a direct start) or Shot
    bool noDialog = false;  // `nodialog`: start at once
    // Non-empty: the address cannot be used; names the parameter as typed
    // and says what it takes ("start=-5: --start takes seconds of ...").
    std::string error;
};

// The parameters the page takes, as the refusal of an unknown one lists them.
const char* pageAddressNames();

// Reads the query of the address (location.search, with or without its '?'):
// the live show's settings, or a shot (`shot=S` with `size`, `fps`,
// `widescreen`, or `window` for its size).
PageAddress readPageAddress(const std::string& query);
