// talvenor --capture and --shot: the show rendered offscreen, with no display,
// on the frame grid of song time k / fps.
#pragma once

#include "options/command_line.h"

// Renders options.fromMs to options.toMs (or the show's end) into
// options.outputPath. Exit status: 0 when complete, 130 when Ctrl-C cut it
// short (the file then holds what was captured), 1 on failure (nothing is
// left under the file's name).
int runCapture(const LaunchOptions& options);

// Renders the frame at options.shotMs into options.outputPath (PNG). Exit
// status 0, or 1 on failure.
int runShot(const LaunchOptions& options);
