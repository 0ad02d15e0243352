// The capture's progress line on stderr: a bar, the song time captured, the
// rendering speed in frames per second and as a multiple of real time, and
// an estimate of the time left.
#pragma once

#include <cstdint>
#include <string>

struct CaptureProgress {
    std::int64_t framesDone = 0;
    std::int64_t framesTotal = -1;  // -1: unknown
    int framesPerSecond = 60;       // of the video
    int songMs = 0;                 // song time of the last frame done
    double elapsedSeconds = 0.0;    // wall time since the first frame
};

// One line without its leading carriage return, e.g.
// "[#########-----------]  45%  song 14.5 s  53.1 fps  0.88x  left 0:12".
std::string progressLine(const CaptureProgress& progress);

// Wall seconds as m:ss, or h:mm:ss from an hour on.
std::string clockText(double seconds);
