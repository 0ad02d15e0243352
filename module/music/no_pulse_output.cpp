// Built where libpulse is missing: there is no PulseAudio output of our own,
// and SDL's drivers play the sound.
#include "music/audio_output.h"

std::unique_ptr<AudioOutput> openPulseOutput(int, MixFunction) {
    return nullptr;
}
