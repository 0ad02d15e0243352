// The window title while the viewing controls are on.
#pragma once

#include <string>

// "BASE - 12:34.5 - event 17/91", with " - paused" while paused; tenths of a
// second, so the title changes ten times a second, not every frame.
std::string controlsTitle(const char* base, int songMs, int eventNumber, int eventCount,
                          bool paused);
