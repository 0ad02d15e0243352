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
// frames pulled, as natively. One thread: the page's.
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

struct SoundSystem {
    int output = kSoundOutputDevice;
    SoundFileCallbacks callbacks;
    int mixer = kSoundMixerQuality;
    bool initialised = false;
    int rate = 44100;
    std::unique_ptr<WorkletFeed> feed;  // device output only
    std::unique_ptr<SoundSong> song;    // one song at a time
};

SoundSystem sys;

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

bool known(const SoundSong* song) {
    return song != nullptr && song == sys.song.get();
}

bool silent() {
    return sys.output == kSoundOutputNone;
}

bool offline() {
    return sys.output == kSoundOutputOffline;
}

// Positioned at the song's start time: plays from there.
void playFromStart(SoundSong* song) {
    song->seekTo(song->startMs / 1000.0, sys.rate);
    song->framesMixed = 0;
    song->gain = static_cast<float>(song->volume.load()) / kSoundMaxVolume;
    song->clock.start(song->startMs, sys.rate, true);
    song->playing = true;
    song->paused = false;
    if (sys.feed) sys.feed->start(song, song->startMs);
}

}  // namespace

// Nobody listens to the calls in a browser.
void soundSetCallListener(SoundCallListener) {}

int soundSetOutput(int type) {
    if (sys.initialised) return 0;
    if (type != kSoundOutputNone && type != kSoundOutputDevice && type != kSoundOutputOffline) {
        return 0;
    }
    sys.output = type;
    return 1;
}

int soundSetFileCallbacks(SoundFileOpen open, SoundFileClose close, SoundFileRead read,
                          SoundFileSeek seek, SoundFileTell tell) {
    sys.callbacks = SoundFileCallbacks{open, close, read, seek, tell};
    return sys.callbacks.complete() ? 1 : 0;
}

int soundSetDriver(int driver) {
    return !sys.initialised && driver == 0 ? 1 : 0;
}

int soundSetMixer(int mixer) {
    if (sys.initialised || mixer < 0 || mixer >= kSoundMixerCount) return 0;
    sys.mixer = mixer;
    return 1;
}

int soundInit(int rate, int maxChannels, unsigned) {
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
    return 1;
}

void soundClose() {
    sys.song.reset();
    sys.feed.reset();  // plays out what the worklet holds
    sys.initialised = false;
}

SoundSong* songLoad(const char* name) {
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
    if (silent()) pageSilentOpen();
    return sys.song.get();
}

int songFree(SoundSong* song) {
    if (!known(song)) return 0;
    songStop(song);
    sys.song.reset();
    return 1;
}

int songPlay(SoundSong* song) {
    if (!known(song)) return 0;
    if (song->playing) return 1;
    if (silent()) {
        song->playing = true;
        pageSilentPlay(song->startMs);
        return 1;
    }
    playFromStart(song);
    return 1;
}

int songStop(SoundSong* song) {
    if (!known(song)) return 0;
    if (song->playing && silent()) pageSilentPause();
    // What the worklet holds plays out (Done's fade ends in it).
    if (sys.feed) sys.feed->stop(songGetTimeMs(song));
    song->playing = false;
    song->paused = false;
    return 1;
}

int songGetTimeMs(SoundSong* song) {
    if (!known(song)) return 0;
    if (silent()) return song->playing || song->paused ? pageSilentTimeMs() : song->startMs;
    if (offline()) return song->clock.nowMs(SongClock::Clock::now());
    if (!song->playing) return song->startMs;
    sys.feed->topUp();
    return sys.feed->heardMs();
}

int songSetMasterVolume(SoundSong* song, int volume) {
    if (!known(song)) return 0;
    song->volume = std::clamp(volume, 0, kSoundMaxVolume);
    // The fade's steps come while the page's events wait: keep mixing.
    if (sys.feed) sys.feed->topUp();
    return 1;
}

int songSetStartMs(SoundSong* song, int startMs) {
    if (!known(song) || song->playing || startMs < 0) return 0;
    song->startMs = startMs;
    song->clock.setStart(startMs);
    return 1;
}

int songPause(SoundSong* song) {
    if (!known(song) || !song->playing || offline()) return 0;
    if (silent()) {
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

int songResume(SoundSong* song) {
    if (!known(song) || !song->paused || offline()) return 0;
    if (silent()) {
        song->playing = true;
        song->paused = false;
        pageSilentResume();
        return 1;
    }
    playFromStart(song);
    return 1;
}

int songSeekMs(SoundSong* song, int startMs) {
    if (!known(song) || offline() || startMs < 0 || (!song->playing && !song->paused)) return 0;
    song->startMs = startMs;
    if (silent()) {
        pageSilentSeek(startMs);
    } else if (song->playing) {
        playFromStart(song);
    } else {
        sys.feed->hold(startMs);  // positioned when it resumes
    }
    return 1;
}

int songMixOffline(SoundSong* song, std::int16_t* interleavedStereo, int frames) {
    if (!offline() || interleavedStereo == nullptr || frames <= 0) return 0;
    if (!sys.initialised || !known(song) || !song->playing) return 0;
    std::vector<float> mix(static_cast<std::size_t>(frames) * 2, 0.0f);
    song->mixInto(mix.data(), frames, sys.rate);
    song->clock.mixed(song->framesMixed, frames, 0, SongClock::Clock::now());
    song->framesMixed += frames;
    floatToPcm16(mix.data(), interleavedStereo, frames * 2);
    return frames;
}

// The page's worklet reported: top the mix up.
extern "C" EMSCRIPTEN_KEEPALIVE void sorvanelSongFeed() {
    if (sys.feed) sys.feed->topUp();
}

// The song time heard now, for the page (its WorkletSong's timeMs).
extern "C" EMSCRIPTEN_KEEPALIVE int sorvanelSongTimeMs() {
    return sys.song ? songGetTimeMs(sys.song.get()) : 0;
}
