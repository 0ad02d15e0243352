// Implements the page's texts and the JSON the page's script reads, with the
// show host's time texts.
#include "web/show/page_texts.h"

#include <cstdio>

#include "common/dmd_api.h"

namespace {

const char* truth(bool value) {
    return value ? "true" : "false";
}

}  // namespace

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
    const ShowRequest& r = o.show;
    std::string error = address.error;
    if (error.empty() && o.mode == RunMode::Show) {
        const std::string past = startPastTheEndText(r.startMs, endMs);
        if (!past.empty()) error = past;
    }
    const bool shot = o.mode == RunMode::Shot;
    return "{\"error\":" + jsonString(error) + ",\"shot\":" + truth(shot) +
           ",\"startMs\":" + std::to_string(r.startMs) + ",\"width\":" + std::to_string(r.width) +
           ",\"height\":" + std::to_string(r.height) +
           ",\"windowGiven\":" + truth(o.windowGiven || r.width == kDesktopSize) +
           ",\"fullscreen\":" + truth(r.fullScreen) + ",\"nosound\":" + truth(!r.soundEnabled) +
           ",\"controls\":" + truth(r.viewing.controls) + ",\"loop\":" + truth(r.viewing.loop) +
           ",\"widescreen\":" + truth(r.shape == PictureShape::Widescreen) +
           ",\"msaa\":" + std::to_string(r.msaa) + ",\"nodialog\":" + truth(address.noDialog) +
           ",\"audioOffsetMs\":" + std::to_string(r.audioOffsetMs) +
           ",\"shotMs\":" + std::to_string(o.capture.shotMs) +
           ",\"shotWidth\":" + std::to_string(o.capture.width) +
           ",\"shotHeight\":" + std::to_string(o.capture.height) +
           ",\"fps\":" + std::to_string(o.capture.framesPerSecond) + "}";
}
