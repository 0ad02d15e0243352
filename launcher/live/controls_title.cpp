// Implements the controls' title text: plain formatting of the song time,
// the event, the pause and the audio offset.
#include "live/controls_title.h"

#include <algorithm>
#include <cstdio>

std::string controlsTitle(const char* base, int songMs, int eventNumber, int eventCount,
                          bool paused, int audioOffsetMs) {
    const int ms = std::max(0, songMs);
    char text[160];
    std::snprintf(text, sizeof text, "%s - %d:%02d.%d", base, ms / 60000, ms / 1000 % 60,
                  ms / 100 % 10);
    std::string title = text;
    if (eventNumber > 0) {
        std::snprintf(text, sizeof text, " - event %d/%d", eventNumber, eventCount);
        title += text;
    }
    if (paused) title += " - paused";
    if (audioOffsetMs != 0) {
        std::snprintf(text, sizeof text, " - audio %+d ms", audioOffsetMs);
        title += text;
    }
    return title;
}
