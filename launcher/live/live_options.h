// The live show's options beyond the settings dialog's three: the picture's
// shape, where the show starts, and the opt-in viewing options. The dialog
// has no controls for them; the command line sets them once, before the show.
#pragma once

#include "host/picture_frame.h"

struct ViewingOptions {
    bool controls = false;  // pause and seek keys, time and event in the title
    bool loop = false;      // start over at the end
    bool vsync = false;     // swaps wait for the display
};

struct LiveOptions {
    PictureShape shape = PictureShape::Composed;  // --widescreen opens it out
    int startMs = 0;                              // --start
    int audioOffsetMs = 0;                        // --audio-offset
    ViewingOptions viewing;
    int msaa = 0;  // --msaa: samples a pixel asked for the window
};

void setLiveOptions(const LiveOptions& options);
const LiveOptions& liveOptions();
