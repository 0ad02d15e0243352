// Implements the presentation over the show host and the SDL window layer
// (window, events): window, banner, Init, full screen, the frame loop and the
// tear-down in its order (display mode, context, module, cursor, window).
#include "live/presentation.h"

#include <cstdio>
#include <string>

#include "host/show_host.h"
#include "live/frame_turn.h"
#include "live/live_stop_deadline.h"
#include "live/loading_banner.h"
#include "live/show_controls.h"
#include "live/show_keys.h"
#include "window/sdl_events.h"
#include "window/sdl_window.h"

namespace {

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
    ShowControls controls(host, kShowWindowTitle,
                          [&window](const std::string& title) { window.setTitle(title.c_str()); });
    bool ended = false;
    while (!ended) {
        const WindowEvent event = pollWindowEvent();
        switch (event.kind) {
            case WindowEvent::Kind::None:
                ended = !playFrameTurn(host, controls);
                break;
            case WindowEvent::Kind::CloseRequest:
                ended = true;
                break;
            case WindowEvent::Kind::Resized:
                host.drawableResized();
                break;
            case WindowEvent::Kind::KeyPressed: {
                const ShowKey key = showKeyForCode(event.keyCode);
                host.note(std::string("key ") + showKeyName(key));
                // Escape ends the show; the others are swallowed without
                // --controls.
                if (key == ShowKey::Escape) {
                    ended = true;
                } else {
                    controls.keyPressed(key);
                }
                break;
            }
            case WindowEvent::Kind::Other:
                break;
        }
    }
}

}  // namespace

int RunPresentation(const ShowRequest& request, char* messageBuffer) {
    ShowHost host;
    if (!host.LoadModule(request.moduleName, messageBuffer)) return 0;
    if (const std::string past = startPastTheEndText(request.startMs, host.showEndMs());
        !past.empty()) {
        std::snprintf(messageBuffer, kMessageBufferSize, "%s", past.c_str());
        return kStartRefused;
    }
    host.request(request);

    SdlWindow window;
    std::string error;
    if (!window.create(kShowWindowTitle, request.width, request.height, request.fullScreen,
                       request.msaa, error)) {
        // Not silent: the caller shows the buffer.
        std::snprintf(messageBuffer, kMessageBufferSize, "Window could not be created! (%s)",
                      error.c_str());
        window.destroy();
        return 0;
    }
    // SDL's stop handlers are in place once its video runs: wrap them now.
    armLiveStopDeadline();
    if (request.msaa > 0) {
        if (window.samples() < request.msaa) {
            std::fprintf(stderr,
                         "talvenor: --msaa %d: the display gives %d samples a pixel; drawing "
                         "with %d\n",
                         request.msaa, window.samples(), window.samples());
        }
        host.note("samples " + std::to_string(window.samples()));
    }
    window.show();
    // The size the platform gave the mapped window, not the one asked for.
    host.attach(window);
    if (request.onShown) request.onShown();
    // Swaps that wait for the display show their picture a refresh later,
    // which the module's clock allows for.
    if (request.viewing.vsync) {
        if (window.waitForDisplay() == nullptr) {
            std::fputs("talvenor: the display offers no vsync here; frames are not throttled\n",
                       stderr);
        } else if (const int hz = window.refreshRate(); hz > 0) {
            host.setPresentationDelay((1000 + hz / 2) / hz);
        }
    }
    drawLoadingBanner(host.state().clientWidth, host.state().clientHeight);
    window.present();

    if (!host.initialise(messageBuffer)) {
        tearDown(window, host);
        return 0;
    }
    if (request.fullScreen) {
        const bool desktop = request.width == kDesktopSize || request.height == kDesktopSize;
        window.enterFullScreen(request.width, request.height, desktop);
        host.drawableResized();
        window.showCursor(false);
    }
    host.setRunning(true);
    frameLoop(window, host);
    tearDown(window, host);
    return 1;
}
