// Running talvenor from a benchmark as the user would, in the build folder
// with a private runtime folder and stderr quiet: what it took.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

struct RunFigures {
    double wallSeconds = 0.0;
    double cpuSeconds = 0.0;  // talvenor and the ffmpeg runs it waited for
    long peakKilobytes = 0;   // the largest resident size of talvenor or a child
    bool ok = false;          // exit status 0
};

// preset, when given, is the x264 preset (SORVANEL_CAPTURE_PRESET).
RunFigures runTalvenor(const std::vector<std::string>& args, const std::filesystem::path& runtime,
                       const char* preset = nullptr);
