// The show in a browser: the page's entry points over the same show host the
// launcher uses, on the page's canvas. sorvanelShow fills a show request from
// the page's form and plays the live show on the canvas, one frame
// per animation frame (requestAnimationFrame), with the loading banner while
// Init runs, the viewing controls from the keyboard, Esc (or the page's end
// request) ending it with Done's fade, and the page told at the end. The
// drawing buffer follows the size the page wants for it (the canvas's size
// on the page times the device's pixel ratio), checked every frame, so a
// change is drawn within a frame or two whenever it happens. sorvanelShot
// draws the frame talvenor --shot draws and hands it to the page. Init runs
// inside an asynchronous call (Asyncify), so the browser can decode the
// pictures and start the sound while it waits.
#include <emscripten/emscripten.h>
#include <emscripten/html5.h>

#include <string>
#include <vector>

#include "capture/shot_frame.h"
#include "host/show_request.h"
#include "live/frame_turn.h"
#include "live/loading_banner.h"
#include "live/presentation.h"
#include "live/show_keys.h"
#include "web/show/page_show.h"
#include "web/show/page_texts.h"

namespace {

constexpr const char* kModuleName = "sorvanel.dmd";

// clang-format off
EM_JS(void, pageFailed, (const char* text, const char* detail), {
    Page.failed(UTF8ToString(text), UTF8ToString(detail));
});
EM_JS(void, pageEnded, (), { Page.ended(); });
EM_JS(void, pageTitle, (const char* text), { Page.title(UTF8ToString(text)); });
EM_JS(void, pageShowStarted, (const char* json), { Page.showStarted(JSON.parse(UTF8ToString(json))); });
EM_JS(void, pageShot, (const std::uint8_t* rgba, int width, int height), {
    Page.shot(HEAPU8.subarray(rgba, rgba + width * height * 4), width, height);
});
// The drawing buffer's size the page wants now, width * 65536 + height (0:
// no wish yet).
EM_JS(int, pageWantedBufferSize, (), {
    const size = CanvasSizing.bufferSize();
    return size ? size[0] * 65536 + size[1] : 0;
});
// clang-format on

PageShow* live = nullptr;

// The tear-down in its order: the context released, then the module's Done
// (its fade) and the module released; then the page takes over.
void endShow() {
    if (live == nullptr) return;
    emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_TRUE, nullptr);
    live->controls.reset();
    live->host.close();
    delete live;
    live = nullptr;
    pageEnded();
}

// The drawing buffer to the size the page wants, where it differs.
void followCanvasSize() {
    const int wanted = pageWantedBufferSize();
    if (wanted <= 0) return;
    const int width = wanted / 65536;
    const int height = wanted % 65536;
    const Surface::Size now = live->canvas.drawableSize();
    if (width == now.width && height == now.height) return;
    live->canvas.resize(width, height);
    live->host.drawableResized();
}

EM_BOOL onAnimationFrame(double, void*) {
    if (live == nullptr) return EM_FALSE;
    if (!live->ending) followCanvasSize();
    if (live->ending || !playFrameTurn(live->host, *live->controls)) {
        endShow();
        return EM_FALSE;
    }
    return EM_TRUE;
}

EM_BOOL onKeyDown(int, const EmscriptenKeyboardEvent* event, void*) {
    if (live == nullptr || live->controls == nullptr) return EM_FALSE;
    const ShowKey key = showKeyForCode(event->code);
    if (key == ShowKey::Escape) {
        live->host.note("key escape");
        live->ending = true;
        return EM_TRUE;
    }
    // Without the controls the keys are the page's (the player bar's own).
    if (key == ShowKey::Other || !live->controls->keysOn()) return EM_FALSE;
    live->host.note(std::string("key ") + showKeyName(key));
    live->controls->keyPressed(key);
    return EM_TRUE;  // no scrolling on Space, the arrows and the page keys
}

void failed(const char* text) {
    pageFailed(text, startFailureDetail().c_str());
}

// The live show the request asks for, on the canvas at its size: true when
// it runs, false when it could not start (the page has been told why).
bool startLiveShow(const ShowRequest& request) {
    if (live != nullptr) return false;  // one show per page, as one per program run
    live = new PageShow;
    char message[kMessageBufferSize] = {};
    ShowHost& host = live->host;
    if (!host.LoadModule(request.moduleName, message)) {
        failed(message);
        return false;
    }
    if (const std::string past = startPastTheEndText(request.startMs, host.showEndMs());
        !past.empty()) {
        pageFailed(past.c_str(), "");
        return false;
    }
    host.request(request);
    std::string error;
    if (!live->canvas.create(request.width, request.height, request.msaa, error)) {
        pageFailed(("Window could not be created! (" + error + ")").c_str(), "");
        return false;
    }
    host.attach(live->canvas);
    // Shown while Init waits for the pictures and the sound.
    live->canvas.drawSingleSampledAndPresent(
        [&host] { drawLoadingBanner(host.state().clientWidth, host.state().clientHeight); });
    if (!host.initialise(message)) {
        host.close();
        failed(message);
        return false;
    }
    host.setRunning(true);
    live->controls = std::make_unique<ShowControls>(
        host, kShowWindowTitle, [](const std::string& title) { pageTitle(title.c_str()); });
    pageShowStarted(playerScriptJson(*live->controls, host.exports()).c_str());
    emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_TRUE, onKeyDown);
    emscripten_request_animation_frame_loop(onAnimationFrame, nullptr);
    return true;
}

}  // namespace

PageShow* pageShow() {
    return live;
}

// The live show with the form's settings (start and audio offset from the
// address); width x height is the drawing buffer's first size. 1 when it
// runs, 0 when it could not start (the page has been told why).
extern "C" EMSCRIPTEN_KEEPALIVE int sorvanelShow(int width, int height, int fullScreen,
                                                 int soundEnabled, int startMs, int controls,
                                                 int loop, int widescreen, int audioOffsetMs,
                                                 int msaa) {
    ShowRequest request;
    request.moduleName = kModuleName;
    request.width = width;
    request.height = height;
    request.fullScreen = fullScreen != 0;
    request.soundEnabled = soundEnabled != 0;
    request.startMs = startMs;
    request.shape = widescreen != 0 ? PictureShape::Widescreen : PictureShape::Composed;
    request.viewing = {controls != 0, loop != 0, false};
    request.msaa = msaa;
    request.audioOffsetMs = audioOffsetMs;
    return startLiveShow(request) ? 1 : 0;
}

// Ends the show as Esc does (the player's leave button, or a full screen the
// show was started in left by the browser's own means).
extern "C" EMSCRIPTEN_KEEPALIVE void sorvanelEnd() {
    if (live == nullptr) return;
    live->host.note("end requested");
    live->ending = true;
}

// The frame talvenor --shot S --size WxH [--fps N] [--widescreen] [--msaa N] draws, to the
// page; 1 when it was handed over, 0 when the page has been told why not.
extern "C" EMSCRIPTEN_KEEPALIVE int sorvanelShot(int shotMs, int width, int height,
                                                 int framesPerSecond, int widescreen, int msaa) {
    WebCanvas canvas;
    std::string error;
    if (!canvas.create(width, height, msaa, error)) {
        pageFailed(
            ("error: size=" + std::to_string(width) + "x" + std::to_string(height) + ": " + error)
                .c_str(),
            "");
        return 0;
    }
    std::vector<std::uint8_t> rgba;
    std::int64_t frame = 0;
    const ShotRequest request{kModuleName, shotMs, framesPerSecond,
                              widescreen != 0 ? PictureShape::Widescreen : PictureShape::Composed};
    switch (shootFrame(request, canvas, rgba, frame, error)) {
        case ShotResult::Taken:
            pageShot(rgba.data(), width, height);
            return 1;
        case ShotResult::PastTheEnd:
            pageFailed(shotPastTheEndText(frame, framesPerSecond, error).c_str(), "");
            return 0;
        case ShotResult::Failed:
            break;
    }
    pageFailed(("error: " + error).c_str(), "");
    return 0;
}
