// Implements the presentation over the show host and the SDL window layer:
// window, banner, Init, full screen, the frame loop and the tear-down in its
// order (display mode, context, module, cursor, window).
#include "live/presentation.h"

#include <cstdio>
#include <string>

#include "host/show_host.h"
#include "live/frame_turn.h"
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

void frameLoop(SdlWindow& window, ShowHost& host) {
    ShowControls controls(
        host, liveOptions().viewing, kShowWindowTitle,
        [&window](const std::string& title) { window.setTitle(title.c_str()); },
        liveOptions().audioOffsetMs);
    bool ended = false;
    while (!ended) {
        switch (window.poll()) {
            case SdlWindow::Event::None:
                ended = !playFrameTurn(host, controls);
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
    const int endMs = host.exports().showEndMs != nullptr ? host.exports().showEndMs() : -1;
    if (options.startMs > 0 && endMs >= 0 && options.startMs >= endMs) {
        std::snprintf(messageBuffer, kMessageBufferSize, "--start %s: the show is over at %s",
                      showSecondsText(options.startMs).c_str(), showSecondsText(endMs).c_str());
        return kStartRefused;
    }
    host.request(width, height, fullScreen != 0);
    host.choosePictureShape(options.shape);

    SdlWindow window;
    std::string error;
    if (!window.create(kShowWindowTitle, width, height, fullScreen != 0, options.msaa, error)) {
        // Not silent: the caller shows the buffer.
        std::snprintf(messageBuffer, kMessageBufferSize, "Window could not be created! (%s)",
                      error.c_str());
        window.destroy();
        return 0;
    }
    if (options.msaa > 0) {
        if (window.samples() < options.msaa) {
            std::fprintf(stderr,
                         "talvenor: --msaa %d: the display gives %d samples a pixel; drawing "
                         "with %d\n",
                         options.msaa, window.samples(), window.samples());
        }
        host.note("samples " + std::to_string(window.samples()));
    }
    window.show();
    // The size the platform gave the mapped window, not the one asked for.
    host.attach(window);
    if (shownHandler != nullptr) shownHandler(shownContext);
    // Swaps that wait for the display show their picture a refresh later,
    // which the module's clock allows for.
    if (options.viewing.vsync) {
        if (window.waitForDisplay() == nullptr) {
            std::fputs("talvenor: the display offers no vsync here; frames are not throttled\n",
                       stderr);
        } else if (const int hz = window.refreshRate(); hz > 0) {
            host.setPresentationDelay((1000 + hz / 2) / hz);
        }
    }
    drawLoadingBanner(host.state().clientWidth, host.state().clientHeight);
    window.present();

    if (!host.initialise({options.startMs, kLiveFramesPerSecond, false, options.audioOffsetMs},
                         soundEnabled, messageBuffer)) {
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
