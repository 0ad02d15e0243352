// The device output over SDL2 audio: 16-bit stereo at the layer's rate, 1024
// frames per buffer, SDL's callback calling the layer's mix. SDL's audio
// subsystem is reference-counted, so this sits beside a host's own SDL use.
#include <SDL.h>

#include "music/audio_output.h"

namespace {

constexpr int kBufferFrames = 1024;

class DeviceOutput : public AudioOutput {
  public:
    explicit DeviceOutput(MixFunction mix) : mix_(std::move(mix)) {}

    bool open(int driver, int rate) {
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
        subsystem_ = true;
        const char* name = nullptr;  // driver 0: the default device
        if (driver > 0) {
            if (driver > SDL_GetNumAudioDevices(0)) return false;
            name = SDL_GetAudioDeviceName(driver - 1, 0);
        }
        SDL_AudioSpec want{};
        want.freq = rate;
        want.format = AUDIO_S16SYS;
        want.channels = 2;
        want.samples = kBufferFrames;
        want.callback = &DeviceOutput::callback;
        want.userdata = this;
        SDL_AudioSpec have{};
        device_ = SDL_OpenAudioDevice(name, 0, &want, &have, 0);
        if (device_ == 0) return false;
        latencyFrames_ = have.samples;
        SDL_PauseAudioDevice(device_, 0);
        return true;
    }

    ~DeviceOutput() override {
        if (device_ != 0) SDL_CloseAudioDevice(device_);  // waits for a running callback
        if (subsystem_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }

  private:
    static void callback(void* user, Uint8* stream, int bytes) {
        auto* self = static_cast<DeviceOutput*>(user);
        self->mix_(reinterpret_cast<std::int16_t*>(stream), bytes / 4, self->latencyFrames_);
    }

    MixFunction mix_;
    SDL_AudioDeviceID device_ = 0;
    bool subsystem_ = false;
    int latencyFrames_ = kBufferFrames;
};

}  // namespace

std::unique_ptr<AudioOutput> openDeviceOutput(int driver, int rate, MixFunction mix) {
    auto out = std::make_unique<DeviceOutput>(std::move(mix));
    if (!out->open(driver, rate)) return nullptr;
    return out;
}
