// One frame of the show on the frame grid, as a shot takes it: the module
// started offline at the grid frame at or after shotMs (the frames before it
// walked as drawing would walk them), that frame drawn and read back.
// Shared by talvenor --shot and the browser's shot address.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/picture_frame.h"
#include "host/surface.h"

struct ShotRequest {
    std::string moduleName;
    int shotMs = 0;
    int framesPerSecond = 60;
    PictureShape shape = PictureShape::Composed;
    // The surface is this many times the picture's width and height; the
    // frame is reduced to the picture in linear light.
    int supersample = 1;
};

enum class ShotResult {
    Taken,
    PastTheEnd,  // error: "the show is over at S s: there is no frame to take"
    Failed,      // error: the module's or the loader's reason
};

// The frame's RGBA rows, bottom row first, the surface's size; otherwise
// why not in error.
ShotResult shootFrame(const ShotRequest& request, Surface& surface, std::vector<std::uint8_t>& rgba,
                      std::int64_t& frame, std::string& error);
