// One idle turn of the live show, whatever drives the turns (the SDL event
// loop, a browser's animation frames): the held picture while paused, else
// the module's frame, then the present.
#pragma once

#include "host/show_host.h"
#include "live/show_controls.h"

// False when the show has ended (the module said so and --loop did not start
// it over); nothing is presented then.
bool playFrameTurn(ShowHost& host, ShowControls& controls);
