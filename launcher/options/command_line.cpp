// Implements the command line with getopt_long over the option table: the
// options read, the live show's and the headless modes' kept apart, the
// module name derived from what follows them, and the show request they make.
#include "options/command_line.h"

#include <getopt.h>

#include <array>
#include <cstring>

#include "options/option_table.h"

namespace {

// getopt_long's value for table entry i; nothing else returns these.
constexpr int kFirstOptionValue = 0x1000;

// The first option typed of each scope, as "--name", so that a refusal can
// name it.
struct Seen {
    std::array<std::string, static_cast<int>(OptionScope::Capture) + 1> first;
    const std::string& operator[](OptionScope scope) const {
        return first[static_cast<int>(scope)];
    }
    void note(OptionScope scope, const char* name) {
        std::string& slot = first[static_cast<int>(scope)];
        if (slot.empty()) slot = std::string("--") + name;
    }
};

const char* modeOption(RunMode mode) {
    switch (mode) {
        case RunMode::Capture:
            return "--capture";
        case RunMode::Shot:
            return "--shot";
        case RunMode::List:
            return "--list";
        case RunMode::Show:
            break;
    }
    return "";
}

std::string checkLiveShow(const LaunchOptions& o, const Seen& seen) {
    if (o.show.width == kDesktopSize && !o.show.fullScreen)
        return "--window desktop needs --fullscreen";
    if (!seen[OptionScope::Output].empty()) {
        return seen[OptionScope::Output] + " needs --capture or --shot";
    }
    if (!seen[OptionScope::Capture].empty()) return seen[OptionScope::Capture] + " needs --capture";
    return {};
}

// A capture's or shot's picture size may come from --window as well as
// --size: one of them.
std::string takeWindowAsPictureSize(LaunchOptions& o) {
    if (!o.windowGiven && o.show.width != kDesktopSize) return {};
    if (o.show.width == kDesktopSize) {
        return std::string("--window desktop is for the live show, not ") + modeOption(o.mode);
    }
    if (o.sizeGiven) return "--window and --size both give the picture's size: give one of them";
    o.capture.width = o.show.width;
    o.capture.height = o.show.height;
    return {};
}

std::string checkHeadless(LaunchOptions& o, const Seen& seen) {
    const char* mode = modeOption(o.mode);
    if (o.mode == RunMode::List) {
        for (OptionScope scope :
             {OptionScope::Live, OptionScope::Window, OptionScope::Output, OptionScope::Capture}) {
            if (!seen[scope].empty()) return seen[scope] + " does not go with --list";
        }
        return {};
    }
    const std::string& live = seen[OptionScope::Live];
    if (!live.empty()) {
        return live + " is for the live show, not " + mode +
               (live == "--start" ? " (use --from)" : "");
    }
    if (std::string error = takeWindowAsPictureSize(o); !error.empty()) return error;
    if (o.mode == RunMode::Shot) {
        if (!seen[OptionScope::Capture].empty()) {
            return seen[OptionScope::Capture] + " needs --capture";
        }
        if (!o.capture.outputPath.ends_with(".png")) return "--shot writes a .png file";
        return {};
    }
    // Raw frames, or the song alone: no encoder, any size.
    const bool raw =
        o.capture.outputPath.ends_with(".rgba") || o.capture.outputPath.ends_with(".s16");
    if (!raw && !o.capture.outputPath.ends_with(".mp4") &&
        !o.capture.outputPath.ends_with(".mkv") && !o.capture.outputPath.ends_with(".mov")) {
        return "--capture writes .mp4, .mkv, .mov, raw .rgba or song-only .s16 files";
    }
    // H.264 in 4:2:0 halves the chroma both ways.
    if (!raw && (o.capture.width % 2 != 0 || o.capture.height % 2 != 0)) {
        return "--size must be even both ways for a video";
    }
    if (o.capture.toMs != kUntilShowEnd && o.capture.toMs <= o.capture.fromMs)
        return "--to must lie after --from";
    return {};
}

// What getopt_long refused, in words: it says nothing itself (opterr = 0).
std::string refusal(int result, const char* typed, const std::vector<option>& longOptions) {
    const std::string text = typed != nullptr ? typed : "";
    if (result == ':') {
        for (const option& o : longOptions) {
            if (o.name != nullptr && o.val == optopt)
                return std::string("--") + o.name + " needs a value";
        }
        return text + " needs a value";
    }
    const std::size_t equals = text.find('=');
    if (equals != std::string::npos) {
        const std::string name = text.substr(0, equals);
        for (const OptionSpec& spec : optionTable()) {
            if (name == std::string("--") + spec.name && spec.argument == nullptr) {
                return name + " takes no value";
            }
        }
    }
    return "unknown or ambiguous option " + text;
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
    const std::span<const OptionSpec> table = optionTable();
    std::vector<option> longOptions;
    for (std::size_t i = 0; i < table.size(); ++i) {
        const int has = table[i].argument != nullptr ? required_argument : no_argument;
        longOptions.push_back(
            {table[i].name, has, nullptr, kFirstOptionValue + static_cast<int>(i)});
    }
    longOptions.push_back({nullptr, 0, nullptr, 0});

    // getopt_long wants argv as the program had it: the program name first.
    std::vector<std::string> copies;
    copies.reserve(args.size() + 1);
    copies.push_back("talvenor");
    copies.insert(copies.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : copies) argv.push_back(a.data());
    argv.push_back(nullptr);
    const int argc = static_cast<int>(copies.size());

    Seen seen;
    // '+': the first argument that is no option starts the module name;
    // ':': a missing value is reported, not printed.
    optind = 0;  // a fresh scan, also when called again
    opterr = 0;
    int index = 1;
    OptionReading reading{o, parsed.error, argc, argv.data(), index};
    for (;;) {
        const int result = getopt_long(argc, argv.data(), "+:", longOptions.data(), nullptr);
        if (result == -1) break;
        if (result < kFirstOptionValue) {
            parsed.error = refusal(result, argv[optind - 1], longOptions);
            return parsed;
        }
        const OptionSpec& spec = table[static_cast<std::size_t>(result - kFirstOptionValue)];
        seen.note(spec.scope, spec.name);
        if (spec.action.flag != nullptr) {
            spec.action.flag(o) = spec.action.set;
            continue;
        }
        index = optind;
        if (!spec.action.apply(reading, optarg)) return parsed;
        optind = index;  // --shot takes its file name from after its time
    }

    parsed.error = o.mode == RunMode::Show ? checkLiveShow(o, seen) : checkHeadless(o, seen);
    if (!parsed.error.empty()) return parsed;
    // The module name is the rest of the line, its words joined by single spaces.
    std::string text;
    for (int i = optind; i < argc; ++i) {
        if (!text.empty()) text += ' ';
        text += argv[i];
    }
    o.show.moduleName = moduleNameFromText(text);
    return parsed;
}

std::string versionText() {
    return std::string("talvenor (Sorvanel) ") + SORVANEL_VERSION;
}

std::string usageText() {
    std::string text =
        "usage: talvenor [options] [MODULE]\n"
        "       talvenor --list [MODULE]\n"
        "       talvenor --capture FILE [--fps N] [--size WxH] [--from S] [--to S]\n"
        "                [MODULE]\n"
        "       talvenor --shot SECONDS FILE.png [--fps N] [--size WxH] [MODULE]\n"
        "Plays a demo module (default sorvanel.dmd) in an OpenGL window, or renders it\n"
        "offscreen to a video or a picture.\n"
        "MODULE is the rest of the command line, upper-cased; a bare name is looked up\n"
        "beside talvenor, then in the installed module folder, ignoring letter case\n"
        "(one in the current directory is played only as ./NAME). Options also take\n"
        "their value as --name=value.\n"
        "\n"
        "options:\n";
    constexpr std::size_t kHelpColumn = 18;
    for (const OptionSpec& spec : optionTable()) {
        std::string head = std::string("  --") + spec.name;
        if (spec.argument != nullptr) head += std::string(" ") + spec.argument;
        head += ' ';
        // One line after another, each indented to the help column.
        const char* line = spec.help;
        bool first = true;
        while (*line != '\0') {
            const char* end = std::strchr(line, '\n');
            const std::size_t length =
                end != nullptr ? static_cast<std::size_t>(end - line) : std::strlen(line);
            std::string lead = first ? head : std::string();
            if (lead.size() < kHelpColumn) lead.resize(kHelpColumn, ' ');
            if (first && head.size() > kHelpColumn)
                lead = head + "\n" + std::string(kHelpColumn, ' ');
            text += lead + std::string(line, length) + "\n";
            first = false;
            line += length + (end != nullptr ? 1 : 0);
        }
    }
    text +=
        "\n"
        "Frames lie on a grid: frame k shows song time k/N seconds (whole milliseconds,\n"
        "rounded down); --from, --to and --shot times go to the first frame at or\n"
        "after them.\n";
    return text;
}
