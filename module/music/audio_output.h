// Where the sound layer's mix goes: the seam between the layer (one front on
// every platform, sound_layer.cpp) and what plays it. On the desktop: a
// PulseAudio stream of the layer's own, the audio device through SDL2, or the
// silent output (a thread of the layer's own that pulls the mix at real-time
// pace and throws it away), each calling the mix function from its own
// thread. In a browser (web/platform/): the page's AudioWorklet, fed from the
// page's one thread, and the page's silent clock, which mixes nothing.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

// Fills `frames` interleaved stereo frames; `latencyFrames` is the audio
// already queued ahead of them.
using MixFunction = std::function<void(std::int16_t* out, int frames, int latencyFrames)>;

// The base class is also the offline output: nothing plays, and the host
// pulls the mix itself (SoundLayer::songMixOffline).
class AudioOutput {
  public:
    virtual ~AudioOutput() = default;
    // Runs `change` (a seek or a pause) while no mix can run, and when it
    // returns true drops what was mixed but not yet played, where the output
    // holds enough of it to be heard. The output's own lock is taken before
    // the layer's, in the same order as its mixing thread takes them.
    virtual bool changeAndDiscard(const std::function<bool()>& change) { return change(); }

    // False for an output that never calls the mix (the page's silent
    // clock): the layer then leaves the song where it is instead of
    // positioning it at each start.
    virtual bool mixes() const { return true; }

    // The song's course, told to every output after the layer has made the
    // change. An output with a thread of its own ignores them (the song's
    // SongClock reckons the time heard from its mix reports); one that
    // knows which sample is heard keeps the clock itself with them.
    // The song plays from song time `startMs`, from where it is positioned
    // (a play, a resume, a seek while playing).
    virtual void playFrom(int /*startMs*/) {}
    // Silence at once, the clock held at `atMs` (a pause, a seek while paused).
    virtual void holdAt(int /*atMs*/) {}
    // Nothing more is mixed, but what the output holds plays out (the
    // fade's tail); the clock holds at `atMs`.
    virtual void stopAt(int /*atMs*/) {}
    // The song time heard now, while the song last started plays or is
    // held, where the output keeps the clock; never back within one
    // playFrom. Empty where the song's SongClock keeps it.
    virtual std::optional<int> heardMs() { return std::nullopt; }
    // For an output without a thread of its own: mix ahead now, as far as
    // it wants. The layer calls it at each clock read and volume step, never
    // while it holds its own lock.
    virtual void mixAhead() {}
};

// Each platform supplies these two (desktop: output_choice.cpp and
// silent_output.cpp; web: web/platform/worklet_output.cpp and
// page_silent_output.cpp).
// The default device or the n-th listed. Null when no audio device can be
// opened (no driver, no hardware), the reason noted (failure_detail.h)
// where the platform knows more than that.
std::unique_ptr<AudioOutput> openSoundOutput(int driver, int rate, MixFunction mix);
// Always succeeds; plays the song's time in real time without a sound.
std::unique_ptr<AudioOutput> openSilentOutput(int rate, MixFunction mix);

// The desktop's two device outputs, between which openSoundOutput chooses:
// a PulseAudio stream where SDL would play through PulseAudio and a server
// answers, else SDL's driver.
// SDL's: null when it cannot open the device.
std::unique_ptr<AudioOutput> openDeviceOutput(int driver, int rate, MixFunction mix);
// The stream over libpulse: null when no server answers (or the build has
// no libpulse).
std::unique_ptr<AudioOutput> openPulseOutput(int rate, MixFunction mix);
