// Where the layer's mix goes: a PulseAudio stream of the layer's own, the
// audio device through SDL2, or the silent output (a thread of the layer's
// own that pulls the mix at real-time pace and throws it away). Each calls
// the mix function from its own thread.
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

// The default device or the n-th listed: a PulseAudio stream where SDL
// would play through PulseAudio and a server answers, else SDL's driver.
// Null when no audio device can be opened (no driver, no hardware).
std::unique_ptr<AudioOutput> openSoundOutput(int driver, int rate, MixFunction mix);

// The two device outputs. SDL's: null when it cannot open the device.
std::unique_ptr<AudioOutput> openDeviceOutput(int driver, int rate, MixFunction mix);
// The stream over libpulse: null when no server answers (or the build has
// no libpulse).
std::unique_ptr<AudioOutput> openPulseOutput(int rate, MixFunction mix);

// Always succeeds; stops and joins its thread on destruction.
std::unique_ptr<AudioOutput> openSilentOutput(int rate, MixFunction mix);
