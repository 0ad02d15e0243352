// Parses the launcher's options and derives the module name; checks that the
// options of the live show and of the headless modes are not mixed.
#include "command_line.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr double kMaxSongSeconds = 2000000.0;  // keeps milliseconds in an int
constexpr int kMaxFramesPerSecond = 240;
constexpr int kMinOutputSide = 16;
constexpr int kMaxOutputSide = 8192;

bool parseSize(const std::string& text, int& width, int& height) {
    int w = 0;
    int h = 0;
    char tail = 0;
    if (std::sscanf(text.c_str(), "%dx%d%c", &w, &h, &tail) != 2) return false;
    width = w;
    height = h;
    return true;
}

bool parseWholeNumber(const std::string& text, int& value) {
    if (text.empty() || text.size() > 9) return false;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
    }
    value = std::atoi(text.c_str());
    return true;
}

bool endsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// What was typed, so that mixing modes can name the option at fault.
struct Seen {
    std::string liveOnly;     // --window, --fullscreen, --nosound, --no-dialog, --start, ...
    std::string outputOnly;   // --fps, --size
    std::string captureOnly;  // --from, --to
    bool from = false;
    bool to = false;
};

std::string checkCombination(const LaunchOptions& o, const Seen& seen) {
    if (o.width == kDesktopWindowSize && !o.fullScreen && o.mode == RunMode::Show) {
        return "--window desktop needs --fullscreen";
    }
    if (o.mode == RunMode::Show) {
        if (!seen.outputOnly.empty()) return seen.outputOnly + " needs --capture or --shot";
        if (!seen.captureOnly.empty()) return seen.captureOnly + " needs --capture";
        return {};
    }
    const char* mode = o.mode == RunMode::Capture ? "--capture"
                       : o.mode == RunMode::Shot  ? "--shot"
                                                  : "--list";
    if (o.mode == RunMode::List) {
        const std::string other = !seen.liveOnly.empty()     ? seen.liveOnly
                                  : !seen.outputOnly.empty() ? seen.outputOnly
                                                             : seen.captureOnly;
        return other.empty() ? std::string{} : other + " does not go with --list";
    }
    if (!seen.liveOnly.empty()) {
        return seen.liveOnly + " is for the live show, not " + mode +
               (seen.liveOnly == "--start" ? " (use --from)" : "");
    }
    if (o.mode == RunMode::Shot && !seen.captureOnly.empty()) {
        return seen.captureOnly + " needs --capture";
    }
    if (o.mode == RunMode::Capture) {
        // Raw frames, or the song alone: no encoder, any size.
        const bool raw = endsWith(o.outputPath, ".rgba") || endsWith(o.outputPath, ".s16");
        if (!raw && !endsWith(o.outputPath, ".mp4") && !endsWith(o.outputPath, ".mkv") &&
            !endsWith(o.outputPath, ".mov")) {
            return "--capture writes .mp4, .mkv, .mov, raw .rgba or song-only .s16 files";
        }
        // H.264 in 4:2:0 halves the chroma both ways.
        if (!raw && (o.outputWidth % 2 != 0 || o.outputHeight % 2 != 0)) {
            return "--size must be even both ways for a video";
        }
        if (o.toMs != kUntilShowEnd && o.toMs <= o.fromMs) return "--to must lie after --from";
    }
    if (o.mode == RunMode::Shot && !endsWith(o.outputPath, ".png")) {
        return "--shot writes a .png file";
    }
    return {};
}

}  // namespace

bool parseSongSeconds(const std::string& text, int& ms) {
    if (text.empty() || text.size() > 32) return false;
    for (char c : text) {
        if ((c < '0' || c > '9') && c != '.') return false;
    }
    char* end = nullptr;
    const double seconds = std::strtod(text.c_str(), &end);
    if (end != text.c_str() + text.size() || !std::isfinite(seconds)) return false;
    if (seconds < 0.0 || seconds > kMaxSongSeconds) return false;
    ms = static_cast<int>(std::llround(seconds * 1000.0));
    return true;
}

std::string moduleNameFromText(const std::string& text) {
    if (text.empty()) return kDefaultModuleName;
    std::string name = text;
    for (char& c : name) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return name;
}

ParsedCommandLine parseCommandLine(const std::vector<std::string>& args) {
    ParsedCommandLine parsed;
    LaunchOptions& o = parsed.options;
    Seen seen;
    std::size_t i = 0;
    // The next argument of option a, or false with the error set.
    auto value = [&](const std::string& a, const char* what, std::string& out) {
        if (i + 1 >= args.size()) {
            parsed.error = a + " needs " + what;
            return false;
        }
        out = args[++i];
        return true;
    };
    auto seconds = [&](const std::string& a, int& ms) {
        std::string text;
        if (!value(a, "a time in seconds", text)) return false;
        if (!parseSongSeconds(text, ms)) {
            parsed.error = a + " takes seconds of song time, such as 14.3";
            return false;
        }
        return true;
    };
    auto setMode = [&](RunMode mode) {
        if (o.mode != RunMode::Show) {
            parsed.error = "--capture, --shot and --list cannot be combined";
            return false;
        }
        o.mode = mode;
        return true;
    };
    for (; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--") {
            ++i;
            break;
        }
        if (a.rfind("--", 0) != 0) break;
        if (a == "--window") {
            seen.liveOnly = a;
            std::string text;
            if (!value(a, "a resolution such as 640x480", text)) return parsed;
            int w = 0;
            int h = 0;
            if (text == "desktop") {
                w = h = kDesktopWindowSize;
            } else if (!parseSize(text, w, h) || w < kMinWindowWidth || h < kMinWindowHeight ||
                       w > kMaxWindowSide || h > kMaxWindowSide) {
                parsed.error =
                    "--window takes WxH from 320x240 to 8192x8192 (such as 640x480), or "
                    "desktop";
                return parsed;
            }
            o.width = w;
            o.height = h;
        } else if (a == "--widescreen") {
            o.widescreen = true;
        } else if (a == "--fullscreen") {
            seen.liveOnly = a;
            o.fullScreen = true;
        } else if (a == "--nosound") {
            seen.liveOnly = a;
            o.soundEnabled = false;
        } else if (a == "--no-dialog") {
            seen.liveOnly = a;
            o.noDialog = true;
        } else if (a == "--start") {
            seen.liveOnly = a;
            if (!seconds(a, o.startMs)) return parsed;
        } else if (a == "--controls" || a == "--loop" || a == "--vsync") {
            seen.liveOnly = a;
            (a == "--controls" ? o.controls : a == "--loop" ? o.loop : o.vsync) = true;
        } else if (a == "--list") {
            if (!setMode(RunMode::List)) return parsed;
        } else if (a == "--capture") {
            if (!setMode(RunMode::Capture) || !value(a, "a file name", o.outputPath)) {
                return parsed;
            }
        } else if (a == "--shot") {
            if (!setMode(RunMode::Shot) || !seconds(a, o.shotMs) ||
                !value(a, "a time and a file name", o.outputPath)) {
                return parsed;
            }
        } else if (a == "--fps") {
            seen.outputOnly = a;
            std::string text;
            if (!value(a, "frames per second", text)) return parsed;
            if (!parseWholeNumber(text, o.framesPerSecond) || o.framesPerSecond < 1 ||
                o.framesPerSecond > kMaxFramesPerSecond) {
                parsed.error = "--fps takes a whole number from 1 to 240";
                return parsed;
            }
        } else if (a == "--size") {
            seen.outputOnly = a;
            std::string text;
            if (!value(a, "a size such as 1280x720", text)) return parsed;
            int w = 0;
            int h = 0;
            if (!parseSize(text, w, h) || w < kMinOutputSide || h < kMinOutputSide ||
                w > kMaxOutputSide || h > kMaxOutputSide) {
                parsed.error = "--size takes WxH, each from 16 to 8192, such as 1280x720";
                return parsed;
            }
            o.outputWidth = w;
            o.outputHeight = h;
        } else if (a == "--from") {
            seen.captureOnly = a;
            if (!seconds(a, o.fromMs)) return parsed;
        } else if (a == "--to") {
            seen.captureOnly = a;
            if (!seconds(a, o.toMs)) return parsed;
        } else if (a == "--help") {
            o.showHelp = true;
        } else if (a == "--version") {
            o.showVersion = true;
        } else {
            parsed.error = "unknown option " + a;
            return parsed;
        }
    }
    parsed.error = checkCombination(o, seen);
    if (!parsed.error.empty()) return parsed;
    // Like the text a Windows program receives: the rest of the line, as typed.
    std::string text;
    for (; i < args.size(); ++i) {
        if (!text.empty()) text += ' ';
        text += args[i];
    }
    o.moduleName = moduleNameFromText(text);
    return parsed;
}

std::string versionText() {
    return std::string("talvenor (Sorvanel) ") + SORVANEL_VERSION;
}

const char* usageText() {
    return "usage: talvenor [options] [MODULE]\n"
           "       talvenor --list [MODULE]\n"
           "       talvenor --capture FILE [--fps N] [--size WxH] [--from S] [--to S] [MODULE]\n"
           "       talvenor --shot SECONDS FILE.png [--fps N] [--size WxH] [MODULE]\n"
           "Plays a demo module (default sorvanel.dmd) in an OpenGL window, or renders it\n"
           "offscreen to a video or a picture.\n"
           "MODULE is the rest of the command line, upper-cased; it is looked up in the\n"
           "current directory, then beside talvenor, then in the installed module\n"
           "folder, ignoring letter case.\n"
           "\n"
           "options:\n"
           "  --window WxH    resolution: 320x240, 400x300, 512x384, 640x480 (default),\n"
           "                  800x600, 1024x768 (the dialog's list) or any other from\n"
           "                  320x240 to 8192x8192; with --fullscreen also 'desktop': the\n"
           "                  screen's own mode, no mode switch\n"
           "  --fullscreen    full screen at that resolution\n"
           "  --widescreen    open the view out to a picture wider than 4:3 (live, capture\n"
           "                  and shot); without it the 4:3 picture is pillar- or\n"
           "                  letterboxed in black\n"
           "  --nosound       play without sound (the music still drives the show)\n"
           "  --no-dialog     start the show at once, without the settings dialog\n"
           "  --start S       begin the show at song time S seconds\n"
           "  --controls      keys while the show runs: Space pauses, Left/Right seek 5 s,\n"
           "                  Page Up/Down 60 s, Home to 0, N/P next/previous event\n"
           "  --loop          start the show again from 0 when it ends, until Esc\n"
           "  --vsync         buffer swaps wait for the display\n"
           "  --list          print the module's script as a table and exit\n"
           "  --capture FILE  render the show to FILE (.mp4, .mkv, .mov: H.264 with the\n"
           "                  song; .rgba: raw frames, and the song as FILE.s16; .s16:\n"
           "                  the song alone, no frames drawn), no display\n"
           "  --shot S FILE   render the frame at song time S seconds to FILE (.png)\n"
           "  --fps N         frame rate of a capture, and of the frames a shot follows\n"
           "                  (default 60)\n"
           "  --size WxH      picture size of a capture or shot (default 1280x720)\n"
           "  --from S        capture from song time S seconds (default 0)\n"
           "  --to S          capture up to song time S seconds (default: the show's end)\n"
           "  --help          this text\n"
           "  --version       the program's version\n"
           "\n"
           "Frames lie on a grid: frame k shows song time k/N seconds (whole milliseconds,\n"
           "rounded down); --from, --to and --shot times go to the first frame at or\n"
           "after them.\n";
}
