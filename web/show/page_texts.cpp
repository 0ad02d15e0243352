// Implements the page's texts and the JSON the page's script reads.
#include "web/show/page_texts.h"

#include <cstdio>

#include "common/dmd_api.h"

namespace {

const char* truth(bool value) {
    return value ? "true" : "false";
}

}  // namespace

std::string startPastTheEndText(int startMs, int endMs) {
    if (startMs <= 0 || endMs < 0 || startMs < endMs) return {};
    return "--start " + showSecondsText(startMs) + ": the show is over at " +
           showSecondsText(endMs);
}

std::string shotPastTheEndText(std::int64_t frame, int framesPerSecond, const std::string& why) {
    return "error: --shot " + showSecondsText(static_cast<int>(dmdGridMs(frame, framesPerSecond))) +
           ": " + why;
}

std::string jsonString(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string playerScriptJson(const ShowControls& controls, const OptionalExports& exports) {
    std::string json = "{\"endMs\":" + std::to_string(controls.showEndMs()) +
                       ",\"canSeek\":" + truth(controls.canSeekAndPause()) + ",\"events\":[";
    if (exports.describeEvent != nullptr) {
        DmdEventInfo info{};
        for (int i = 0; exports.describeEvent(i, &info) != 0; ++i) {
            if (i > 0) json += ',';
            info.what[sizeof info.what - 1] = '\0';
            json += "{\"startMs\":" + std::to_string(info.startMs) +
                    ",\"what\":" + jsonString(info.what) + "}";
        }
    }
    return json + "]}";
}

std::string pageAddressJson(const PageAddress& address, int endMs) {
    const LaunchOptions& o = address.options;
    std::string error = address.error;
    if (error.empty() && o.mode == RunMode::Show) {
        const std::string past = startPastTheEndText(o.startMs, endMs);
        if (!past.empty()) error = past;
    }
    const bool shot = o.mode == RunMode::Shot;
    return "{\"error\":" + jsonString(error) + ",\"shot\":" + truth(shot) +
           ",\"startMs\":" + std::to_string(o.startMs) + ",\"width\":" + std::to_string(o.width) +
           ",\"height\":" + std::to_string(o.height) +
           ",\"windowGiven\":" + truth(o.windowGiven || o.width == kDesktopWindowSize) +
           ",\"fullscreen\":" + truth(o.fullScreen) + ",\"nosound\":" + truth(!o.soundEnabled) +
           ",\"controls\":" + truth(o.controls) + ",\"loop\":" + truth(o.loop) +
           ",\"widescreen\":" + truth(o.widescreen) + ",\"msaa\":" + std::to_string(o.msaa) +
           ",\"nodialog\":" + truth(address.noDialog) +
           ",\"audioOffsetMs\":" + std::to_string(o.audioOffsetMs) +
           ",\"shotMs\":" + std::to_string(o.shotMs) +
           ",\"shotWidth\":" + std::to_string(o.outputWidth) +
           ",\"shotHeight\":" + std::to_string(o.outputHeight) +
           ",\"fps\":" + std::to_string(o.framesPerSecond) + "}";
}
