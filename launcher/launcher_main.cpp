// talvenor: reads its options and the module name, then hands over to the
// application, which shows the settings dialog (or starts the show at once),
// or to the headless capture and shot modes.
#include <cstdio>
#include <string>
#include <vector>

#include "capture/capture_mode.h"
#include "command_line.h"
#include "dialog/launcher_app.h"
#include "presentation.h"
#include "script_listing.h"
#include "show_controls.h"

int main(int argc, char** argv) {
    const ParsedCommandLine parsed =
        parseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed.error.empty()) {
        std::fprintf(stderr, "talvenor: %s\n\n%s", parsed.error.c_str(), usageText());
        return 2;
    }
    if (parsed.options.showVersion) {
        std::printf("%s\n", versionText().c_str());
        return 0;
    }
    if (parsed.options.showHelp) {
        std::fputs(usageText(), stdout);
        return 0;
    }
    requestPictureShape(parsed.options.widescreen ? PictureShape::Widescreen
                                                  : PictureShape::Composed);
    switch (parsed.options.mode) {
        case RunMode::Capture:
            return RunCapture(parsed.options);
        case RunMode::Shot:
            return RunShot(parsed.options);
        case RunMode::List:
            return RunScriptListing(parsed.options.moduleName, stdout);
        case RunMode::Show:
            break;
    }
    setViewingOptions({parsed.options.controls, parsed.options.loop, parsed.options.vsync});
    LauncherApp app(parsed.options);
    return app.initInstance();
}
