// Implements SdlWindow over SDL2's video, events and OpenGL context calls.
#include "platforms/sdl_window.h"

#include <SDL.h>

#include <cstdlib>
#include <cstring>

#include "platforms/show_gl_api.h"
#include "platforms/x11_cover.h"

namespace {

int displayOf(SDL_Window* window) {
    const int display = window != nullptr ? SDL_GetWindowDisplayIndex(window) : 0;
    return display < 0 ? 0 : display;
}

ShowKey keyOf(SDL_Keycode code) {
    switch (code) {
        case SDLK_SPACE:
            return ShowKey::Space;
        case SDLK_LEFT:
            return ShowKey::Left;
        case SDLK_RIGHT:
            return ShowKey::Right;
        case SDLK_PAGEUP:
            return ShowKey::PageUp;
        case SDLK_PAGEDOWN:
            return ShowKey::PageDown;
        case SDLK_HOME:
            return ShowKey::Home;
        case SDLK_n:
            return ShowKey::N;
        case SDLK_p:
            return ShowKey::P;
        case SDLK_LEFTBRACKET:
            return ShowKey::SoundEarlier;
        case SDLK_RIGHTBRACKET:
            return ShowKey::SoundLater;
        default:
            return ShowKey::Other;
    }
}

// Drivers that draw nowhere a person could see.
bool showsWindows(const char* driver) {
    if (driver == nullptr) return false;
    for (const char* invisible : {"offscreen", "dummy", "evdev"}) {
        if (std::strcmp(driver, invisible) == 0) return false;
    }
    return true;
}

// A desktop OpenGL 2.1 compatibility context, or for the show built on the GL
// subset an OpenGL ES 3.0 one, made through EGL also on X11 (the subset asks
// EGL which context is current). SDL 2.26 on X11 still opens libGL to look at
// GLX first; no call goes through it.
void setContextAttributes() {
    const bool es = kShowGlApi == GlApi::Es30;
    if (es) SDL_SetHint(SDL_HINT_VIDEO_X11_FORCE_EGL, "1");
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, es ? 3 : 2);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, es ? 0 : 1);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, es ? SDL_GL_CONTEXT_PROFILE_ES : 0);
}

// Set and not empty.
bool environmentNames(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && value[0] != '\0';
}

// Starts SDL's video on a driver that shows windows. Without a display SDL
// finds no video device, or falls back to drivers that show nothing: a show
// nobody can see is no show. Where a display is named and SDL chooses its
// own driver, a display that did not answer just then (a busy X server may
// refuse a connection) is asked again, four times over about a second.
bool startVideo(std::string& error) {
    constexpr const char* kAdvice =
        "; set DISPLAY or WAYLAND_DISPLAY (captures and shots need no screen)";
    constexpr int kTries = 4;
    constexpr Uint32 kPauseMs = 250;
    const bool displayNamed = environmentNames("DISPLAY") || environmentNames("WAYLAND_DISPLAY");
    const bool driverChosen = environmentNames("SDL_VIDEODRIVER");
    for (int attempt = 1;; ++attempt) {
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
            error = std::string("no screen to show the window on: ") + SDL_GetError();
        } else {
            const char* driver = SDL_GetCurrentVideoDriver();
            if (showsWindows(driver)) return true;
            error = std::string("no screen to show the window on: SDL's video driver is '") +
                    (driver != nullptr ? driver : "none") + "'";
            SDL_QuitSubSystem(SDL_INIT_VIDEO);
        }
        if (!displayNamed || driverChosen || attempt == kTries) break;
        SDL_Delay(kPauseMs);
    }
    error += displayNamed && !driverChosen
                 ? " (the display named in DISPLAY or WAYLAND_DISPLAY did not answer)"
                 : kAdvice;
    return false;
}

}  // namespace

SdlWindow::~SdlWindow() {
    releaseContext();
    destroy();
}

bool SdlWindow::create(const char* title, int width, int height, bool fullScreen, int samples,
                       std::string& error) {
    if (!startVideo(error)) return false;
    // The context's kind decides which GL library SDL loads: set it first.
    setContextAttributes();
    // Hold the GL library for the rest of the process, so destroying the
    // window does not unload the driver (see destroy()).
    static const bool glLibraryHeld = SDL_GL_LoadLibrary(nullptr) == 0;
    if (!glLibraryHeld) {
        error = SDL_GetError();
        return false;
    }
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);

    // High-DPI: the drawable has the screen's pixels, which the viewport uses.
    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN | SDL_WINDOW_ALLOW_HIGHDPI;
    int x = SDL_WINDOWPOS_UNDEFINED;
    int y = SDL_WINDOWPOS_UNDEFINED;
    SDL_Rect bounds{0, 0, width, height};
    if (width == 0 || height == 0) {
        if (SDL_GetDisplayBounds(0, &bounds) != 0) {
            error = SDL_GetError();
            return false;
        }
        width = bounds.w;
        height = bounds.h;
    }
    if (fullScreen) {
        flags |= SDL_WINDOW_BORDERLESS;
        x = bounds.x;
        y = bounds.y;
    }
    // A display without a format of that many samples may have one of fewer.
    for (int asked = samples;; asked /= 2) {
        SDL_GL_SetAttribute(SDL_GL_MULTISAMPLEBUFFERS, asked > 1 ? 1 : 0);
        SDL_GL_SetAttribute(SDL_GL_MULTISAMPLESAMPLES, asked > 1 ? asked : 0);
        window_ = SDL_CreateWindow(title, x, y, width, height, flags);
        if (window_ != nullptr || asked <= 2) break;
    }
    if (window_ == nullptr) {
        error = SDL_GetError();
        if (samples > 1) error = "no multisampled pixel format on this display: " + error;
        return false;
    }
    context_ = SDL_GL_CreateContext(window_);
    if (context_ == nullptr) {
        error = SDL_GetError();
        return false;
    }
    if (SDL_GL_MakeCurrent(window_, context_) != 0) {
        error = SDL_GetError();
        return false;
    }
    // What the context really has (SDL asks GL for GL_SAMPLES).
    samples_ = 0;
    if (samples > 1 && SDL_GL_GetAttribute(SDL_GL_MULTISAMPLESAMPLES, &samples_) != 0) samples_ = 0;
    return true;
}

void SdlWindow::show() {
    SDL_ShowWindow(window_);
    SDL_RaiseWindow(window_);
    SDL_PumpEvents();
}

bool SdlWindow::makeCurrent() {
    return window_ != nullptr && context_ != nullptr && SDL_GL_MakeCurrent(window_, context_) == 0;
}

int SdlWindow::drawableWidth() const {
    int w = 0;
    int h = 0;
    SDL_GL_GetDrawableSize(window_, &w, &h);
    return w;
}

int SdlWindow::drawableHeight() const {
    int w = 0;
    int h = 0;
    SDL_GL_GetDrawableSize(window_, &w, &h);
    return h;
}

void* SdlWindow::nativeHandle() const {
    return window_;
}

SdlWindow::Event SdlWindow::poll() {
    SDL_Event e;
    if (SDL_PollEvent(&e) == 0) return Event::None;
    switch (e.type) {
        case SDL_QUIT:
            return Event::CloseRequest;
        case SDL_WINDOWEVENT:
            if (e.window.event == SDL_WINDOWEVENT_CLOSE) return Event::CloseRequest;
            if (e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) return Event::Resized;
            return Event::Other;
        case SDL_KEYDOWN:
            // Escape ends the show; the frame loop swallows the others unless
            // the controls are on.
            if (e.key.keysym.sym == SDLK_ESCAPE) return Event::EscapePressed;
            lastKey_ = keyOf(e.key.keysym.sym);
            return Event::KeyPressed;
        default:
            return Event::Other;
    }
}

void SdlWindow::setTitle(const char* title) {
    if (window_ != nullptr) SDL_SetWindowTitle(window_, title);
}

const char* SdlWindow::waitForDisplay() {
    if (SDL_GL_SetSwapInterval(-1) == 0) return "adaptive";
    if (SDL_GL_SetSwapInterval(1) == 0) return "vsync";
    return nullptr;
}

int SdlWindow::refreshRate() const {
    SDL_DisplayMode mode{};
    if (window_ == nullptr || SDL_GetWindowDisplayMode(window_, &mode) != 0) return 0;
    return mode.refresh_rate;
}

void SdlWindow::present() {
    SDL_GL_SwapWindow(window_);
}

void SdlWindow::enterFullScreen(int width, int height, bool desktop) {
    const int display = displayOf(window_);
    if (desktop) {
        SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN_DESKTOP);
    } else {
        SDL_DisplayMode wanted{};
        wanted.w = width;
        wanted.h = height;
        SDL_DisplayMode closest{};
        if (SDL_GetClosestDisplayMode(display, &wanted, &closest) != nullptr) {
            SDL_SetWindowDisplayMode(window_, &closest);
        }
        SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN);
    }
    // Whatever the mode became, the window covers the display. Off X11 (or
    // where it already does) this changes nothing.
    SDL_Rect bounds{};
    if (SDL_GetDisplayBounds(display, &bounds) == 0) {
        coverX11Area(window_, bounds.x, bounds.y, bounds.w, bounds.h);
    }
    SDL_PumpEvents();
}

void SdlWindow::leaveFullScreen() {
    if (window_ != nullptr) SDL_SetWindowFullscreen(window_, 0);
}

void SdlWindow::showCursor(bool visible) {
    SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE);
}

void SdlWindow::releaseContext() {
    if (context_ == nullptr) return;
    SDL_GL_MakeCurrent(window_, nullptr);
    SDL_GL_DeleteContext(context_);
    context_ = nullptr;
}

void SdlWindow::hide() {
    if (window_ != nullptr) SDL_HideWindow(window_);
}

void SdlWindow::destroy() {
    if (window_ != nullptr) {
        SDL_DestroyWindow(window_);
        window_ = nullptr;
    }
    // SDL's video subsystem stays up until the process ends (one show per
    // run). Shutting it down would unload the GL driver mid-process, which
    // buys nothing and leaves the driver's lasting allocations without a
    // name for leak checkers.
}
