// The song as the module mixes it, offline: the song player on the offline
// output (the module's own settings: 44,100 Hz stereo, 8-tap interpolation,
// the volume glide, 16-bit rounding) from a start time, optionally with the
// show's closing fade laid on it as Done lays it: 256 master volume steps,
// 256 first and 1 last, each 4 ms of song after the one before. The same
// code in the page and natively, so their samples can be held side by side.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct OfflineSongMix {
    int startMs = 0;
    int frames = 0;
    int fadeFromFrame = -1;  // the first volume step comes 4 ms after this frame; -1: no fade
};

// False with `error` when the song cannot be loaded.
bool mixSongOffline(const char* songPath, const OfflineSongMix& request,
                    std::vector<std::int16_t>& interleavedStereo, std::string& error);
