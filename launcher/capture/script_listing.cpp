// Implements printScriptListing over the show host's module loading and the
// module's DmdDescribeEvent. The table is built in memory first, so a
// failure prints no partial table.
#include "capture/script_listing.h"

#include <cerrno>
#include <cstring>
#include <string>

#include "host/show_host.h"

namespace {

std::string seconds(int ms) {
    char text[32];
    std::snprintf(text, sizeof text, "%d.%03d", ms / 1000, ms % 1000);
    return text;
}

}  // namespace

int printScriptListing(const std::string& moduleName, std::FILE* out) {
    char message[kMessageBufferSize] = {};
    ShowHost host;
    if (!host.LoadModule(moduleName, message)) {
        std::fprintf(stderr, "talvenor: %s\n", withDetail(message, startFailureDetail()).c_str());
        return 1;
    }
    const DmdDescribeEventFn describe = host.exports().describeEvent;
    if (describe == nullptr) {
        std::fputs("talvenor: this module does not describe its script; --list needs that\n",
                   stderr);
        return 1;
    }
    std::string table = "    #      start        end   scene  overlay  shows\n";
    DmdEventInfo info{};
    for (int i = 0; describe(i, &info) != 0; ++i) {
        info.what[sizeof info.what - 1] = '\0';
        char row[320];
        std::snprintf(row, sizeof row, "%5d %10s %10s  0x%04x   0x%04x  %s\n", i + 1,
                      seconds(info.startMs).c_str(), seconds(info.endMs).c_str(),
                      static_cast<unsigned>(info.sceneFlags),
                      static_cast<unsigned>(info.overlayFlags), info.what);
        table += row;
    }
    host.close();
    if (std::fputs(table.c_str(), out) < 0 || std::fflush(out) != 0) {
        std::fprintf(stderr, "talvenor: writing the listing: %s\n", std::strerror(errno));
        return 1;
    }
    return 0;
}
