// Implements the dialog's decisions: presets, resolution and flags, the start
// handler; needs the resolution table and the module's message buffer size.
#include "dialog/dialog_logic.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

#include "common/dmd_api.h"
#include "options/resolutions.h"

DialogSettings dialogSettingsFor(const ShowRequest& request) {
    DialogSettings settings;
    settings.moduleName = request.moduleName;
    const int index = resolutionIndexOf(request.width, request.height);
    settings.resolutionIndex = index >= 0 ? index : kResolutionCount;
    if (index < 0) settings.extraResolution = {true, request.width, request.height};
    settings.fullScreen = request.fullScreen;
    settings.noSound = !request.soundEnabled;
    settings.request = request;
    return settings;
}

std::string extraResolutionText(const ExtraResolution& extra) {
    if (extra.width == kDesktopSize) return "Desktop";
    return std::to_string(extra.width) + " x " + std::to_string(extra.height);
}

ShowRequest showRequestFor(const DialogSettings& settings) {
    const Resolution resolution = resolutionForIndex(settings.resolutionIndex);
    ShowRequest request = settings.request;
    request.moduleName = settings.moduleName;
    request.width = resolution.width;
    request.height = resolution.height;
    if (settings.resolutionIndex == kResolutionCount && settings.extraResolution.present) {
        request.width = settings.extraResolution.width;
        request.height = settings.extraResolution.height;
    }
    request.fullScreen = settings.fullScreen;
    request.soundEnabled = !settings.noSound;
    return request;
}

bool isNoModuleSelected(const std::string& moduleName) {
    return moduleName == kNoModuleSelectedName;
}

StartOutcome startShow(const DialogSettings& settings, StartHost& host) {
    if (isNoModuleSelected(settings.moduleName)) {
        host.showMessage(kNoModuleSelectedCaption, kNoModuleSelectedText);
        return StartOutcome::DialogStaysOpen;
    }
    std::array<char, kMessageBufferSize> messageBuffer{};
    ShowRequest request = showRequestFor(settings);
    request.onShown = [&host] { host.hideDialog(); };
    const int ran = host.runPresentation(request, messageBuffer.data());
    if (ran > 0) return StartOutcome::ShowEnded;

    // The buffer comes back from a module: read no further than its end,
    // even when it holds no terminator.
    std::string reason(messageBuffer.data(), strnlen(messageBuffer.data(), messageBuffer.size()));
    if (reason.empty()) reason = kUnknownStartFailure;
    host.reportStartFailure(reason);
    return ran == kStartRefused ? StartOutcome::StartRefused : StartOutcome::StartFailed;
}

int exitStatusFor(StartOutcome outcome) {
    if (outcome == StartOutcome::ShowEnded) return 0;
    return outcome == StartOutcome::StartRefused ? 2 : 1;
}

std::string startFailureLines(const std::string& reason, const std::string& detail) {
    if (detail.empty()) return "talvenor: " + reason + "\n";
    return "talvenor: " + reason + " (" + detail + ")\n";
}

int dialogFontSizeForDpi(double dpi) {
    constexpr int kBaseSize = 12;  // at 96 dpi
    constexpr double kBaseDpi = 96.0;
    constexpr double kScaleFromDpi = 120.0;
    if (!(dpi >= kScaleFromDpi)) return kBaseSize;
    return static_cast<int>(std::lround(kBaseSize * std::min(dpi, 960.0) / kBaseDpi));
}
