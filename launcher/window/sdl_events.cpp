// Implements pollWindowEvent over SDL_PollEvent: close requests, size
// changes and key presses. Keys are named from their SDL key codes (the
// layout's letters, as typed): letters, digits and the few other keys a show
// can use.
#include "window/sdl_events.h"

#include <SDL.h>

namespace {

std::string keyCodeOf(SDL_Keycode key) {
    if (key >= SDLK_a && key <= SDLK_z) {
        return std::string("Key") + static_cast<char>('A' + (key - SDLK_a));
    }
    if (key >= SDLK_0 && key <= SDLK_9) return std::string("Digit") + static_cast<char>(key);
    struct Named {
        SDL_Keycode key;
        const char* code;
    };
    static constexpr Named kNames[] = {
        {SDLK_ESCAPE, "Escape"},
        {SDLK_SPACE, "Space"},
        {SDLK_LEFT, "ArrowLeft"},
        {SDLK_RIGHT, "ArrowRight"},
        {SDLK_PAGEUP, "PageUp"},
        {SDLK_PAGEDOWN, "PageDown"},
        {SDLK_HOME, "Home"},
        {SDLK_LEFTBRACKET, "BracketLeft"},
        {SDLK_RIGHTBRACKET, "BracketRight"},
    };
    for (const Named& n : kNames) {
        if (n.key == key) return n.code;
    }
    return {};
}

}  // namespace

WindowEvent pollWindowEvent() {
    SDL_Event e;
    WindowEvent event;
    if (SDL_PollEvent(&e) == 0) return event;
    event.kind = WindowEvent::Kind::Other;
    switch (e.type) {
        case SDL_QUIT:
            event.kind = WindowEvent::Kind::CloseRequest;
            break;
        case SDL_WINDOWEVENT:
            if (e.window.event == SDL_WINDOWEVENT_CLOSE) {
                event.kind = WindowEvent::Kind::CloseRequest;
            } else if (e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
                event.kind = WindowEvent::Kind::Resized;
            }
            break;
        case SDL_KEYDOWN:
            event.kind = WindowEvent::Kind::KeyPressed;
            event.keyCode = keyCodeOf(e.key.keysym.sym);
            break;
        default:
            break;
    }
    return event;
}
