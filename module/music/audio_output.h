// Where the layer's mix goes: the audio device (SDL2) or the silent output
// (a thread of the layer's own that pulls the mix at real-time pace and
// throws it away). Both call the mix function from their own thread.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

// Fills `frames` interleaved stereo frames; `latencyFrames` is the audio
// already queued ahead of them.
using MixFunction = std::function<void(std::int16_t* out, int frames, int latencyFrames)>;

class AudioOutput {
  public:
    virtual ~AudioOutput() = default;
};

// Null when no audio device can be opened (no driver, no hardware).
std::unique_ptr<AudioOutput> openDeviceOutput(int driver, int rate, MixFunction mix);

// Always succeeds; stops and joins its thread on destruction.
std::unique_ptr<AudioOutput> openSilentOutput(int rate, MixFunction mix);
