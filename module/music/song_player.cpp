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
    layer_.setOutput(output);
    layer_.setFileCallbacks(fileOpen, fileClose, fileRead, fileSeek, fileTell);
    layer_.setDriver(0);
    layer_.setMixer(kSoundMixerQuality);
    if (!layer_.init(kMixRate, kChannels, 0)) {
        noteFailureDetail(
            "no sound output could be opened; No Sound (--nosound) plays without one");
        writeMessage(messageTarget, "Sound initialization failed!");
        return 0;
    }
    song = layer_.songLoad(songName);
    if (song == nullptr) {
        noteFailureDetail(std::string(songName != nullptr ? songName : "the song") +
                          ": not a complete song that can be played");
        writeMessage(messageTarget, "Soundfile not found");
        // Done will not close what open left behind: release the device and
        // the silent output's thread here.
        layer_.close();
        return 0;
    }
    return 1;
}

int SongPlayer::play() {
    if (startMs_ > 0) layer_.songSetStartMs(song, startMs_);
    picture_.restart(startMs_);
    paused_ = false;
    return layer_.songPlay(song);
}

int SongPlayer::timeMs() {
    return layer_.songGetTimeMs(song);
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
            layer_.songSetMasterVolume(song, volume);
        }
    }
    layer_.songStop(song);
    layer_.songFree(song);
    layer_.close();
}

int SongPlayer::mixOffline(std::int16_t* interleavedStereo, int frames) {
    return layer_.songMixOffline(song, interleavedStereo, frames);
}

int SongPlayer::setPaused(bool paused) {
    const int changed = paused ? layer_.songPause(song) : layer_.songResume(song);
    if (changed == 0) return 0;
    paused_ = paused;
    if (!paused) picture_.restart(timeMs());
    return changed;
}

int SongPlayer::seekTo(int songMs) {
    const int done = layer_.songSeekMs(song, songMs);
    if (done != 0) picture_.restart(songMs);
    return done;
}
