// talvenor: reads its options and the module name, then runs the show.
#include <cstdio>
#include <string>
#include <vector>

#include "command_line.h"
#include "module_loader.h"
#include "presentation.h"

int main(int argc, char** argv) {
    const ParsedCommandLine parsed =
        parseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed.error.empty()) {
        std::fprintf(stderr, "talvenor: %s\n\n%s", parsed.error.c_str(), usageText());
        return 2;
    }
    const LaunchOptions& o = parsed.options;
    if (o.showHelp) {
        std::fputs(usageText(), stdout);
        return 0;
    }
    char messageBuffer[kMessageBufferSize] = {};
    const int ran = RunPresentation(o.moduleName.c_str(), o.width, o.height, o.fullScreen ? 1 : 0,
                                    o.soundEnabled ? 1 : 0, messageBuffer);
    if (ran == 0) {
        std::fprintf(stderr, "talvenor: %s\n", messageBuffer);
        if (!lastModuleLoadDetail().empty()) {
            std::fprintf(stderr, "talvenor: %s\n", lastModuleLoadDetail().c_str());
        }
        return 1;
    }
    return 0;
}
