// The presentation window over SDL2: one window with an OpenGL context (see
// sdl_gl_context.cpp for its kind and pixel format), the display-mode switch
// for full screen and the cursor. A Surface for the show host. Its events
// are read apart (sdl_events.h).
#pragma once

#include <string>

#include "host/surface.h"

struct SDL_Window;

class SdlWindow final : public Surface {
  public:
    SdlWindow() = default;
    SdlWindow(const SdlWindow&) = delete;
    SdlWindow& operator=(const SdlWindow&) = delete;
    ~SdlWindow() override;

    // Windowed: a normal top-level window whose client area is width x height.
    // Full screen: a borderless window at (0, 0) of that size, switched to the
    // display mode later by enterFullScreen; a size of 0 is the desktop's.
    // The context is current on return.
    // With samples > 0 the pixel format is multisampled: that many samples,
    // or fewer where the display offers fewer (samples() says how many).
    bool create(const char* title, int width, int height, bool fullScreen, int samples,
                std::string& error);
    // GL_SAMPLES of the window's framebuffer (0: not multisampled).
    int samples() const { return samples_; }
    void show();

    // Surface: the drawable's pixels, its context, the swap, and the SDL
    // window as the module's "device context".
    bool makeCurrent() override;
    void releaseContext() override;  // no context current, and the context deleted
    Size drawableSize() const override;
    void present() override;
    void* nativeHandle() const override;

    void setTitle(const char* title);
    // Swaps wait for the display: adaptive sync where the driver has it,
    // else plain vsync. Returns "adaptive", "vsync", or null when neither.
    const char* waitForDisplay();
    // The refresh rate of the display the window is on (Hz), or 0 when unknown.
    int refreshRate() const;

    // Switches the display to width x height (where the display can; with
    // desktop, keeps the desktop's mode) and makes the window cover the
    // whole display, whether or not a window manager does it;
    // leaveFullScreen restores the desktop mode.
    void enterFullScreen(int width, int height, bool desktop);
    void leaveFullScreen();
    void showCursor(bool visible);
    void hide();
    // Destroys the window.
    void destroy();

  private:
    // sdl_gl_context.cpp: the context on the window just made, current.
    bool createContext(int samplesAsked, std::string& error);

    int samples_ = 0;
    SDL_Window* window_ = nullptr;
    void* context_ = nullptr;
};
