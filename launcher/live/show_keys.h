// The keys the live show knows, whatever the window system calls them.
#pragma once

enum class ShowKey { Other, Space, Left, Right, PageUp, PageDown, Home, N, P };

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
        case ShowKey::Other:
            break;
    }
    return "other";
}
