// The show's window and frame loop: loads the module, opens the OpenGL
// window, lets the module initialise behind a loading banner, and draws one
// frame per idle turn until the module ends the show or the user leaves.
#pragma once

#include <cstdint>

#include "common/dmd_api.h"
#include "picture_frame.h"

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
    // Where the picture goes in the client area; the viewport.
    PictureShape pictureShape = PictureShape::Composed;
    PictureRect picture{};
};

extern HostState hostState;

// Width and height that ask for the screen's own size: a full-screen show
// with no display-mode switch.
constexpr int kDesktopSize = 0;

// The picture's shape for the shows that follow (--widescreen); no dialog
// control sets it. A module that does not follow its frustum's aspect keeps
// the composed picture (a note goes to stderr).
void requestPictureShape(PictureShape shape);
// The requested shape where the loaded module can show it.
PictureShape pictureShapeForModule();
// Called once the show's window is on screen, before the module's Init (the
// dialog hides itself then); null for none.
using PresentationShownFn = void (*)(void* context);
void setPresentationShownHandler(PresentationShownFn handler, void* context);

// Runs one show. Returns 1 when it ran and ended, 0 when it could not start;
// then messageBuffer (256 bytes) says why.
int RunPresentation(const char* moduleName, int width, int height, int fullScreen, int soundEnabled,
                    char* messageBuffer);

// The picture's rectangle for the client size (picture_frame.h) and its
// default frustum: left -5, right 5, top and bottom +-5 / aspect (the
// picture's), near 1, far 255, widened sideways for a widescreen picture;
// then ApplyProjection.
void SetDefaultProjection();
void ApplyProjection(double left, double right, double bottom, double top, double nearVal,
                     double farVal);
