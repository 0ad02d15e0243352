// The show's window and frame loop: loads the module, opens the OpenGL
// window, lets the module initialise behind a loading banner, and draws one
// frame per idle turn until the module ends the show or the user leaves.
#pragma once

#include <cstdint>

#include "common/dmd_api.h"

struct HostState {
    bool fullScreen = false;
    bool running = false;
    int requestedWidth = 0;
    int requestedHeight = 0;
    int clientWidth = 0;
    int clientHeight = 0;
    double aspect = 0.0;
    FrustumParams currentFrustum{};
    std::uint32_t startTick = 0;
    // Side-by-side views forming the full horizontal field, and which one
    // this window shows (1-based). Fixed: one view.
    int tileCount = 1;
    int tileIndex = 1;
};

extern HostState hostState;

// Runs one show. Returns 1 when it ran and ended, 0 when it could not start;
// then messageBuffer (256 bytes) says why.
int RunPresentation(const char* moduleName, int width, int height, int fullScreen, int soundEnabled,
                    char* messageBuffer);

// The default frustum for the client size: left -5, right 5, top and bottom
// +-5 / aspect, near 1, far 255; then ApplyProjection.
void SetDefaultProjection();
void ApplyProjection(double left, double right, double bottom, double top, double nearVal,
                     double farVal);
