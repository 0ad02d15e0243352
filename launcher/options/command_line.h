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

struct LaunchOptions {
    std::string moduleName = kDefaultModuleName;
    int width = 640;  // kDesktopSize for --window desktop
    int height = 480;
    bool fullScreen = false;
    bool soundEnabled = true;
    bool noDialog = false;
    bool showHelp = false;
    bool showVersion = false;
    int startMs = 0;           // --start: the live show begins at this song time
    bool controls = false;     // --controls: pause and seek keys
    bool loop = false;         // --loop: start over at the end
    bool vsync = false;        // --vsync: swaps wait for the display
    bool widescreen = false;   // --widescreen: open the view out instead of pillarboxing
    bool windowGiven = false;  // --window WxH was typed
    int audioOffsetMs = 0;     // --audio-offset: the picture waits this long for the sound
    int msaa = 0;              // --msaa: samples a pixel (0: not multisampled)

    RunMode mode = RunMode::Show;
    std::string outputPath;  // the video, raw or PNG file
    int framesPerSecond = 60;
    int outputWidth = 1280;
    int outputHeight = 720;
    bool sizeGiven = false;    // --size was typed
    int fromMs = 0;            // --from, capture only
    int toMs = kUntilShowEnd;  // --to, capture only
    int shotMs = 0;            // --shot's time
    int supersample = 1;       // --supersample: drawn this many times wider and higher
};

struct ParsedCommandLine {
    LaunchOptions options;
    std::string error;  // non-empty: the command line cannot be used
};

// args are the arguments after the program name.
ParsedCommandLine parseCommandLine(const std::vector<std::string>& args);

// The live show the options ask for: the module, --window, --fullscreen,
// --nosound, --start, --widescreen, --controls, --loop, --vsync, --msaa and
// --audio-offset.
ShowRequest showRequestFor(const LaunchOptions& options);

// The module name from the text after the options: upper-cased (ASCII letters
// only, other bytes kept), or the default when it is empty.
std::string moduleNameFromText(const std::string& text);

// The usage --help prints, made from the option table.
std::string usageText();

// "talvenor (Sorvanel) VERSION", the first line --version prints.
std::string versionText();
