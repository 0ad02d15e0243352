// The SDL event queue as the show reads it, one event at a time, each key
// passed on by a platform-neutral name for the live layer to map. Needs SDL's
// video started (the SDL window's create).
#pragma once

#include <string>

struct WindowEvent {
    enum class Kind { None, CloseRequest, Resized, KeyPressed, Other };
    Kind kind = Kind::None;  // None: the queue was empty
    // Kind::KeyPressed: the key's name as web browsers name it
    // (KeyboardEvent.code: "Escape", "Space", "ArrowLeft", "PageDown",
    // "KeyN", "BracketLeft", ...); empty for a key with no name here.
    std::string keyCode;
};

// Takes one event from the queue.
WindowEvent pollWindowEvent();
