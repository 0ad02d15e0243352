// What one live show is asked to be: the module, the size, full screen,
// sound, where it starts, the picture's shape, the viewing options, the
// samples a pixel and the audio offset. The command line, the settings dialog
// and the web page each fill one; the drivers (the SDL window's presentation,
// the page's canvas) and the show host take it. Plain data.
#pragma once

#include <functional>
#include <string>

#include "host/picture_frame.h"

// Width and height that ask for the screen's own size: a full-screen show
// with no display-mode switch.
constexpr int kDesktopSize = 0;

struct ViewingOptions {
    bool controls = false;  // pause and seek keys, time and event in the title
    bool loop = false;      // start over at the end
    bool vsync = false;     // swaps wait for the display
};

struct ShowRequest {
    std::string moduleName;
    int width = 640;  // kDesktopSize (with height) for the screen's own size
    int height = 480;
    bool fullScreen = false;
    bool soundEnabled = true;
    int startMs = 0;  // the song time the show begins at
    PictureShape shape = PictureShape::Composed;
    ViewingOptions viewing;
    int msaa = 0;           // samples a pixel asked for the drawable (0: not multisampled)
    int audioOffsetMs = 0;  // how much later than its output reports the sound is heard
    // Called once the show is on screen, before the module's Init (the
    // settings dialog hides itself then); empty for none.
    std::function<void()> onShown;
};
