// The sound layer's state and calls. The song list is guarded by a
// reader-writer lock: mixing and clock reads share it, while loading,
// freeing, playing and stopping take it alone, so a song is never freed or
// restarted in the middle of a mix.
#include "music/sound_layer.h"

#include <algorithm>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <shared_mutex>
#include <vector>

#include "music/audio_output.h"
#include "music/song_integrity.h"
#include "music/song_stream.h"
#include "music/sound_song.h"

struct SoundLayer::System {
    int output = kSoundOutputDevice;
    SoundFileCallbacks callbacks;
    int driver = 0;
    int mixer = kSoundMixerQuality;
    bool initialised = false;
    int rate = 44100;
    std::unique_ptr<AudioOutput> device;  // device or silent output; none offline

    std::shared_mutex songsMutex;
    std::vector<std::unique_ptr<SoundSong>> songs;
    std::vector<float> mixBuffer;  // the output thread's

    std::atomic<SoundCallListener> callListener{nullptr};

    void heard(const char* name, long long a = 0, long long b = 0, long long c = 0) const {
        if (const SoundCallListener listener = callListener.load(std::memory_order_relaxed)) {
            listener(name, a, b, c);
        }
    }

    bool known(SoundSong* song) const {
        return song != nullptr &&
               std::any_of(songs.begin(), songs.end(),
                           [song](const std::unique_ptr<SoundSong>& s) { return s.get() == song; });
    }

    void closeLayer() {
        if (!initialised) return;
        device.reset();  // no mixing after this
        std::unique_lock<std::shared_mutex> lock(songsMutex);
        songs.clear();
        initialised = false;
    }

    // Called by the output's thread.
    void mixAll(std::int16_t* out, int frames, int latencyFrames) {
        std::shared_lock<std::shared_mutex> lock(songsMutex);
        // After the lock: a seek holds it a while, and the chunk reaches the
        // output only now.
        const auto now = SongClock::Clock::now();
        mixBuffer.assign(static_cast<std::size_t>(frames) * 2, 0.0f);
        for (const std::unique_ptr<SoundSong>& s : songs) {
            if (!s->playing) continue;
            s->mixInto(mixBuffer.data(), frames, rate);
            s->clock.mixed(s->framesMixed, frames, latencyFrames, now);
            s->framesMixed += frames;
        }
        floatToPcm16(mixBuffer.data(), out, frames * 2);
    }

    // With the song list locked alone and the song at its start time: plays.
    void startPlaying(SoundSong* song) const {
        song->framesMixed = 0;
        song->gain = static_cast<float>(song->volume.load()) / kSoundMaxVolume;
        song->clock.start(song->startMs, rate, output == kSoundOutputOffline);
        song->playing = true;
        song->paused = false;
    }

    // A pause or seek: what the output still holds of the old place is dropped.
    int changeQueued(const std::function<bool()>& change) {
        return (device ? device->changeAndDiscard(change) : change()) ? 1 : 0;
    }

    // With the song list locked alone: plays from the song's start time.
    void playFromStart(SoundSong* song) const {
        song->seekTo(song->startMs / 1000.0, rate);
        startPlaying(song);
    }
};

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
        song->seekTo(song->startMs / 1000.0, sys.rate);
    }
    std::unique_lock<std::shared_mutex> lock(sys.songsMutex);
    if (!sys.known(song)) return 0;
    sys.startPlaying(song);
    return 1;
}

int SoundLayer::songPause(SoundSong* song) {
    System& sys = *sys_;
    sys.heard("pause");
    return sys.changeQueued([&sys, song] {
        std::unique_lock<std::shared_mutex> lock(sys.songsMutex);
        if (!sys.known(song) || !song->playing) return false;
        // What has been mixed but not yet heard is dropped: resuming re-mixes
        // it from the time heard, so nothing is skipped.
        const int heardMs = song->clock.nowMs(SongClock::Clock::now());
        song->playing = false;
        song->paused = true;
        song->startMs = heardMs;
        song->clock.start(heardMs, sys.rate, sys.output == kSoundOutputOffline);
        return true;
    });
}

int SoundLayer::songResume(SoundSong* song) {
    System& sys = *sys_;
    sys.heard("resume");
    std::unique_lock<std::shared_mutex> lock(sys.songsMutex);
    if (!sys.known(song) || !song->paused) return 0;
    sys.playFromStart(song);
    return 1;
}

int SoundLayer::songSeekMs(SoundSong* song, int startMs) {
    System& sys = *sys_;
    sys.heard("seek", startMs);
    return sys.changeQueued([&sys, song, startMs] {
        std::unique_lock<std::shared_mutex> lock(sys.songsMutex);
        if (!sys.known(song) || startMs < 0 || (!song->playing && !song->paused)) return false;
        song->startMs = startMs;
        if (song->playing) {
            sys.playFromStart(song);
        } else {
            // Positioned when it resumes; until then the clock reads the new time.
            song->clock.start(startMs, sys.rate, sys.output == kSoundOutputOffline);
        }
        return true;
    });
}

int SoundLayer::songStop(SoundSong* song) {
    System& sys = *sys_;
    sys.heard("stop");
    std::unique_lock<std::shared_mutex> lock(sys.songsMutex);
    if (!sys.known(song)) return 0;
    song->playing = false;
    song->paused = false;
    return 1;
}

int SoundLayer::songGetTimeMs(SoundSong* song) {
    System& sys = *sys_;
    sys.heard("getTime");
    std::shared_lock<std::shared_mutex> lock(sys.songsMutex);
    if (!sys.known(song)) return 0;
    return song->clock.nowMs(SongClock::Clock::now());
}

int SoundLayer::songSetMasterVolume(SoundSong* song, int volume) {
    System& sys = *sys_;
    sys.heard("setMasterVolume", volume);
    std::shared_lock<std::shared_mutex> lock(sys.songsMutex);
    if (!sys.known(song)) return 0;
    song->volume = std::clamp(volume, 0, kSoundMaxVolume);
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
    if (sys.output != kSoundOutputOffline || interleavedStereo == nullptr || frames <= 0) return 0;
    std::shared_lock<std::shared_mutex> lock(sys.songsMutex);
    if (!sys.initialised || !sys.known(song) || !song->playing) return 0;
    std::vector<float> mix(static_cast<std::size_t>(frames) * 2, 0.0f);
    song->mixInto(mix.data(), frames, sys.rate);
    song->clock.mixed(song->framesMixed, frames, 0, SongClock::Clock::now());
    song->framesMixed += frames;
    floatToPcm16(mix.data(), interleavedStereo, frames * 2);
    return frames;
}
