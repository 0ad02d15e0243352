// Implements the launcher's run: the command line, then one of the modes.
#include "launcher_run.h"

#include <cstdio>
#include <string>
#include <vector>

#include "capture/capture_mode.h"
#include "capture/script_listing.h"
#include "dialog/launcher_app.h"
#include "host/show_host.h"
#include "live/live_options.h"
#include "options/command_line.h"

namespace {

std::string secondsText(int ms) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3f s", ms / 1000.0);
    return text;
}

// A time at or after the show's end has nothing to show: refused like any
// other value out of range, before a window opens or a module starts. The
// module tells its end once loaded; one that cannot be loaded is left to
// the run itself to report.
std::string checkAgainstShowEnd(const LaunchOptions& o) {
    const char* option = nullptr;
    int ms = 0;
    const char* tail = "";
    if (o.mode == RunMode::Show && o.startMs > 0) {
        option = "--start";
        ms = o.startMs;
    } else if (o.mode == RunMode::Shot) {
        option = "--shot";
        ms = static_cast<int>(
            dmdGridMs(dmdFirstGridFrameFrom(o.shotMs, o.framesPerSecond), o.framesPerSecond));
        tail = ": there is no frame to take";
    } else if (o.mode == RunMode::Capture && o.fromMs > 0) {
        option = "--from";
        ms = static_cast<int>(
            dmdGridMs(dmdFirstGridFrameFrom(o.fromMs, o.framesPerSecond), o.framesPerSecond));
        tail = ": there is nothing to capture";
    }
    if (option == nullptr) return {};
    ShowHost host;
    char message[kMessageBufferSize] = {};
    if (!host.LoadModule(o.moduleName, message) || host.exports().showEndMs == nullptr) return {};
    const int endMs = host.exports().showEndMs();
    if (endMs < 0 || ms < endMs) return {};
    return std::string(option) + " " + secondsText(ms) + ": the show is over at " +
           secondsText(endMs) + tail;
}

}  // namespace

int runLauncher(int argc, char** argv) {
    const ParsedCommandLine parsed =
        parseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    const LaunchOptions& o = parsed.options;
    if (!parsed.error.empty()) {
        std::fprintf(stderr, "talvenor: %s\n\n%s", parsed.error.c_str(), usageText().c_str());
        return 2;
    }
    if (o.showVersion) {
        std::printf("%s\n", versionText().c_str());
        return 0;
    }
    if (o.showHelp) {
        std::fputs(usageText().c_str(), stdout);
        return 0;
    }
    if (const std::string late = checkAgainstShowEnd(o); !late.empty()) {
        std::fprintf(stderr, "talvenor: %s\n", late.c_str());
        return 2;
    }
    switch (o.mode) {
        case RunMode::Capture:
            return RunCapture(o);
        case RunMode::Shot:
            return RunShot(o);
        case RunMode::List:
            return RunScriptListing(o.moduleName, stdout);
        case RunMode::Show:
            break;
    }
    const PictureShape shape = o.widescreen ? PictureShape::Widescreen : PictureShape::Composed;
    setLiveOptions({shape, o.startMs, o.audioOffsetMs, {o.controls, o.loop, o.vsync}});
    LauncherApp app(o);
    return app.initInstance();
}
