// The host's record of its one presentation: the window's sizes, the running
// flag, the frustum handed to every RenderScene and the start tick.
#pragma once

#include <cstdint>

#include "common/dmd_api.h"
#include "host/picture_frame.h"

struct HostState {
    bool fullScreen = false;
    bool running = false;
    int clientWidth = 0;
    int clientHeight = 0;
    double aspect = 0.0;
    FrustumParams currentFrustum{};
    std::uint32_t startTick = 0;
    // Side-by-side views forming the full horizontal field, and which one
    // this window shows (1-based). Fixed: one view.
    int tileCount = 1;
    int tileIndex = 1;
    // Where the picture goes in the client area; the viewport.
    PictureShape pictureShape = PictureShape::Composed;
    PictureRect picture{};
};
