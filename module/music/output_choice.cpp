// Which output plays the default device: where SDL would use PulseAudio
// (SDL_AUDIODRIVER unset or "pulseaudio") and a PulseAudio server (or
// PipeWire's pulse server) answers, the layer's own stream over libpulse;
// otherwise, and for any other driver or device number, SDL's.
#include <cstdlib>
#include <cstring>

#include "music/audio_output.h"

std::unique_ptr<AudioOutput> openSoundOutput(int driver, int rate, MixFunction mix) {
    const char* sdlDriver = std::getenv("SDL_AUDIODRIVER");
    const bool pulse =
        sdlDriver == nullptr || *sdlDriver == '\0' || std::strcmp(sdlDriver, "pulseaudio") == 0;
    if (driver == 0 && pulse) {
        if (std::unique_ptr<AudioOutput> out = openPulseOutput(rate, mix)) return out;
    }
    return openDeviceOutput(driver, rate, std::move(mix));
}
