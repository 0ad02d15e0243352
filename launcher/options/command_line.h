// The launcher's command line: leading options of its own (GNU style, read by
// getopt_long from the option table), then the module name, which is the
// whole remaining text converted to upper case. Besides the live show it
// selects the headless modes, capture and shot, and the script listing.
#pragma once

#include <string>
#include <vector>

#include "host/show_request.h"
#include "options/option_values.h"

constexpr const char* kDefaultModuleName = "sorvanel.dmd";

enum class RunMode {
    Show,     // the settings dialog or a direct start, in a window
    Capture,  // --capture: the show to a video file, offscreen
    Shot,     // --shot: one frame to a PNG file, offscreen
    List,     // --list: the module's script as a table on stdout
};

// A song time the command line cannot express: no --to means the show's end.
constexpr int kUntilShowEnd = -1;

// --window desktop is the screen's own size (kDesktopSize by kDesktopSize),
// full screen only.
constexpr int kMinWindowWidth = 320;
constexpr int kMinWindowHeight = 240;
constexpr int kMaxWindowSide = 8192;

// What a capture or shot is asked for beyond the show's module, picture
// shape and samples a pixel (those are the ShowRequest's).
struct CaptureRequest {
    std::string outputPath;  // the video, raw or PNG file
    int framesPerSecond = 60;
    int width = 1280;  // the picture's size: --size, or --window
    int height = 720;
    int fromMs = 0;            // --from, capture only
    int toMs = kUntilShowEnd;  // --to, capture only
    int shotMs = 0;            // --shot's time
    int supersample = 1;       // --supersample: drawn this many times wider and higher
};

// The live show no option changed: the default module, a 640x480 window.
inline ShowRequest defaultShowRequest() {
    ShowRequest request;
    request.moduleName = kDefaultModuleName;
    return request;
}

struct LaunchOptions {
    RunMode mode = RunMode::Show;
    // The live show (--window, --fullscreen, --nosound, --start, --widescreen,
    // --controls, --loop, --vsync, --msaa, --audio-offset) and the module
    // every mode plays; a capture or shot takes its module, shape and msaa.
    ShowRequest show = defaultShowRequest();
    CaptureRequest capture;
    bool noDialog = false;
    bool showHelp = false;
    bool showVersion = false;
    bool windowGiven = false;  // --window WxH was typed
    bool sizeGiven = false;    // --size was typed
};

struct ParsedCommandLine {
    LaunchOptions options;
    std::string error;  // non-empty: the command line cannot be used
};

// args are the arguments after the program name.
ParsedCommandLine parseCommandLine(const std::vector<std::string>& args);

// The module name from the text after the options: upper-cased (ASCII letters
// only, other bytes kept), or the default when it is empty.
std::string moduleNameFromText(const std::string& text);

// The usage --help prints, made from the option table.
std::string usageText();

// "talvenor (Sorvanel) VERSION", the first line --version prints.
std::string versionText();
