// The show in a browser: the page's two entry points over the same show host
// the launcher uses. sorvanelShow plays the live show on the canvas, one
// frame per animation frame (requestAnimationFrame), with the loading banner
// while Init runs, the viewing controls from the keyboard, Esc (or leaving
// full screen) ending it with Done's fade, and the page told at the end.
// sorvanelShot draws the frame talvenor --shot draws and hands it to the
// page. Init runs inside an asynchronous call (Asyncify), so the browser can
// decode the pictures and start the sound while it waits.
#include <emscripten/emscripten.h>
#include <emscripten/html5.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "capture/shot_frame.h"
#include "host/show_host.h"
#include "live/frame_turn.h"
#include "live/live_options.h"
#include "live/loading_banner.h"
#include "live/presentation.h"
#include "live/show_controls.h"
#include "platforms/web_canvas.h"

namespace {

constexpr const char* kModuleName = "sorvanel.dmd";

// clang-format off
EM_JS(void, pageFailed, (const char* text, const char* detail), {
    Page.failed(UTF8ToString(text), UTF8ToString(detail));
});
EM_JS(void, pageEnded, (), { Page.ended(); });
EM_JS(void, pageTitle, (const char* text), { Page.title(UTF8ToString(text)); });
EM_JS(void, pageShot, (const std::uint8_t* rgba, int width, int height), {
    Page.shot(HEAPU8.subarray(rgba, rgba + width * height * 4), width, height);
});
EM_JS(int, screenPixelsWide, (), { return Math.round(innerWidth * devicePixelRatio); });
EM_JS(int, screenPixelsHigh, (), { return Math.round(innerHeight * devicePixelRatio); });
// clang-format on

// The one live show of the page.
struct LiveShow {
    WebCanvas canvas;
    ShowHost host;
    std::unique_ptr<ShowControls> controls;
    bool fullScreen = false;
    bool ending = false;
};
LiveShow* live = nullptr;

ShowKey showKeyOf(const char* code) {
    struct Named {
        const char* code;
        ShowKey key;
    };
    static const Named kKeys[] = {
        {"Space", ShowKey::Space},
        {"ArrowLeft", ShowKey::Left},
        {"ArrowRight", ShowKey::Right},
        {"PageUp", ShowKey::PageUp},
        {"PageDown", ShowKey::PageDown},
        {"Home", ShowKey::Home},
        {"KeyN", ShowKey::N},
        {"KeyP", ShowKey::P},
    };
    for (const Named& k : kKeys) {
        if (std::strcmp(code, k.code) == 0) return k.key;
    }
    return ShowKey::Other;
}

// The tear-down in its order: the context released, then the module's Done
// (its fade) and the module released; then the page takes over.
void endShow() {
    if (live == nullptr) return;
    emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_TRUE, nullptr);
    emscripten_set_fullscreenchange_callback(EMSCRIPTEN_EVENT_TARGET_DOCUMENT, nullptr, EM_TRUE,
                                             nullptr);
    live->controls.reset();
    live->host.close();
    delete live;
    live = nullptr;
    pageEnded();
}

EM_BOOL onAnimationFrame(double, void*) {
    if (live == nullptr) return EM_FALSE;
    if (live->ending || !playFrameTurn(live->host, *live->controls)) {
        endShow();
        return EM_FALSE;
    }
    return EM_TRUE;
}

EM_BOOL onKeyDown(int, const EmscriptenKeyboardEvent* event, void*) {
    if (live == nullptr) return EM_FALSE;
    if (std::strcmp(event->key, "Escape") == 0) {
        live->host.note("key escape");
        live->ending = true;
        return EM_TRUE;
    }
    const ShowKey key = showKeyOf(event->code);
    if (key == ShowKey::Other) return EM_FALSE;
    live->host.note(std::string("key ") + showKeyName(key));
    live->controls->keyPressed(key);
    return EM_TRUE;  // no scrolling on Space, the arrows and the page keys
}

// Leaving full screen ends the show, as Esc does (browsers take Esc for it);
// entering it fits the drawing buffer to the screen.
EM_BOOL onFullscreenChange(int, const EmscriptenFullscreenChangeEvent* event, void*) {
    if (live == nullptr) return EM_FALSE;
    if (!event->isFullscreen) {
        live->ending = true;
    } else {
        live->canvas.resize(screenPixelsWide(), screenPixelsHigh());
        live->host.drawableResized();
    }
    return EM_TRUE;
}

void failed(const char* text) {
    pageFailed(text, startFailureDetail().c_str());
}

}  // namespace

// The live show with the dialog's settings; 1 when it runs, 0 when it could
// not start (the page has been told why).
extern "C" EMSCRIPTEN_KEEPALIVE int sorvanelShow(int width, int height, int fullScreen,
                                                 int soundEnabled, int startMs, int controls,
                                                 int loop, int widescreen) {
    if (live != nullptr) return 0;  // one show per page, as one per program run
    live = new LiveShow;
    live->fullScreen = fullScreen != 0;
    char message[kMessageBufferSize] = {};
    ShowHost& host = live->host;
    if (!host.LoadModule(kModuleName, message)) {
        failed(message);
        return 0;
    }
    host.request(width, height, live->fullScreen);
    host.choosePictureShape(widescreen != 0 ? PictureShape::Widescreen : PictureShape::Composed);
    std::string error;
    if (!live->canvas.create(width, height, live->fullScreen, error)) {
        pageFailed(("Window could not be created! (" + error + ")").c_str(), "");
        return 0;
    }
    host.attach(live->canvas);
    drawLoadingBanner(host.state().clientWidth, host.state().clientHeight);
    live->canvas.present();  // shown while Init waits for the pictures and the sound
    if (!host.initialise({startMs, kLiveFramesPerSecond, false}, soundEnabled, message)) {
        host.close();
        failed(message);
        return 0;
    }
    host.setRunning(true);
    const ViewingOptions viewing{controls != 0, loop != 0, false};
    live->controls =
        std::make_unique<ShowControls>(host, viewing, kShowWindowTitle,
                                       [](const std::string& title) { pageTitle(title.c_str()); });
    emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_TRUE, onKeyDown);
    emscripten_set_fullscreenchange_callback(EMSCRIPTEN_EVENT_TARGET_DOCUMENT, nullptr, EM_TRUE,
                                             onFullscreenChange);
    emscripten_request_animation_frame_loop(onAnimationFrame, nullptr);
    return 1;
}

// The frame talvenor --shot S --size WxH [--fps N] [--widescreen] draws, to the
// page; 1 when it was handed over, 0 when the page has been told why not.
extern "C" EMSCRIPTEN_KEEPALIVE int sorvanelShot(int shotMs, int width, int height,
                                                 int framesPerSecond, int widescreen) {
    WebCanvas canvas;
    std::string error;
    if (!canvas.create(width, height, false, error)) {
        pageFailed(("error: " + error).c_str(), "");
        return 0;
    }
    std::vector<std::uint8_t> rgba;
    std::int64_t frame = 0;
    const ShotRequest request{kModuleName, shotMs, framesPerSecond,
                              widescreen != 0 ? PictureShape::Widescreen : PictureShape::Composed};
    if (shootFrame(request, canvas, rgba, frame, error) != ShotResult::Taken) {
        pageFailed(("error: " + error).c_str(), "");
        return 0;
    }
    pageShot(rgba.data(), width, height);
    return 1;
}
