// Implements coverX11Area with Xlib on the connection SDL uses.
#include "window/x11_cover.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>

#include <chrono>
#include <thread>

namespace {

struct Geometry {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

bool rootGeometry(Display* display, Window window, Geometry& out) {
    XWindowAttributes attributes;
    if (XGetWindowAttributes(display, window, &attributes) == 0) return false;
    Window child = 0;
    if (XTranslateCoordinates(display, window, attributes.root, 0, 0, &out.x, &out.y, &child) ==
        0) {
        return false;
    }
    out.width = attributes.width;
    out.height = attributes.height;
    return true;
}

bool covers(const Geometry& g, int x, int y, int width, int height) {
    return g.x == x && g.y == y && g.width == width && g.height == height;
}

}  // namespace

bool coverX11Area(SDL_Window* window, int x, int y, int width, int height) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWindowWMInfo(window, &info) != SDL_TRUE || info.subsystem != SDL_SYSWM_X11) {
        return false;
    }
    Display* display = info.info.x11.display;
    const Window xWindow = info.info.x11.window;
    Geometry g;
    // A window manager may take a moment to answer SDL's request.
    const auto grace = std::chrono::steady_clock::now() + std::chrono::milliseconds(250);
    for (;;) {
        SDL_PumpEvents();
        if (!rootGeometry(display, xWindow, g)) return false;
        if (covers(g, x, y, width, height)) return true;
        if (std::chrono::steady_clock::now() >= grace) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }

    XMoveResizeWindow(display, xWindow, x, y, static_cast<unsigned>(width),
                      static_cast<unsigned>(height));
    XRaiseWindow(display, xWindow);
    XSync(display, False);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(1);
    while (std::chrono::steady_clock::now() < deadline) {
        SDL_PumpEvents();  // SDL sees the new size through its own event queue
        if (rootGeometry(display, xWindow, g) && covers(g, x, y, width, height)) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}
