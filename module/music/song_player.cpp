// The song player over the sound layer, in the classic call order: output
// (device with sound, silent without), file callbacks, driver 0, mixer 4,
// init at 44,100 Hz with 31 channels, load; play; time; fade and close.
#include "music/song_player.h"

#include <chrono>
#include <cstring>
#include <string>
#include <thread>

#include "common/failure_detail.h"
#include "music/song_files.h"
#include "music/sound_layer.h"

namespace {

constexpr int kMixRate = 44100;
constexpr int kChannels = 31;
constexpr auto kFadeStep = std::chrono::milliseconds(4);

void writeMessage(char** messageTarget, const char* text) {
    if (messageTarget == nullptr || *messageTarget == nullptr) return;
    std::strcpy(*messageTarget, text);  // both texts fit the launcher's 256 bytes
}

}  // namespace

SongPlayer::~SongPlayer() {
    delete[] songName;
    songName = nullptr;
}

void SongPlayer::setSongName(const char* name) {
    delete[] songName;
    songName = nullptr;
    if (name == nullptr) return;
    const std::size_t length = std::strlen(name);
    songName = new char[length + 1];
    std::memcpy(songName, name, length);
    songName[length] = '\0';
}

int SongPlayer::open(char** messageTarget, int soundEnabled) {
    const int output =
        offline_ ? kSoundOutputOffline : (soundEnabled ? kSoundOutputDevice : kSoundOutputNone);
    soundSetOutput(output);
    soundSetFileCallbacks(fileOpen, fileClose, fileRead, fileSeek, fileTell);
    soundSetDriver(0);
    soundSetMixer(kSoundMixerQuality);
    if (!soundInit(kMixRate, kChannels, 0)) {
        noteFailureDetail(
            "no sound output could be opened; No Sound (--nosound) plays without one");
        writeMessage(messageTarget, "Sound initialization failed!");
        return 0;
    }
    song = songLoad(songName);
    if (song == nullptr) {
        noteFailureDetail(std::string(songName != nullptr ? songName : "the song") +
                          ": not a complete song that can be played");
        writeMessage(messageTarget, "Soundfile not found");
        // Done will not close what open left behind: release the device and
        // the silent output's thread here.
        soundClose();
        return 0;
    }
    return 1;
}

int SongPlayer::play() {
    if (startMs_ > 0) songSetStartMs(song, startMs_);
    picture_.restart(startMs_);
    paused_ = false;
    return songPlay(song);
}

int SongPlayer::timeMs() {
    return songGetTimeMs(song);
}

int SongPlayer::pictureTimeMs(bool frame) {
    if (offline_ || paused_) return timeMs();
    if (frame) picture_.frameAt(PictureClock::Clock::now());
    return picture_.pictureMs(timeMs());
}

void SongPlayer::close(int fade) {
    if (fade) {
        for (int volume = kSoundMaxVolume; volume >= 1; --volume) {
            std::this_thread::sleep_for(kFadeStep);
            songSetMasterVolume(song, volume);
        }
    }
    songStop(song);
    songFree(song);
    soundClose();
}

int SongPlayer::mixOffline(std::int16_t* interleavedStereo, int frames) {
    return songMixOffline(song, interleavedStereo, frames);
}

int SongPlayer::setPaused(bool paused) {
    const int changed = paused ? songPause(song) : songResume(song);
    if (changed == 0) return 0;
    paused_ = paused;
    if (!paused) picture_.restart(timeMs());
    return changed;
}

int SongPlayer::seekTo(int songMs) {
    const int done = songSeekMs(song, songMs);
    if (done != 0) picture_.restart(songMs);
    return done;
}
