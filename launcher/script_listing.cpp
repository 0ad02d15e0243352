// The table is built in memory first, so a failure prints no partial table.
#include "script_listing.h"

#include <string>

#include "module_loader.h"
#include "optional_exports.h"

namespace {

std::string seconds(int ms) {
    char text[32];
    std::snprintf(text, sizeof text, "%d.%03d", ms / 1000, ms % 1000);
    return text;
}

}  // namespace

int RunScriptListing(const std::string& moduleName, std::FILE* out) {
    char message[kMessageBufferSize] = {};
    if (!LoadModule(moduleName.c_str(), message)) {
        std::fprintf(stderr, "talvenor: %s\n", message);
        return 1;
    }
    const OptionalExports exports = bindOptionalExports();
    if (exports.describeEvent == nullptr) {
        UnloadModule();
        std::fputs("talvenor: this module does not describe its script; --list needs that\n",
                   stderr);
        return 1;
    }
    std::string table = "    #      start        end   scene  overlay  shows\n";
    DmdEventInfo info{};
    for (int i = 0; exports.describeEvent(i, &info) != 0; ++i) {
        info.what[sizeof info.what - 1] = '\0';
        char row[320];
        std::snprintf(row, sizeof row, "%5d %10s %10s  0x%04x   0x%04x  %s\n", i + 1,
                      seconds(info.startMs).c_str(), seconds(info.endMs).c_str(),
                      static_cast<unsigned>(info.sceneFlags),
                      static_cast<unsigned>(info.overlayFlags), info.what);
        table += row;
    }
    UnloadModule();
    std::fputs(table.c_str(), out);
    return std::fflush(out) == 0 ? 0 : 1;
}
