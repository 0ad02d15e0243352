// The script's events described for people: which effects each one shows,
// in words, straight from its flag words.
#pragma once

#include <cstdint>
#include <string>

// The effects the two flag words select, in drawing order, comma-separated
// ("burst, credits"); clears are not named. "nothing" when none is selected.
std::string describeEventFlags(std::uint32_t sceneFlags, std::uint32_t overlayFlags);

// The first whole millisecond whose time in seconds (ms x 0.001, as the
// director computes it) is at or after `seconds`.
int firstMsAtOrAfter(double seconds);
