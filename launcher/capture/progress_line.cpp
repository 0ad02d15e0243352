// Implements the progress line's text, plain formatting; the estimate
// assumes the rendering speed so far.
#include "capture/progress_line.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr int kBarWidth = 20;

}  // namespace

std::string clockText(double seconds) {
    const long long total = std::llround(std::max(0.0, seconds));
    char text[32];
    if (total >= 3600) {
        std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", total / 3600, total / 60 % 60,
                      total % 60);
    } else {
        std::snprintf(text, sizeof text, "%lld:%02lld", total / 60, total % 60);
    }
    return text;
}

std::string progressLine(const CaptureProgress& p) {
    const double rate = p.elapsedSeconds > 0.0 ? p.framesDone / p.elapsedSeconds : 0.0;
    char text[160];
    std::string line;
    if (p.framesTotal > 0) {
        const double share = std::min(1.0, static_cast<double>(p.framesDone) / p.framesTotal);
        const int filled = static_cast<int>(share * kBarWidth);
        line = "[" + std::string(filled, '#') + std::string(kBarWidth - filled, '-') + "]";
        std::snprintf(text, sizeof text, " %3d%%", static_cast<int>(share * 100.0));
        line += text;
    }
    std::snprintf(text, sizeof text, "  song %.1f s  %.1f fps  %.2fx", p.songMs / 1000.0, rate,
                  rate / p.framesPerSecond);
    line += text;
    if (p.framesTotal > 0 && rate > 0.0) {
        line += "  left " + clockText((p.framesTotal - p.framesDone) / rate);
    }
    return line;
}
