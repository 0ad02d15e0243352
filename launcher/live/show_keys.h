// The keys the live show knows, and which they are among the keys a
// platform passes on by the names web browsers give them (KeyboardEvent.code):
// the SDL window's events and the page's keydown both name keys so. Plain
// code.
#pragma once

#include <string_view>

enum class ShowKey {
    Other,
    Escape,  // ends the show
    Space,
    Left,
    Right,
    PageUp,
    PageDown,
    Home,
    N,
    P,
    SoundEarlier,  // '[': the picture waits 5 ms less for the sound
    SoundLater,    // ']': 5 ms more
};

// The key's name in words ("space", "page-down", ...), for the host's steps.
constexpr const char* showKeyName(ShowKey key) {
    switch (key) {
        case ShowKey::Space:
            return "space";
        case ShowKey::Left:
            return "left";
        case ShowKey::Right:
            return "right";
        case ShowKey::PageUp:
            return "page-up";
        case ShowKey::PageDown:
            return "page-down";
        case ShowKey::Home:
            return "home";
        case ShowKey::N:
            return "n";
        case ShowKey::P:
            return "p";
        case ShowKey::SoundEarlier:
            return "bracket-left";
        case ShowKey::SoundLater:
            return "bracket-right";
        case ShowKey::Escape:
            return "escape";
        case ShowKey::Other:
            break;
    }
    return "other";
}

// The show's key for a key named as KeyboardEvent.code names it ("Space",
// "ArrowLeft", "KeyN", "BracketLeft", ...); Other for any other name.
constexpr ShowKey showKeyForCode(std::string_view code) {
    struct Named {
        std::string_view code;
        ShowKey key;
    };
    constexpr Named kKeys[] = {
        {"Escape", ShowKey::Escape},
        {"Space", ShowKey::Space},
        {"ArrowLeft", ShowKey::Left},
        {"ArrowRight", ShowKey::Right},
        {"PageUp", ShowKey::PageUp},
        {"PageDown", ShowKey::PageDown},
        {"Home", ShowKey::Home},
        {"KeyN", ShowKey::N},
        {"KeyP", ShowKey::P},
        {"BracketLeft", ShowKey::SoundEarlier},
        {"BracketRight", ShowKey::SoundLater},
    };
    for (const Named& k : kKeys) {
        if (k.code == code) return k.key;
    }
    return ShowKey::Other;
}
