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
#include "platforms/sdl_window.h"
#include "show_controls.h"

HostState hostState;

namespace {

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

void storeClientSize(int width, int height) {
    hostState.clientWidth = width;
    hostState.clientHeight = height;
    glViewport(0, 0, width, height == 0 ? 1 : height);
}

// What the window's destruction does: display mode back, context gone, the
// module shut down and released, the cursor back.
void tearDown(SdlWindow& window) {
    window.hide();
    if (hostState.fullScreen) window.leaveFullScreen();
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

void SetDefaultProjection() {
    const double left0 = (hostState.tileIndex - 1) - hostState.tileCount / 2.0;
    const double right0 = left0 + 1.0;
    hostState.aspect = hostState.clientHeight != 0
                           ? static_cast<double>(hostState.clientWidth) / hostState.clientHeight
                           : static_cast<double>(hostState.clientWidth);
    const double halfHeight = 0.5 / hostState.aspect;
    ApplyProjection(10.0 * left0, 10.0 * right0, -10.0 * halfHeight, 10.0 * halfHeight, 1.0, 255.0);
}

void ApplyProjection(double left, double right, double bottom, double top, double nearVal,
                     double farVal) {
    hostState.currentFrustum = {left, right, bottom, top, nearVal, farVal};
    glViewport(0, 0, hostState.clientWidth, hostState.clientHeight);
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
    storeClientSize(window.clientWidth(), window.clientHeight());
    window.show();
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
        window.enterFullScreen(width, height);
        window.showCursor(false);
    }
    hostState.running = true;
    frameLoop(window);
    tearDown(window);
    hostState.running = false;
    return 1;
}
