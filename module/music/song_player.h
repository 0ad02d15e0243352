// The song and the demo clock: the tracker song is played by the sound layer
// and its play position in milliseconds is the show's only time source. The
// player owns its sound layer: the layer lives and closes with it.
#pragma once

#include <cstdint>

#include "music/picture_clock.h"
#include "music/sound_layer.h"

class SongPlayer {
  public:
    SongPlayer() = default;
    SongPlayer(const SongPlayer&) = delete;
    SongPlayer& operator=(const SongPlayer&) = delete;
    ~SongPlayer();

    void setSongName(const char* name);
    // 1 = song loaded; 0 = failed, with "Sound initialization failed!" or
    // "Soundfile not found" written through messageTarget. After a failure
    // the sound layer is left closed, so close() is never needed.
    int open(char** messageTarget, int soundEnabled);
    int play();
    // The song time heard now.
    int timeMs();
    // The song time a frame drawn now shows (picture_clock.h): the time
    // heard when it appears, less the audio offset; `frame` says a frame is
    // being drawn (its spacing is measured). Offline or paused: timeMs().
    int pictureTimeMs(bool frame);
    bool setAudioOffsetMs(int ms) { return picture_.setAudioOffsetMs(ms); }
    bool setPresentationDelayMs(int ms) { return picture_.setPresentationDelayMs(ms); }
    // The host swapped the frame last drawn.
    void frameShown() { picture_.frameShown(PictureClock::Clock::now()); }
    // With fade: 256 volume steps 4 ms apart, then stop, free and close.
    void close(int fade);

    // For capture and starting anywhere. Before open: play the song on the
    // offline output, where no device or thread runs and the clock advances
    // only by the audio pulled with mixOffline. Before play: start the song
    // `startMs` milliseconds in; the clock then counts from there.
    void useOfflineOutput(bool offline) { offline_ = offline; }
    void setStartMs(int startMs) { startMs_ = startMs; }
    // Offline output only: the next `frames` stereo frames of the song;
    // returns the frames mixed.
    int mixOffline(std::int16_t* interleavedStereo, int frames);

    // While playing: pause holds the music and the clock; resuming plays on
    // from the same song time. seekTo moves the music (paused or not) to
    // songMs. Each returns 1 when done.
    int setPaused(bool paused);
    int seekTo(int songMs);

    // The layer the song plays on: a test hands it a call listener, the
    // offline mix sets its volume steps.
    SoundLayer& layer() { return layer_; }

    SoundSong* song = nullptr;  // the sound layer's song handle
    char* songName = nullptr;

  private:
    SoundLayer layer_;
    bool offline_ = false;
    bool paused_ = false;
    int startMs_ = 0;
    PictureClock picture_;
};
