// Implements startSdlVideo over SDL_InitSubSystem and the environment's
// DISPLAY, WAYLAND_DISPLAY and SDL_VIDEODRIVER.
#include "window/sdl_video.h"

#include <SDL.h>

#include <cstdlib>
#include <cstring>

namespace {

// Drivers that draw nowhere a person could see.
bool showsWindows(const char* driver) {
    if (driver == nullptr) return false;
    for (const char* invisible : {"offscreen", "dummy", "evdev"}) {
        if (std::strcmp(driver, invisible) == 0) return false;
    }
    return true;
}

// Set and not empty.
bool environmentNames(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && value[0] != '\0';
}

}  // namespace

bool startSdlVideo(std::string& error) {
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
