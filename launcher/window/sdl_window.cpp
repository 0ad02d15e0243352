// Implements the SDL window itself: making it (after SDL's video and the
// context's attributes), showing and hiding it, its title, the display mode
// for full screen (with the X11 cover where no window manager helps), the
// cursor and its destruction, over SDL2's video calls.
#include "window/sdl_window.h"

#include <SDL.h>

#include "window/sdl_gl_context.h"
#include "window/sdl_video.h"
#include "window/x11_cover.h"

namespace {

int displayOf(SDL_Window* window) {
    const int display = window != nullptr ? SDL_GetWindowDisplayIndex(window) : 0;
    return display < 0 ? 0 : display;
}

}  // namespace

SdlWindow::~SdlWindow() {
    releaseContext();
    destroy();
}

bool SdlWindow::create(const char* title, int width, int height, bool fullScreen, int samples,
                       std::string& error) {
    if (!startSdlVideo(error) || !prepareSdlGlContext(error)) return false;

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
        askSdlGlSamples(asked);
        window_ = SDL_CreateWindow(title, x, y, width, height, flags);
        if (window_ != nullptr || asked <= 2) break;
    }
    if (window_ == nullptr) {
        error = SDL_GetError();
        if (samples > 1) error = "no multisampled pixel format on this display: " + error;
        return false;
    }
    return createContext(samples, error);
}

void SdlWindow::show() {
    SDL_ShowWindow(window_);
    SDL_RaiseWindow(window_);
    SDL_PumpEvents();
}

Surface::Size SdlWindow::drawableSize() const {
    Size size;
    SDL_GL_GetDrawableSize(window_, &size.width, &size.height);
    return size;
}

void* SdlWindow::nativeHandle() const {
    return window_;
}

void SdlWindow::setTitle(const char* title) {
    if (window_ != nullptr) SDL_SetWindowTitle(window_, title);
}

int SdlWindow::refreshRate() const {
    SDL_DisplayMode mode{};
    if (window_ == nullptr || SDL_GetWindowDisplayMode(window_, &mode) != 0) return 0;
    return mode.refresh_rate;
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
