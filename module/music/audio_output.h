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
    // Runs `change` (a seek or a pause) while no mix can run, and when it
    // returns true drops what was mixed but not yet played, where the output
    // holds enough of it to be heard. The output's own lock is taken before
    // the layer's, in the same order as its mixing thread takes them.
    virtual bool changeAndDiscard(const std::function<bool()>& change) { return change(); }
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
