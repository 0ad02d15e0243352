// Implements the presentation over the SDL window layer and the module loader.
// Needs: a current GL context for ApplyProjection; the loading banner.
#include "presentation.h"

#include <GL/gl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "loading_banner.h"
#include "module_loader.h"
#include "optional_exports.h"
#include "picture_area.h"
#include "platforms/sdl_window.h"
#include "show_controls.h"

HostState hostState;

namespace {

PictureShape requestedShape = PictureShape::Composed;
PresentationShownFn shownHandler = nullptr;
void* shownContext = nullptr;

constexpr const char* kWindowTitle = "Morrowen q7v Kessary";

// Tests follow the host's steps through a trace file named by this variable.
void trace(const char* step) {
    static const char* path = std::getenv("SORVANEL_HOST_TRACE");
    if (path == nullptr) return;
    if (std::FILE* f = std::fopen(path, "a")) {
        std::fprintf(f, "host %s\n", step);
        std::fclose(f);
    }
}

void tracePicture() {
    const PictureRect& p = hostState.picture;
    char text[128];
    std::snprintf(text, sizeof text, "picture drawable=%d,%d at=%d,%d size=%d,%d",
                  hostState.clientWidth, hostState.clientHeight, p.x, p.y, p.width, p.height);
    trace(text);
}

// The drawable's real size, and the picture placed in it. A widescreen
// picture takes its frustum from its aspect, so that follows too; the
// composed picture is 4:3 at every size and keeps the frustum it has.
void storeClientSize(int width, int height) {
    hostState.clientWidth = width;
    hostState.clientHeight = height;
    hostState.picture = pictureRectFor(width, height, hostState.pictureShape);
    if (hostState.pictureShape == PictureShape::Widescreen) {
        // Only the frustum handed over changes: the GL state is the module's.
        hostState.currentFrustum =
            defaultFrustumFor(hostState.picture, hostState.pictureShape, hostState.tileCount,
                              hostState.tileIndex, hostState.aspect);
    }
    preparePictureArea(hostState.picture, width, height);
    tracePicture();
}

// What the window's destruction does: display mode back, context gone, the
// module shut down and released, the cursor back.
void tearDown(SdlWindow& window) {
    window.hide();
    if (hostState.fullScreen) {
        window.leaveFullScreen();
        trace("display-mode-restored");
    }
    window.releaseContext();
    trace("context-released");
    UnloadModule();
    trace("module-unloaded");
    window.showCursor(true);
    window.destroy();
}

void paint(SdlWindow& window, ShowControls& controls, bool& ended) {
    if (!hostState.running) return;
    if (controls.showsHeldPicture(hostState.clientWidth, hostState.clientHeight)) {
        controls.drawHeldPicture();
    } else if (moduleBinding.renderScene != nullptr) {
        preparePictureArea(hostState.picture, hostState.clientWidth, hostState.clientHeight);
        const FrustumParams& f = hostState.currentFrustum;
        if (moduleBinding.renderScene(hostState.startTick, 1, f.left, f.right, f.bottom, f.top,
                                      f.nearVal, f.farVal) == 0) {
            // With --loop the next turn draws the show's beginning.
            if (!controls.startOver()) ended = true;
            return;
        }
        controls.frameDrawn(hostState.clientWidth, hostState.clientHeight);
    }
    window.swapBuffers();
    trace("swap");
}

void frameLoop(SdlWindow& window) {
    ShowControls controls;
    controls.begin(bindOptionalExports(), window, kWindowTitle);
    bool ended = false;
    while (!ended) {
        switch (window.poll()) {
            case SdlWindow::Event::None:
                paint(window, controls, ended);
                break;
            case SdlWindow::Event::CloseRequest:
            case SdlWindow::Event::EscapePressed:
                ended = true;
                break;
            case SdlWindow::Event::Resized:
                storeClientSize(window.clientWidth(), window.clientHeight());
                break;
            case SdlWindow::Event::KeyPressed:
                controls.keyPressed(window.lastKey());  // swallowed without --controls
                break;
            case SdlWindow::Event::Other:
                break;
        }
    }
}

}  // namespace

// Widescreen only for a module that opens its own projections out to match.
PictureShape pictureShapeForModule() {
    if (requestedShape != PictureShape::Widescreen) return PictureShape::Composed;
    const OptionalExports exports = bindOptionalExports();
    if (exports.followsFrustumAspect != nullptr && exports.followsFrustumAspect() != 0) {
        return PictureShape::Widescreen;
    }
    std::fputs("talvenor: this module keeps a 4:3 picture; it plays pillarboxed\n", stderr);
    return PictureShape::Composed;
}

void requestPictureShape(PictureShape shape) {
    requestedShape = shape;
}

void setPresentationShownHandler(PresentationShownFn handler, void* context) {
    shownHandler = handler;
    shownContext = context;
}

void SetDefaultProjection() {
    hostState.picture =
        pictureRectFor(hostState.clientWidth, hostState.clientHeight, hostState.pictureShape);
    const FrustumParams f =
        defaultFrustumFor(hostState.picture, hostState.pictureShape, hostState.tileCount,
                          hostState.tileIndex, hostState.aspect);
    ApplyProjection(f.left, f.right, f.bottom, f.top, f.nearVal, f.farVal);
}

void ApplyProjection(double left, double right, double bottom, double top, double nearVal,
                     double farVal) {
    hostState.currentFrustum = {left, right, bottom, top, nearVal, farVal};
    if (hostState.picture.width == 0) {
        hostState.picture =
            pictureRectFor(hostState.clientWidth, hostState.clientHeight, hostState.pictureShape);
    }
    preparePictureArea(hostState.picture, hostState.clientWidth, hostState.clientHeight);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glFrustum(left, right, bottom, top, nearVal, farVal);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_NORMALIZE);
    glEnable(GL_DEPTH_TEST);
    glCullFace(GL_BACK);
    glEnable(GL_CULL_FACE);
}

int RunPresentation(const char* moduleName, int width, int height, int fullScreen, int soundEnabled,
                    char* messageBuffer) {
    if (!LoadModule(moduleName, messageBuffer)) return 0;

    hostState.fullScreen = fullScreen != 0;
    hostState.running = false;
    hostState.requestedWidth = width;
    hostState.requestedHeight = height;
    hostState.pictureShape = pictureShapeForModule();
    hostState.picture = {};
    const bool desktop = width == kDesktopSize || height == kDesktopSize;

    SdlWindow window;
    std::string error;
    if (!window.create(kWindowTitle, width, height, hostState.fullScreen, error)) {
        // Not silent: the caller shows the buffer.
        std::snprintf(messageBuffer, kMessageBufferSize, "Window could not be created! (%s)",
                      error.c_str());
        window.destroy();
        UnloadModule();
        return 0;
    }
    window.show();
    // The size the platform gave the mapped window, not the one asked for.
    storeClientSize(window.clientWidth(), window.clientHeight());
    if (shownHandler != nullptr) shownHandler(shownContext);
    if (viewingOptions().vsync && window.waitForDisplay() == nullptr) {
        std::fputs("talvenor: the display offers no vsync here; frames are not throttled\n",
                   stderr);
    }

    drawLoadingBanner(hostState.clientWidth, hostState.clientHeight);
    window.swapBuffers();

    SetDefaultProjection();
    applyLiveStart();
    hostState.startTick = SdlWindow::ticks();

    if (moduleBinding.init != nullptr) {
        char* bufferPointer = messageBuffer;
        if (moduleBinding.init(window.nativeHandle(), soundEnabled, &bufferPointer) == 0) {
            tearDown(window);
            return 0;
        }
    }
    if (hostState.fullScreen) {
        window.enterFullScreen(width, height, desktop);
        storeClientSize(window.clientWidth(), window.clientHeight());
        window.showCursor(false);
    }
    hostState.running = true;
    frameLoop(window);
    tearDown(window);
    hostState.running = false;
    return 1;
}
