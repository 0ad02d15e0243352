// Implements the presentation over the show host and the SDL window layer:
// window, banner, Init, full screen, the frame loop and the tear-down in its
// order (display mode, context, module, cursor, window).
#include "live/presentation.h"

#include <cstdio>
#include <string>

#include "host/show_host.h"
#include "live/loading_banner.h"
#include "live/show_controls.h"
#include "platforms/sdl_window.h"

namespace {

PresentationShownFn shownHandler = nullptr;
void* shownContext = nullptr;

// What the window's destruction does: display mode back, context gone, the
// module shut down and released, the cursor back.
void tearDown(SdlWindow& window, ShowHost& host) {
    window.hide();
    if (host.state().fullScreen) {
        window.leaveFullScreen();
        host.note("display-mode-restored");
    }
    host.close();
    window.showCursor(true);
    window.destroy();
}

// One idle turn's frame: the held picture while paused, else the module's.
void paint(ShowHost& host, ShowControls& controls, bool& ended) {
    if (!host.state().running) return;
    if (controls.holdsPicture()) {
        controls.drawHeldPicture();
    } else {
        if (!host.renderFrame()) {
            // With --loop the next turn draws the show's beginning.
            if (!controls.startOver()) ended = true;
            return;
        }
        host.frameDrawn();
        controls.frameDrawn();
    }
    host.present();
}

void frameLoop(SdlWindow& window, ShowHost& host) {
    ShowControls controls(host, liveOptions().viewing, kShowWindowTitle,
                          [&window](const std::string& title) { window.setTitle(title.c_str()); });
    bool ended = false;
    while (!ended) {
        switch (window.poll()) {
            case SdlWindow::Event::None:
                paint(host, controls, ended);
                break;
            case SdlWindow::Event::CloseRequest:
                ended = true;
                break;
            case SdlWindow::Event::EscapePressed:
                host.note("key escape");
                ended = true;
                break;
            case SdlWindow::Event::Resized:
                host.drawableResized();
                break;
            case SdlWindow::Event::KeyPressed:
                host.note(std::string("key ") + showKeyName(window.lastKey()));
                controls.keyPressed(window.lastKey());  // swallowed without --controls
                break;
            case SdlWindow::Event::Other:
                break;
        }
    }
}

}  // namespace

void setPresentationShownHandler(PresentationShownFn handler, void* context) {
    shownHandler = handler;
    shownContext = context;
}

int RunPresentation(const char* moduleName, int width, int height, int fullScreen, int soundEnabled,
                    char* messageBuffer) {
    ShowHost host;
    if (!host.LoadModule(moduleName, messageBuffer)) return 0;
    const LiveOptions& options = liveOptions();
    host.request(width, height, fullScreen != 0);
    host.choosePictureShape(options.shape);

    SdlWindow window;
    std::string error;
    if (!window.create(kShowWindowTitle, width, height, fullScreen != 0, error)) {
        // Not silent: the caller shows the buffer.
        std::snprintf(messageBuffer, kMessageBufferSize, "Window could not be created! (%s)",
                      error.c_str());
        window.destroy();
        return 0;
    }
    window.show();
    // The size the platform gave the mapped window, not the one asked for.
    host.attach(window);
    if (shownHandler != nullptr) shownHandler(shownContext);
    if (options.viewing.vsync && window.waitForDisplay() == nullptr) {
        std::fputs("talvenor: the display offers no vsync here; frames are not throttled\n",
                   stderr);
    }
    drawLoadingBanner(host.state().clientWidth, host.state().clientHeight);
    window.present();

    if (!host.initialise({options.startMs, kLiveFramesPerSecond, false}, soundEnabled,
                         messageBuffer)) {
        tearDown(window, host);
        return 0;
    }
    if (fullScreen != 0) {
        const bool desktop = width == kDesktopSize || height == kDesktopSize;
        window.enterFullScreen(width, height, desktop);
        host.drawableResized();
        window.showCursor(false);
    }
    host.setRunning(true);
    frameLoop(window, host);
    tearDown(window, host);
    return 1;
}
