// The page's one live show, shared by the page's entry points: the show
// itself (web_show.cpp), the player bar's (web_player.cpp).
#pragma once

#include <memory>

#include "host/show_host.h"
#include "live/show_controls.h"
#include "web/platform/web_canvas.h"

struct PageShow {
    WebCanvas canvas;
    ShowHost host;
    std::unique_ptr<ShowControls> controls;  // once Init has returned
    bool ending = false;                     // ends at the next animation frame
};

// The show while it loads or runs, else nullptr.
PageShow* pageShow();
