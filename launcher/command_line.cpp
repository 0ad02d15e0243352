// Parses the launcher's options and derives the module name.
#include "command_line.h"

#include <cstdio>

#include "resolutions.h"

namespace {

bool parseSize(const std::string& text, int& width, int& height) {
    int w = 0;
    int h = 0;
    char tail = 0;
    if (std::sscanf(text.c_str(), "%dx%d%c", &w, &h, &tail) != 2) return false;
    width = w;
    height = h;
    return true;
}

}  // namespace

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
    std::size_t i = 0;
    for (; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--") {
            ++i;
            break;
        }
        if (a.rfind("--", 0) != 0) break;
        if (a == "--window") {
            if (i + 1 >= args.size()) {
                parsed.error = "--window needs a resolution such as 640x480";
                return parsed;
            }
            int w = 0;
            int h = 0;
            if (!parseSize(args[++i], w, h) || resolutionIndexOf(w, h) < 0) {
                parsed.error =
                    "--window takes one of 320x240, 400x300, 512x384, 640x480, "
                    "800x600, 1024x768";
                return parsed;
            }
            o.width = w;
            o.height = h;
        } else if (a == "--fullscreen") {
            o.fullScreen = true;
        } else if (a == "--nosound") {
            o.soundEnabled = false;
        } else if (a == "--no-dialog") {
            o.noDialog = true;
        } else if (a == "--help") {
            o.showHelp = true;
        } else {
            parsed.error = "unknown option " + a;
            return parsed;
        }
    }
    // Like the text a Windows program receives: the rest of the line, as typed.
    std::string text;
    for (; i < args.size(); ++i) {
        if (!text.empty()) text += ' ';
        text += args[i];
    }
    o.moduleName = moduleNameFromText(text);
    return parsed;
}

const char* usageText() {
    return "usage: talvenor [options] [MODULE]\n"
           "Plays a demo module (default sorvanel.dmd) in an OpenGL window.\n"
           "MODULE is the rest of the command line, upper-cased; it is looked up in the\n"
           "current directory, then beside talvenor, ignoring letter case.\n"
           "\n"
           "options:\n"
           "  --window WxH    resolution: 320x240, 400x300, 512x384, 640x480 (default),\n"
           "                  800x600 or 1024x768\n"
           "  --fullscreen    full screen at that resolution\n"
           "  --nosound       play without sound (the music still drives the show)\n"
           "  --no-dialog     start the show at once, without the settings dialog\n"
           "  --help          this text\n";
}
