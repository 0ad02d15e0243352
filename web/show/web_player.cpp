// The player bar's entry points (player_bar.js): pause and play, seeks to a
// song time, to the next or previous event and by 5 s, through the same
// viewing controls the keys drive; and where the show stands, for the bar's
// clock and seek bar.
#include <emscripten/emscripten.h>

#include "web/show/page_show.h"

namespace {

// The page's player actions; the numbers are player_bar.js's.
enum PlayerAction {
    kPause = 1,
    kPlay = 2,
    kSeekTo = 3,  // value: song time in ms
    kNextEvent = 4,
    kPreviousEvent = 5,
    kBackFive = 6,
    kOnFive = 7,
};

ShowControls* runningControls() {
    PageShow* show = pageShow();
    return show != nullptr && !show->ending ? show->controls.get() : nullptr;
}

}  // namespace

// 1 when the action was taken, 0 when there is no running show that can
// seek and pause.
extern "C" EMSCRIPTEN_KEEPALIVE int sorvanelPlayer(int action, int value) {
    ShowControls* controls = runningControls();
    if (controls == nullptr || !controls->canSeekAndPause()) return 0;
    switch (action) {
        case kPause:
            controls->setPaused(true);
            return 1;
        case kPlay:
            controls->setPaused(false);
            return 1;
        case kSeekTo:
            controls->seekTo(value);
            return 1;
        case kNextEvent:
            controls->seekAsKey(ShowKey::N);
            return 1;
        case kPreviousEvent:
            controls->seekAsKey(ShowKey::P);
            return 1;
        case kBackFive:
            controls->seekAsKey(ShowKey::Left);
            return 1;
        case kOnFive:
            controls->seekAsKey(ShowKey::Right);
            return 1;
        default:
            return 0;
    }
}

// The song time the next frame shows, in ms; -1 without a running show.
extern "C" EMSCRIPTEN_KEEPALIVE int sorvanelPlayerTimeMs() {
    const ShowControls* controls = runningControls();
    return controls != nullptr ? controls->songTimeMs() : -1;
}

extern "C" EMSCRIPTEN_KEEPALIVE int sorvanelPlayerPaused() {
    const ShowControls* controls = runningControls();
    return controls != nullptr && controls->paused() ? 1 : 0;
}
