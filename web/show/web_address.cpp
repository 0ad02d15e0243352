// The page's address read as talvenor's options (page_address.h), with a live
// start checked against the show's end, which the module tells before Init
// (the module is linked in: looking at it loads nothing). The page gets the
// settings, or the refusal in words, as JSON.
#include <emscripten/emscripten.h>

#include <string>

#include "host/show_host.h"
#include "options/page_address.h"
#include "web/show/page_texts.h"

namespace {

int showEndMs() {
    ShowHost host;
    char message[kMessageBufferSize] = {};
    return host.LoadModule("sorvanel.dmd", message) ? host.showEndMs() : -1;
}

}  // namespace

// query: location.search. The text stays valid until the next call.
extern "C" EMSCRIPTEN_KEEPALIVE const char* sorvanelReadAddress(const char* query) {
    static std::string json;
    const PageAddress address = readPageAddress(query != nullptr ? query : "");
    const bool startsLate = address.error.empty() && address.options.mode == RunMode::Show &&
                            address.options.show.startMs > 0;
    json = pageAddressJson(address, startsLate ? showEndMs() : -1);
    return json.c_str();
}
