// Where a control key takes the show, as plain arithmetic over the song time,
// the script's event starts and the show's end.
#pragma once

#include <vector>

#include "live/show_keys.h"

// The song time in ms a key seeks to, or -1 for a key that does not seek.
// eventStartsMs are the script's event starts in order; endMs is the show's
// end (-1: none). Seeks stay within 0 .. endMs - 1.
int controlTargetMs(ShowKey key, int nowMs, const std::vector<int>& eventStartsMs, int endMs);

// The 1-based number of the event holding songMs (0 without events).
int eventNumberAt(int songMs, const std::vector<int>& eventStartsMs);
