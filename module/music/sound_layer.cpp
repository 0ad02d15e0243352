// The sound layer's calls, the same on every platform: what differs is only
// the output it drives (audio_output.h), chosen by which files the
// platform's build links. The song list is guarded by a reader-writer lock:
// mixing and clock reads share it, while loading, freeing, playing and
// stopping take it alone, so a song is never freed or restarted in the
// middle of a mix. The output hears of each start, pause, seek and stop
// after the lock is let go: an output without a thread of its own (the
// page's worklet) mixes ahead right then, on the caller's thread.
#include "music/sound_layer.h"

#include <algorithm>
#include <memory>
#include <mutex>
#include <shared_mutex>
#include <vector>

#include "music/audio_output.h"
#include "music/song_integrity.h"
#include "music/song_stream.h"
#include "music/sound_layer_state.h"
#include "music/sound_song.h"

SoundLayer::SoundLayer() : sys_(std::make_unique<System>()) {}

SoundLayer::~SoundLayer() {
    sys_->closeLayer();
}

void SoundLayer::setCallListener(SoundCallListener listener) {
    sys_->callListener = listener;
}

int SoundLayer::setOutput(int outputType) {
    System& sys = *sys_;
    sys.heard("setOutput", outputType);
    if (sys.initialised) return 0;
    if (outputType != kSoundOutputNone && outputType != kSoundOutputDevice &&
        outputType != kSoundOutputOffline) {
        return 0;
    }
    sys.output = outputType;
    return 1;
}

int SoundLayer::setFileCallbacks(SoundFileOpen open, SoundFileClose close, SoundFileRead read,
                                 SoundFileSeek seek, SoundFileTell tell) {
    System& sys = *sys_;
    sys.heard("setFileCallbacks");
    sys.callbacks = SoundFileCallbacks{open, close, read, seek, tell};
    return sys.callbacks.complete() ? 1 : 0;
}

int SoundLayer::setDriver(int driver) {
    System& sys = *sys_;
    sys.heard("setDriver", driver);
    if (sys.initialised || driver < 0) return 0;
    sys.driver = driver;
    return 1;
}

int SoundLayer::setMixer(int mixer) {
    System& sys = *sys_;
    sys.heard("setMixer", mixer);
    if (sys.initialised || mixer < 0 || mixer >= kSoundMixerCount) return 0;
    sys.mixer = mixer;
    return 1;
}

int SoundLayer::init(int mixRate, int maxChannels, unsigned flags) {
    System& sys = *sys_;
    sys.heard("init", mixRate, maxChannels, flags);
    if (sys.initialised || mixRate < kSoundMinRate || mixRate > kSoundMaxRate || maxChannels < 1)
        return 0;
    sys.rate = mixRate;
    System* const mixer = &sys;
    const MixFunction mix = [mixer](std::int16_t* out, int frames, int latencyFrames) {
        mixer->mixAll(out, frames, latencyFrames);
    };
    if (sys.output == kSoundOutputDevice) {
        sys.device = openSoundOutput(sys.driver, mixRate, mix);
        if (!sys.device) return 0;
    } else if (sys.output == kSoundOutputNone) {
        sys.device = openSilentOutput(mixRate, mix);
    } else {
        sys.device = std::make_unique<AudioOutput>();  // the host pulls the mix
    }
    sys.initialised = true;
    return 1;
}

void SoundLayer::close() {
    sys_->heard("close");
    sys_->closeLayer();
}

SoundSong* SoundLayer::songLoad(const char* name) {
    System& sys = *sys_;
    sys.heard("loadSong");
    if (!sys.initialised) return nullptr;
    CallbackFile file(sys.callbacks, name);
    if (!file.isOpen()) return nullptr;
    std::vector<std::uint8_t> data;
    if (!file.readAll(data, kSoundMaxSongBytes) || !songDataComplete(data.data(), data.size())) {
        return nullptr;
    }
    openmpt_module* module = loadSongModule(data, kSoundMixerTaps[sys.mixer]);
    if (module == nullptr) return nullptr;
    auto song = std::make_unique<SoundSong>(module);
    SoundSong* handle = song.get();
    std::unique_lock<std::shared_mutex> lock(sys.songsMutex);
    sys.songs.push_back(std::move(song));
    return handle;
}

int SoundLayer::songFree(SoundSong* song) {
    System& sys = *sys_;
    sys.heard("free");
    sys.stop(song);
    std::unique_lock<std::shared_mutex> lock(sys.songsMutex);
    const auto it =
        std::find_if(sys.songs.begin(), sys.songs.end(),
                     [song](const std::unique_ptr<SoundSong>& s) { return s.get() == song; });
    if (it == sys.songs.end()) return 0;
    sys.songs.erase(it);
    return 1;
}

int SoundLayer::songPlay(SoundSong* song) {
    System& sys = *sys_;
    sys.heard("play");
    {
        // From the start time, also when played again after a stop. A song
        // that is not playing is never mixed, so the seek shares the lock and
        // the output's thread keeps its schedule meanwhile.
        std::shared_lock<std::shared_mutex> shared(sys.songsMutex);
        if (!sys.known(song)) return 0;
        if (song->playing) return 1;
        sys.position(song);
    }
    {
        std::unique_lock<std::shared_mutex> lock(sys.songsMutex);
        if (!sys.known(song)) return 0;
        sys.startPlaying(song);
    }
    sys.device->playFrom(song->startMs);
    return 1;
}

int SoundLayer::songPause(SoundSong* song) {
    System& sys = *sys_;
    sys.heard("pause");
    const int paused = sys.changeQueued([&sys, song] {
        std::unique_lock<std::shared_mutex> lock(sys.songsMutex);
        if (!sys.known(song) || !song->playing) return false;
        // What has been mixed but not yet heard is dropped: resuming re-mixes
        // it from the time heard, so nothing is skipped.
        const int heardMs = sys.heardMs(song);
        song->playing = false;
        song->paused = true;
        song->startMs = heardMs;
        song->clock.start(heardMs, sys.rate, sys.offline());
        return true;
    });
    if (paused != 0) sys.device->holdAt(song->startMs);
    return paused;
}

int SoundLayer::songResume(SoundSong* song) {
    System& sys = *sys_;
    sys.heard("resume");
    {
        std::unique_lock<std::shared_mutex> lock(sys.songsMutex);
        if (!sys.known(song) || !song->paused) return 0;
        sys.playFromStart(song);
    }
    sys.device->playFrom(song->startMs);
    return 1;
}

int SoundLayer::songSeekMs(SoundSong* song, int startMs) {
    System& sys = *sys_;
    sys.heard("seek", startMs);
    const int moved = sys.changeQueued([&sys, song, startMs] {
        std::unique_lock<std::shared_mutex> lock(sys.songsMutex);
        if (!sys.known(song) || startMs < 0 || (!song->playing && !song->paused)) return false;
        song->startMs = startMs;
        if (song->playing) {
            sys.playFromStart(song);
        } else {
            // Positioned when it resumes; until then the clock reads the new time.
            song->clock.start(startMs, sys.rate, sys.offline());
        }
        return true;
    });
    if (moved == 0) return 0;
    if (song->playing) {
        sys.device->playFrom(startMs);
    } else {
        sys.device->holdAt(startMs);
    }
    return 1;
}

int SoundLayer::songStop(SoundSong* song) {
    System& sys = *sys_;
    sys.heard("stop");
    return sys.stop(song);
}

int SoundLayer::songGetTimeMs(SoundSong* song) {
    System& sys = *sys_;
    sys.heard("getTime");
    if (sys.device) sys.device->mixAhead();
    std::shared_lock<std::shared_mutex> lock(sys.songsMutex);
    if (!sys.known(song)) return 0;
    return sys.heardMs(song);
}

int SoundLayer::songSetMasterVolume(SoundSong* song, int volume) {
    System& sys = *sys_;
    sys.heard("setMasterVolume", volume);
    {
        std::shared_lock<std::shared_mutex> lock(sys.songsMutex);
        if (!sys.known(song)) return 0;
        song->volume = std::clamp(volume, 0, kSoundMaxVolume);
    }
    // The fade's steps come while a page's events wait: keep its output fed.
    sys.device->mixAhead();
    return 1;
}

int SoundLayer::songSetStartMs(SoundSong* song, int startMs) {
    System& sys = *sys_;
    sys.heard("setStartMs", startMs);
    std::unique_lock<std::shared_mutex> lock(sys.songsMutex);
    if (!sys.known(song) || song->playing || startMs < 0) return 0;
    song->startMs = startMs;
    song->clock.setStart(startMs);
    return 1;
}

int SoundLayer::songMixOffline(SoundSong* song, std::int16_t* interleavedStereo, int frames) {
    System& sys = *sys_;
    sys.heard("mixOffline", frames);
    if (!sys.offline() || interleavedStereo == nullptr || frames <= 0) return 0;
    std::shared_lock<std::shared_mutex> lock(sys.songsMutex);
    if (!sys.initialised || !sys.known(song) || !song->playing) return 0;
    std::vector<float> mix(static_cast<std::size_t>(frames) * 2, 0.0f);
    song->mixInto(mix.data(), frames, sys.rate);
    song->clock.mixed(song->framesMixed, frames, 0, SongClock::Clock::now());
    song->framesMixed += frames;
    floatToPcm16(mix.data(), interleavedStereo, frames * 2);
    return frames;
}
