// Implements the sound layer (sound_layer.h) in a browser. The song is not
// mixed here: the build rendered it once through the module's own offline
// output and encoded it for the page, whose song player (song_player.js)
// plays it with Web Audio and reports the position being heard. Without
// sound the page's silent clock runs in real time; the offline output keeps
// its clock here, moved only by the frames pulled (which are silence). The
// file callbacks are kept but not used: there is no tracker file to read.
#include <emscripten/emscripten.h>

#include <cstring>

#include "common/failure_detail.h"
#include "music/sound_layer.h"

struct SoundSong {
    int startMs = 0;
    bool playing = false;
    bool paused = false;
    long long framesPulled = 0;  // offline only
};

namespace {

int outputType = kSoundOutputDevice;
bool initialised = false;
int mixRate = 44100;
SoundSong* loaded = nullptr;

// clang-format off
// Waits (at most two seconds) for the page's audio context, made in the
// click that started the show, to run.
EM_ASYNC_JS(int, pageAudioRunning, (), {
    return (await songContextRunning(2000)) ? 1 : 0;
});
// The page's song player for the song the build made: with sound the Web
// Audio one, else the silent clock. 0 when the page has no song.
EM_JS(int, pageSongOpen, (int withSound), {
    if (!Module.songIndex) return 0;
    Module.sorvanelSong = withSound ? new WebAudioSong(songContext, Module.songIndex, 'song/')
                                    : new SilentSong();
    return 1;
});
EM_JS(void, pageSongPlay, (int startMs), { Module.sorvanelSong.play(startMs); });
EM_JS(int, pageSongTimeMs, (), { return Module.sorvanelSong.timeMs(); });
EM_JS(void, pageSongPause, (), { Module.sorvanelSong.pause(); });
EM_JS(void, pageSongResume, (), { Module.sorvanelSong.resume(); });
EM_JS(void, pageSongSeek, (int ms), { Module.sorvanelSong.seek(ms); });
EM_JS(void, pageSongVolume, (int volume), { Module.sorvanelSong.volume(volume); });
EM_JS(void, pageSongClose, (), {
    if (Module.sorvanelSong) Module.sorvanelSong.stop();
    Module.sorvanelSong = null;
});
// clang-format on

bool offline() {
    return outputType == kSoundOutputOffline;
}

bool known(const SoundSong* song) {
    return song != nullptr && song == loaded;
}

}  // namespace

// Nobody listens to the calls in a browser.
void soundSetCallListener(SoundCallListener) {}

int soundSetOutput(int type) {
    if (initialised) return 0;
    if (type != kSoundOutputNone && type != kSoundOutputDevice && type != kSoundOutputOffline) {
        return 0;
    }
    outputType = type;
    return 1;
}

int soundSetFileCallbacks(SoundFileOpen open, SoundFileClose close, SoundFileRead read,
                          SoundFileSeek seek, SoundFileTell tell) {
    return open != nullptr && close != nullptr && read != nullptr && seek != nullptr &&
                   tell != nullptr && !initialised
               ? 1
               : 0;
}

int soundSetDriver(int driver) {
    return !initialised && driver == 0 ? 1 : 0;
}

int soundSetMixer(int mixer) {
    return !initialised && mixer >= 0 && mixer < kSoundMixerCount ? 1 : 0;
}

int soundInit(int rate, int, unsigned) {
    if (initialised || rate <= 0) return 0;
    if (outputType == kSoundOutputDevice && pageAudioRunning() == 0) {
        noteFailureDetail("the browser did not start its sound (no sound device, or blocked)");
        return 0;
    }
    mixRate = rate;
    initialised = true;
    return 1;
}

void soundClose() {
    if (loaded != nullptr) songFree(loaded);
    initialised = false;
}

SoundSong* songLoad(const char*) {
    if (!initialised || loaded != nullptr) return nullptr;
    if (!offline() && pageSongOpen(outputType == kSoundOutputDevice ? 1 : 0) == 0) {
        noteFailureDetail("song/index.json: the page could not fetch the song");
        return nullptr;
    }
    loaded = new SoundSong;
    return loaded;
}

int songFree(SoundSong* song) {
    if (!known(song)) return 0;
    songStop(song);
    if (!offline()) pageSongClose();
    delete loaded;
    loaded = nullptr;
    return 1;
}

int songPlay(SoundSong* song) {
    if (!known(song) || song->playing) return 0;
    song->playing = true;
    if (!offline()) pageSongPlay(song->startMs);
    return 1;
}

int songStop(SoundSong* song) {
    if (!known(song) || !song->playing) return 0;
    song->playing = false;
    if (!offline()) pageSongPause();
    return 1;
}

int songGetTimeMs(SoundSong* song) {
    if (!known(song)) return 0;
    if (offline()) {
        return song->startMs + static_cast<int>(song->framesPulled * 1000 / mixRate);
    }
    return song->playing || song->paused ? pageSongTimeMs() : song->startMs;
}

int songSetMasterVolume(SoundSong* song, int volume) {
    if (!known(song) || volume < 0 || volume > kSoundMaxVolume) return 0;
    if (!offline()) pageSongVolume(volume);
    return 1;
}

int songSetStartMs(SoundSong* song, int startMs) {
    if (!known(song) || song->playing || startMs < 0) return 0;
    song->startMs = startMs;
    return 1;
}

int songPause(SoundSong* song) {
    if (!known(song) || !song->playing || song->paused || offline()) return 0;
    song->paused = true;
    pageSongPause();
    return 1;
}

int songResume(SoundSong* song) {
    if (!known(song) || !song->playing || !song->paused || offline()) return 0;
    song->paused = false;
    pageSongResume();
    return 1;
}

int songSeekMs(SoundSong* song, int startMs) {
    if (!known(song) || !song->playing || offline() || startMs < 0) return 0;
    pageSongSeek(startMs);
    return 1;
}

int songMixOffline(SoundSong* song, std::int16_t* interleavedStereo, int frames) {
    if (!known(song) || !offline() || !song->playing || frames <= 0) return 0;
    std::memset(interleavedStereo, 0, static_cast<std::size_t>(frames) * 2 * sizeof(std::int16_t));
    song->framesPulled += frames;
    return frames;
}
