// The launcher's command line: leading options of its own, then the module
// name, which is the whole remaining text converted to upper case. Besides
// the live show it selects the two headless modes, capture and shot.
#pragma once

#include <string>
#include <vector>

constexpr const char* kDefaultModuleName = "sorvanel.dmd";

enum class RunMode {
    Show,     // the settings dialog or a direct start, in a window
    Capture,  // --capture: the show to a video file, offscreen
    Shot,     // --shot: one frame to a PNG file, offscreen
    List,     // --list: the module's script as a table on stdout
};

// A song time the command line cannot express: no --to means the show's end.
constexpr int kUntilShowEnd = -1;

// --window desktop: the screen's own size (0 by 0), full screen only.
constexpr int kDesktopWindowSize = 0;
constexpr int kMinWindowWidth = 320;
constexpr int kMinWindowHeight = 240;
constexpr int kMaxWindowSide = 8192;

struct LaunchOptions {
    std::string moduleName = kDefaultModuleName;
    int width = 640;  // kDesktopWindowSize for --window desktop
    int height = 480;
    bool fullScreen = false;
    bool soundEnabled = true;
    bool noDialog = false;
    bool showHelp = false;
    bool showVersion = false;
    int startMs = 0;          // --start: the live show begins at this song time
    bool controls = false;    // --controls: pause and seek keys
    bool loop = false;        // --loop: start over at the end
    bool vsync = false;       // --vsync: swaps wait for the display
    bool widescreen = false;  // --widescreen: open the view out instead of pillarboxing

    RunMode mode = RunMode::Show;
    std::string outputPath;  // the video, raw or PNG file
    int framesPerSecond = 60;
    int outputWidth = 1280;
    int outputHeight = 720;
    int fromMs = 0;            // --from, capture only
    int toMs = kUntilShowEnd;  // --to, capture only
    int shotMs = 0;            // --shot's time
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

// Seconds as typed ("12", "14.3") to whole milliseconds, rounded to nearest.
// False for text that is not a finite number from 0 to 2,000,000.
bool parseSongSeconds(const std::string& text, int& ms);

const char* usageText();

// "talvenor (Sorvanel) VERSION", the first line --version prints.
std::string versionText();
