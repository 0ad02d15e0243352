// Implements the table of the launcher's options. Every number an option
// takes is read by option_values with its range, from here and nowhere else.
#include "options/option_table.h"

#include "options/option_values.h"

namespace {

constexpr int kMinOutputSide = 16;
constexpr int kMaxOutputSide = 8192;
constexpr long kMaxFramesPerSecond = 240;

bool refuse(OptionReading& r, const char* text) {
    r.error = text;
    return false;
}

bool setMode(OptionReading& r, RunMode mode) {
    if (r.options.mode != RunMode::Show) {
        return refuse(r, "--capture, --shot and --list cannot be combined");
    }
    r.options.mode = mode;
    return true;
}

bool seconds(OptionReading& r, const char* option, const char* value, int& ms) {
    if (parseSongSeconds(value, ms)) return true;
    r.error = std::string(option) + " takes seconds of song time from 0 to 2000000, such as 14.3";
    return false;
}

bool window(OptionReading& r, const char* value) {
    LaunchOptions& o = r.options;
    if (std::string(value) == "desktop") {
        o.show.width = o.show.height = kDesktopSize;
        return true;
    }
    if (!parseSize(value, kMinWindowWidth, kMinWindowHeight, kMaxWindowSide, o.show.width,
                   o.show.height)) {
        return refuse(r,
                      "--window takes WxH from 320x240 to 8192x8192 (such as 640x480), or "
                      "desktop");
    }
    o.windowGiven = true;
    return true;
}

bool size(OptionReading& r, const char* value) {
    if (!parseSize(value, kMinOutputSide, kMinOutputSide, kMaxOutputSide, r.options.capture.width,
                   r.options.capture.height)) {
        return refuse(r, "--size takes WxH, each from 16 to 8192, such as 1280x720");
    }
    r.options.sizeGiven = true;
    return true;
}

bool fps(OptionReading& r, const char* value) {
    long n = 0;
    if (!parseWholeNumber(value, 1, kMaxFramesPerSecond, n)) {
        return refuse(r, "--fps takes a whole number from 1 to 240");
    }
    r.options.capture.framesPerSecond = static_cast<int>(n);
    return true;
}

bool audioOffset(OptionReading& r, const char* value) {
    long ms = 0;
    if (!parseSignedNumber(value, -2000, 2000, ms)) {
        return refuse(r, "--audio-offset takes whole milliseconds from -2000 to 2000, such as 150");
    }
    r.options.show.audioOffsetMs = static_cast<int>(ms);
    return true;
}

bool msaa(OptionReading& r, const char* value) {
    long n = 0;
    if (!parseWholeNumber(value, 2, 8, n) || (n != 2 && n != 4 && n != 8)) {
        return refuse(r, "--msaa takes 2, 4 or 8 samples a pixel");
    }
    r.options.show.msaa = static_cast<int>(n);
    return true;
}

bool supersample(OptionReading& r, const char* value) {
    long n = 0;
    if (!parseWholeNumber(value, 2, 4, n)) {
        return refuse(r, "--supersample takes a whole number from 2 to 4");
    }
    r.options.capture.supersample = static_cast<int>(n);
    return true;
}

bool shot(OptionReading& r, const char* value) {
    if (!setMode(r, RunMode::Shot) || !seconds(r, "--shot", value, r.options.capture.shotMs))
        return false;
    if (r.nextIndex >= r.argc) return refuse(r, "--shot needs a time and a file name");
    r.options.capture.outputPath = r.argv[r.nextIndex++];
    return true;
}

// clang-format off
constexpr OptionSpec kOptions[] = {
    {"window", "WxH",
     "resolution: 320x240, 400x300, 512x384, 640x480 (default),\n"
     "800x600, 1024x768 (the dialog's list) or any other from\n"
     "320x240 to 8192x8192; with --fullscreen also 'desktop': the\n"
     "screen's own mode, no mode switch; with --capture or --shot\n"
     "the picture's size, as --size",
     "The resolution: 320x240, 400x300, 512x384, 640x480 (the default), 800x600 or\n"
     "1024x768 (the dialog's list), or any other from 320x240 to 8192x8192.\n"
     "With\n.BR \\-\\-fullscreen ,\nalso\n.BR desktop :\n"
     "the screen's own mode, without a mode switch.\n"
     "With\n.B \\-\\-capture\nor\n.BR \\-\\-shot ,\nthe size of the picture, as\n.BR \\-\\-size .",
     OptionScope::Window, window},
    {"fullscreen", nullptr, "full screen at that resolution",
     "Full screen at that resolution.\n"
     "Where the display cannot change its mode, the window covers the screen.\n"
     "The whole picture is always shown.",
     OptionScope::Live, flag([](LaunchOptions& o) -> bool& { return o.show.fullScreen; })},
    {"widescreen", nullptr,
     "open the view out to a picture wider than 4:3 (live, capture\n"
     "and shot); without it the 4:3 picture is pillar- or\n"
     "letterboxed in black",
     "Open the view out sideways to a picture wider than 4:3 (live, capture and\n"
     "shot).\n"
     "Without it the 4:3 picture is kept at any size, centred, with black bars\n"
     "(pillar- or letterbox).",
     OptionScope::Any, [](OptionReading& r, const char*) {
         r.options.show.shape = PictureShape::Widescreen;
         return true;
     }},
    {"msaa", "N",
     "smooth edges: N samples a pixel (2, 4 or 8; the most the\n"
     "driver allows where it allows fewer), live, capture and shot",
     "Smooth edges by multisampling:\n.I N\nsamples a pixel, 2, 4 or 8, in the live window\n"
     "(a multisampled pixel format) and in captures and shots (a multisampled\n"
     "framebuffer, resolved before the read-back).\n"
     "Where the driver allows fewer samples it draws with the most it allows and\n"
     "says so on standard error; where it offers none the run ends with status 1.",
     OptionScope::Any, msaa},
    {"nosound", nullptr, "play without sound (the music still drives the show)",
     "No sound; the song still plays silently and drives the show.",
     OptionScope::Live, flag([](LaunchOptions& o) -> bool& { return o.show.soundEnabled; }, false)},
    {"no-dialog", nullptr, "start the show at once, without the settings dialog",
     "Start the show at once, without the settings dialog.",
     OptionScope::Live, flag([](LaunchOptions& o) -> bool& { return o.noDialog; })},
    {"start", "S", "begin the show at song time S seconds",
     "The live show begins at song time\n.I S\nseconds, music and picture together.\n"
     "A time at or after the show's end is refused.",
     OptionScope::Live,
     [](OptionReading& r, const char* v) { return seconds(r, "--start", v, r.options.show.startMs); }},
    {"audio-offset", "MS",
     "the sound is heard MS milliseconds later than the output says\n"
     "(Bluetooth headphones: 150 or more); the picture waits for it\n"
     "(-2000 to 2000; captures and shots ignore it)",
     "The sound is heard\n.I MS\nmilliseconds later than the sound output reports (positive:\n"
     "a slow output such as Bluetooth headphones, 150 or more; negative: one that\n"
     "reports more delay than it has), from -2000 to 2000.\n"
     "The clock that picks the picture reads that much earlier, so the picture\n"
     "waits for the sound; the song itself is never moved.\n"
     "With\n.BR \\-\\-controls ,\n.B [\nand\n.B ]\nchange it by 5 ms while the show runs.\n"
     "Captures and shots ignore it: their picture and sound come from one clock.",
     OptionScope::Any, audioOffset},
    {"controls", nullptr,
     "keys while the show runs: Space pauses, Left/Right seek 5 s,\n"
     "Page Up/Down 60 s, Home to 0, N/P next/previous event,\n"
     "[ and ] the audio offset by 5 ms",
     "Keys while the show runs (see\n.BR KEYS );\n"
     "the window title shows the song time and the current event.",
     OptionScope::Live, flag([](LaunchOptions& o) -> bool& { return o.show.viewing.controls; })},
    {"loop", nullptr, "start the show again from 0 when it ends, until Esc",
     "When the show ends it starts again from 0, music and picture together, until\nEsc.",
     OptionScope::Live, flag([](LaunchOptions& o) -> bool& { return o.show.viewing.loop; })},
    {"vsync", nullptr, "buffer swaps wait for the display",
     "Buffer swaps wait for the display: adaptive sync where the driver has it,\n"
     "plain vsync otherwise; where neither works a note goes to standard error and\n"
     "frames stay unthrottled.",
     OptionScope::Live, flag([](LaunchOptions& o) -> bool& { return o.show.viewing.vsync; })},
    {"list", nullptr, "print the module's script as a table and exit",
     "Print the module's script as a table (event number, start and end in\n"
     "seconds, the two flag words, what the event shows in words) and exit.",
     OptionScope::Mode, [](OptionReading& r, const char*) { return setMode(r, RunMode::List); }},
    {"capture", "FILE",
     "render the show to FILE (.mp4, .mkv, .mov: H.264 with the\n"
     "song; .rgba: raw frames, and the song as FILE.s16; .s16:\n"
     "the song alone, no frames drawn), no display",
     "Render the show offscreen, without a display, to\n.IR FILE :\n"
     ".B .mp4\nor\n.B .mov\n(H.264 and AAC),\n.B .mkv\n(H.264 and FLAC), or\n.B .rgba\n"
     "(raw RGBA frames, top row first, with the song as\n.IR FILE .s16,\n"
     "44,100 Hz stereo signed 16-bit little-endian), or\n.B .s16\n"
     "(the song alone, no frames drawn; for joining captures rendered in parts).\n"
     "Needs\n.BR ffmpeg (1)\nfor video.\n"
     "Ctrl-C stops between frames and keeps what was captured as a playable file.",
     OptionScope::Mode,
     [](OptionReading& r, const char* v) {
         if (!setMode(r, RunMode::Capture)) return false;
         r.options.capture.outputPath = v;
         return true;
     }},
    {"shot", "S FILE", "render the frame at song time S seconds to FILE (.png)",
     "Render the frame at song time\n.I S\nseconds to the PNG file\n.IR FILE ,\n"
     "without a display.",
     OptionScope::Mode, shot},
    {"fps", "N",
     "frame rate of a capture, and of the frames a shot follows\n"
     "(1 to 240, default 60)",
     "The frame rate of a capture, and of the frames a shot follows: 1 to 240,\ndefault 60.",
     OptionScope::Output, fps},
    {"size", "WxH", "picture size of a capture or shot (default 1280x720)",
     "The picture size of a capture or shot: each side 16 to 8192 (even for a\n"
     "video), default 1280x720.",
     OptionScope::Output, size},
    {"supersample", "N",
     "draw each frame of a capture or shot N times wider and higher\n"
     "and reduce it in linear light (2 to 4; with --msaa too)",
     "Draw each frame of a capture or shot\n.I N\ntimes wider and higher (2 to 4) and reduce\n"
     "it to the picture's size by averaging in linear light (sRGB decoded,\n"
     "averaged, encoded), so thin bright edges keep their brightness.\n"
     "Combines with\n.BR \\-\\-msaa .\n"
     "Where the driver cannot draw that large a picture the run ends with status 1.",
     OptionScope::Output, supersample},
    {"from", "S", "capture from song time S seconds (default 0)",
     "A capture starts at song time\n.I S\nseconds (default 0).",
     OptionScope::Capture,
     [](OptionReading& r, const char* v) { return seconds(r, "--from", v, r.options.capture.fromMs); }},
    {"to", "S", "capture up to song time S seconds (default: the show's end)",
     "A capture ends before song time\n.I S\nseconds (default: the show's end).",
     OptionScope::Capture,
     [](OptionReading& r, const char* v) { return seconds(r, "--to", v, r.options.capture.toMs); }},
    {"help", nullptr, "this text", "Print the usage and exit.",
     OptionScope::Any, flag([](LaunchOptions& o) -> bool& { return o.showHelp; })},
    {"version", nullptr, "the program's version", "Print the program's version and exit.",
     OptionScope::Any, flag([](LaunchOptions& o) -> bool& { return o.showVersion; })},
};
// clang-format on

// "\-\-window" for troff: every '-' escaped.
std::string troffDashes(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '-') out += '\\';
        out += c;
    }
    return out;
}

}  // namespace

std::span<const OptionSpec> optionTable() {
    return kOptions;
}

std::string manualOptionsSection() {
    std::string page = ".SH OPTIONS\n";
    for (const OptionSpec& o : kOptions) {
        page += ".TP\n";
        const std::string name = troffDashes(std::string("--") + o.name);
        if (o.argument != nullptr) {
            page += ".BI " + name + " \" " + o.argument + "\"\n";
        } else {
            page += ".B " + name + "\n";
        }
        page += std::string(o.manual) + "\n";
    }
    return page;
}
