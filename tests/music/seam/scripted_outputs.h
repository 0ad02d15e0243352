// Outputs of the test's own for the sound layer's seam (audio_output.h),
// linked in place of the desktop's: a device output that works as the page's
// AudioWorklet output does (no thread; it mixes ahead when told, in chunks,
// and keeps the clock from the frames the test says are heard) and a silent
// one that mixes nothing and keeps a clock the test sets. Each notes the
// layer's calls on it, so that a test can check their order.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct ScriptedOutputs {
    // Set before init: the device output cannot open.
    bool deviceFails = false;
    // The device output: what it was sent, by generation (each start, pause
    // or seek begins one), and how much of the current generation is heard.
    std::vector<std::vector<std::int16_t>> generations;
    std::int64_t heardFrames = 0;
    // The silent output's clock, while the song plays or is held.
    int silentMs = 0;
    // The layer's calls on either output: "playFrom 14000", "holdAt 1200",
    // "stopAt 1500", "closed".
    std::vector<std::string> calls;
    bool deviceOpen = false;
};

// The one record both outputs write to; reset by each test.
ScriptedOutputs& scripted();
