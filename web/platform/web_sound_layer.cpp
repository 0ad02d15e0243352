// Implements the sound layer (sound_layer.h) in a browser, with the native
// layer's song and mixer: the song file read whole through the file
// callbacks and checked, libopenmpt (Debian's own source, compiled for the
// page) loading it with the same settings, mixing at the same rate through
// the same interpolation, volume glide and 16-bit rounding. With sound the
// mix goes to the page's AudioWorklet a second ahead (worklet_feed.h) and
// the clock is the sample heard there; pause, seek and volume act on the
// mixer, and the worklet drops what it holds of the old place at once.
// Without sound the song is still loaded and checked, and the page's
// silent clock runs in real time. The offline output mixes exactly the
// frames pulled, as natively. One thread: the page's. The page's two
// callbacks (sorvanelSongFeed, sorvanelSongTimeMs) come without a handle:
// they reach the one layer the page plays, pageLayer below (web only).
#include <emscripten/emscripten.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "common/failure_detail.h"
#include "music/song_integrity.h"
#include "music/song_stream.h"
#include "music/sound_layer.h"
#include "music/sound_song.h"
#include "web/platform/worklet_feed.h"

namespace {

// clang-format off
// Waits (at most two seconds) for the page's audio context, made in the
// click that started the show, to run with the song's worklet loaded.
EM_ASYNC_JS(int, pageAudioRunning, (), {
    return (await songContextRunning(2000)) ? 1 : 0;
});
// The page's silent clock, for the show without sound.
EM_JS(void, pageSilentOpen, (), { Module.sorvanelSong = new SilentSong(); });
EM_JS(void, pageSilentPlay, (int startMs), { Module.sorvanelSong.play(startMs); });
EM_JS(int, pageSilentTimeMs, (), { return Module.sorvanelSong.timeMs(); });
EM_JS(void, pageSilentPause, (), { Module.sorvanelSong.pause(); });
EM_JS(void, pageSilentResume, (), { Module.sorvanelSong.resume(); });
EM_JS(void, pageSilentSeek, (int ms), { Module.sorvanelSong.seek(ms); });
// clang-format on

}  // namespace

struct SoundLayer::System {
    int output = kSoundOutputDevice;
    SoundFileCallbacks callbacks;
    int mixer = kSoundMixerQuality;
    bool initialised = false;
    int rate = 44100;
    std::unique_ptr<WorkletFeed> feed;  // device output only
    std::unique_ptr<SoundSong> song;    // one song at a time

    bool known(const SoundSong* s) const { return s != nullptr && s == song.get(); }
    bool silent() const { return output == kSoundOutputNone; }
    bool offline() const { return output == kSoundOutputOffline; }

    // Positioned at the song's start time: plays from there.
    void playFromStart(SoundSong* s) {
        s->seekTo(s->startMs / 1000.0, rate);
        s->framesMixed = 0;
        s->gain = static_cast<float>(s->volume.load()) / kSoundMaxVolume;
        s->clock.start(s->startMs, rate, true);
        s->playing = true;
        s->paused = false;
        if (feed) feed->start(s, s->startMs);
    }

    int timeMs(SoundSong* s) {
        if (!known(s)) return 0;
        if (silent()) return s->playing || s->paused ? pageSilentTimeMs() : s->startMs;
        if (offline()) return s->clock.nowMs(SongClock::Clock::now());
        if (!s->playing) return s->startMs;
        feed->topUp();
        return feed->heardMs();
    }

    int stop(SoundSong* s) {
        if (!known(s)) return 0;
        if (s->playing && silent()) pageSilentPause();
        // What the worklet holds plays out (Done's fade ends in it).
        if (feed) feed->stop(timeMs(s));
        s->playing = false;
        s->paused = false;
        return 1;
    }

    void close() {
        song.reset();
        feed.reset();  // plays out what the worklet holds
        initialised = false;
    }
};

namespace {

// The layer last initialised, for the page's callbacks, which carry no
// handle (one sound layer per page at a time); null when none is open.
// Web only.
SoundLayer::System* pageLayer = nullptr;

}  // namespace

SoundLayer::SoundLayer() : sys_(std::make_unique<System>()) {}

SoundLayer::~SoundLayer() {
    close();
}

// Nobody listens to the calls in a browser.
void SoundLayer::setCallListener(SoundCallListener) {}

int SoundLayer::setOutput(int type) {
    System& sys = *sys_;
    if (sys.initialised) return 0;
    if (type != kSoundOutputNone && type != kSoundOutputDevice && type != kSoundOutputOffline) {
        return 0;
    }
    sys.output = type;
    return 1;
}

int SoundLayer::setFileCallbacks(SoundFileOpen open, SoundFileClose close, SoundFileRead read,
                                 SoundFileSeek seek, SoundFileTell tell) {
    System& sys = *sys_;
    sys.callbacks = SoundFileCallbacks{open, close, read, seek, tell};
    return sys.callbacks.complete() ? 1 : 0;
}

int SoundLayer::setDriver(int driver) {
    return !sys_->initialised && driver == 0 ? 1 : 0;
}

int SoundLayer::setMixer(int mixer) {
    System& sys = *sys_;
    if (sys.initialised || mixer < 0 || mixer >= kSoundMixerCount) return 0;
    sys.mixer = mixer;
    return 1;
}

int SoundLayer::init(int rate, int maxChannels, unsigned) {
    System& sys = *sys_;
    if (sys.initialised || rate < kSoundMinRate || rate > kSoundMaxRate || maxChannels < 1)
        return 0;
    if (sys.output == kSoundOutputDevice) {
        if (pageAudioRunning() == 0) {
            noteFailureDetail(
                "the browser did not start its sound (no sound device, no AudioWorklet, or "
                "blocked)");
            return 0;
        }
        auto feed = std::make_unique<WorkletFeed>(rate);
        if (!feed->open()) {
            noteFailureDetail("the page's song worklet could not be made");
            return 0;
        }
        sys.feed = std::move(feed);
    }
    sys.rate = rate;
    sys.initialised = true;
    pageLayer = &sys;
    return 1;
}

void SoundLayer::close() {
    sys_->close();
    if (pageLayer == sys_.get()) pageLayer = nullptr;
}

SoundSong* SoundLayer::songLoad(const char* name) {
    System& sys = *sys_;
    if (!sys.initialised || sys.song) return nullptr;
    CallbackFile file(sys.callbacks, name);
    if (!file.isOpen()) return nullptr;
    std::vector<std::uint8_t> data;
    if (!file.readAll(data, kSoundMaxSongBytes) || !songDataComplete(data.data(), data.size())) {
        return nullptr;
    }
    openmpt_module* module = loadSongModule(data, kSoundMixerTaps[sys.mixer]);
    if (module == nullptr) return nullptr;
    sys.song = std::make_unique<SoundSong>(module);
    if (sys.silent()) pageSilentOpen();
    return sys.song.get();
}

int SoundLayer::songFree(SoundSong* song) {
    System& sys = *sys_;
    if (!sys.known(song)) return 0;
    sys.stop(song);
    sys.song.reset();
    return 1;
}

int SoundLayer::songPlay(SoundSong* song) {
    System& sys = *sys_;
    if (!sys.known(song)) return 0;
    if (song->playing) return 1;
    if (sys.silent()) {
        song->playing = true;
        pageSilentPlay(song->startMs);
        return 1;
    }
    sys.playFromStart(song);
    return 1;
}

int SoundLayer::songStop(SoundSong* song) {
    return sys_->stop(song);
}

int SoundLayer::songGetTimeMs(SoundSong* song) {
    return sys_->timeMs(song);
}

int SoundLayer::songSetMasterVolume(SoundSong* song, int volume) {
    System& sys = *sys_;
    if (!sys.known(song)) return 0;
    song->volume = std::clamp(volume, 0, kSoundMaxVolume);
    // The fade's steps come while the page's events wait: keep mixing.
    if (sys.feed) sys.feed->topUp();
    return 1;
}

int SoundLayer::songSetStartMs(SoundSong* song, int startMs) {
    if (!sys_->known(song) || song->playing || startMs < 0) return 0;
    song->startMs = startMs;
    song->clock.setStart(startMs);
    return 1;
}

int SoundLayer::songPause(SoundSong* song) {
    System& sys = *sys_;
    if (!sys.known(song) || !song->playing || sys.offline()) return 0;
    if (sys.silent()) {
        pageSilentPause();
    } else {
        // What was mixed but not heard is dropped: resuming mixes it again
        // from the time heard, so nothing is skipped.
        song->startMs = sys.feed->heardMs();
        sys.feed->hold(song->startMs);
    }
    song->playing = false;
    song->paused = true;
    return 1;
}

int SoundLayer::songResume(SoundSong* song) {
    System& sys = *sys_;
    if (!sys.known(song) || !song->paused || sys.offline()) return 0;
    if (sys.silent()) {
        song->playing = true;
        song->paused = false;
        pageSilentResume();
        return 1;
    }
    sys.playFromStart(song);
    return 1;
}

int SoundLayer::songSeekMs(SoundSong* song, int startMs) {
    System& sys = *sys_;
    if (!sys.known(song) || sys.offline() || startMs < 0 || (!song->playing && !song->paused))
        return 0;
    song->startMs = startMs;
    if (sys.silent()) {
        pageSilentSeek(startMs);
    } else if (song->playing) {
        sys.playFromStart(song);
    } else {
        sys.feed->hold(startMs);  // positioned when it resumes
    }
    return 1;
}

int SoundLayer::songMixOffline(SoundSong* song, std::int16_t* interleavedStereo, int frames) {
    System& sys = *sys_;
    if (!sys.offline() || interleavedStereo == nullptr || frames <= 0) return 0;
    if (!sys.initialised || !sys.known(song) || !song->playing) return 0;
    std::vector<float> mix(static_cast<std::size_t>(frames) * 2, 0.0f);
    song->mixInto(mix.data(), frames, sys.rate);
    song->clock.mixed(song->framesMixed, frames, 0, SongClock::Clock::now());
    song->framesMixed += frames;
    floatToPcm16(mix.data(), interleavedStereo, frames * 2);
    return frames;
}

// The page's worklet reported: top the mix up.
extern "C" EMSCRIPTEN_KEEPALIVE void sorvanelSongFeed() {
    if (pageLayer != nullptr && pageLayer->feed) pageLayer->feed->topUp();
}

// The song time heard now, for the page (its WorkletSong's timeMs).
extern "C" EMSCRIPTEN_KEEPALIVE int sorvanelSongTimeMs() {
    return pageLayer != nullptr && pageLayer->song ? pageLayer->timeMs(pageLayer->song.get()) : 0;
}
