// Implements the live frame turn over the show host and the viewing
// controls.
#include "live/frame_turn.h"

bool playFrameTurn(ShowHost& host, ShowControls& controls) {
    if (!host.state().running) return true;
    if (controls.holdsPicture()) {
        controls.drawHeldPicture();
    } else {
        if (!host.renderFrame()) {
            // With --loop the next turn draws the show's beginning.
            return controls.startOver();
        }
        host.frameDrawn();
        controls.frameDrawn();
    }
    host.present();
    return true;
}
