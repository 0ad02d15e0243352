// The presentation window over SDL2: one window with a compatibility OpenGL
// 2.1 context, or OpenGL ES 3.0 in the build on the GL subset (RGBA, double
// buffer, at least 16 bits of depth), its events,
// the display-mode switch for full screen and the cursor.
#pragma once

#include <cstdint>
#include <string>

struct SDL_Window;

class SdlWindow {
  public:
    enum class Event { None, CloseRequest, EscapePressed, Resized, KeyPressed, Other };
    // The keys the show's opt-in controls use (Event::KeyPressed, lastKey()).
    enum class Key { Other, Space, Left, Right, PageUp, PageDown, Home, N, P };

    SdlWindow() = default;
    SdlWindow(const SdlWindow&) = delete;
    SdlWindow& operator=(const SdlWindow&) = delete;
    ~SdlWindow();

    // Windowed: a normal top-level window whose client area is width x height.
    // Full screen: a borderless window at (0, 0) of that size, switched to the
    // display mode later by enterFullScreen; a size of 0 is the desktop's.
    // The context is current on return.
    bool create(const char* title, int width, int height, bool fullScreen, std::string& error);
    void show();
    // Pixels of the drawable area.
    int clientWidth() const;
    int clientHeight() const;
    // Handed to the module as its "device context": the SDL window.
    void* nativeHandle() const;

    // Takes one event from the queue; Event::None when it was empty.
    Event poll();
    // The key of the last Event::KeyPressed.
    Key lastKey() const { return lastKey_; }
    void setTitle(const char* title);
    // Swaps wait for the display: adaptive sync where the driver has it,
    // else plain vsync. Returns "adaptive", "vsync", or null when neither.
    const char* waitForDisplay();
    void swapBuffers();

    // Switches the display to width x height (where the display can; with
    // desktop, keeps the desktop's mode) and makes the window cover the
    // whole display, whether or not a window manager does it;
    // leaveFullScreen restores the desktop mode.
    void enterFullScreen(int width, int height, bool desktop);
    void leaveFullScreen();
    void showCursor(bool visible);
    // Makes no context current and deletes the context.
    void releaseContext();
    void hide();
    // Destroys the window.
    void destroy();

    static std::uint32_t ticks();

  private:
    SDL_Window* window_ = nullptr;
    void* context_ = nullptr;
    Key lastKey_ = Key::Other;
};
