// The sound layer: the project's own small sound library, over libopenmpt
// (decoding and mixing tracker songs) and the platform's audio output
// (audio_output.h: PulseAudio or SDL2 on the desktop, the page's AudioWorklet
// in a browser). Its calls follow the classic sequence: choose the output,
// hand over the file callbacks, choose driver and mixer, initialise, load a
// song, play it, read its time, set its master volume, stop, free, close.
// All calls are made from one thread; the desktop's outputs mix on a thread
// of their own, the page's worklet on the caller's.
// A SoundLayer object holds all of its state (the show's is its song
// player's): nothing of it is process-wide, and destroying it closes it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

// Output types.
constexpr int kSoundOutputNone = 0;    // silent: the song's time runs on in real time, unheard
constexpr int kSoundOutputDevice = 2;  // the default audio device (SDL2)
constexpr int kSoundOutputOffline =
    16;  // no device, no thread: the host pulls audio (songMixOffline)

// Mixer types: 0..3 mix fast (linear interpolation), 4..7 mix for quality
// (8-tap windowed sinc).
constexpr int kSoundMixerQuality = 4;
constexpr int kSoundMixerCount = 8;
// Interpolation taps per mixer type.
constexpr int kSoundMixerTaps[kSoundMixerCount] = {2, 2, 2, 2, 8, 8, 8, 8};

// What every implementation of the layer accepts: a song file of at most
// 64 MiB, mixing rates from 8,000 to 192,000 Hz.
constexpr std::size_t kSoundMaxSongBytes = 64u << 20;
constexpr int kSoundMinRate = 8000;
constexpr int kSoundMaxRate = 192000;

constexpr int kSoundMaxVolume = 256;

// File callbacks. The handle is the caller's (a stdio stream for the
// module's own); the layer opens and reads song files only through these.
using SoundFileOpen = void* (*)(const char* name);  // null when it cannot open
using SoundFileClose = void (*)(void* handle);
using SoundFileRead = int (*)(void* buffer, int size, void* handle);            // bytes read
using SoundFileSeek = int (*)(void* handle, int position, signed char origin);  // 0 = done
using SoundFileTell = int (*)(void* handle);  // position, -1 on error

struct SoundSong;  // a loaded song

// Who hears of the layer's calls, each with its name and arguments as it is
// made: nobody in the show; a test build hands a listener to check the call
// sequence and the fade's steps. Called on the caller's thread; null for none.
using SoundCallListener = void (*)(const char* name, long long a, long long b, long long c);

// One implementation on every platform (sound_layer.cpp); the platform
// supplies only the outputs it plays through (audio_output.h).
class SoundLayer {
  public:
    SoundLayer();
    // Closes the layer (close()) if it was left open: its thread or device
    // stops before the code it runs goes away.
    ~SoundLayer();
    SoundLayer(const SoundLayer&) = delete;
    SoundLayer& operator=(const SoundLayer&) = delete;

    // Settings, before init: each returns 1 when accepted, 0 otherwise.
    int setOutput(int outputType);
    int setFileCallbacks(SoundFileOpen open, SoundFileClose close, SoundFileRead read,
                         SoundFileSeek seek, SoundFileTell tell);
    int setDriver(int driver);  // 0 = the default device, n = the n-th listed
    int setMixer(int mixer);

    // 1 when ready. Fails when the device output cannot open an audio device.
    int init(int mixRate, int maxChannels, unsigned flags);
    // Stops output, frees every song still loaded, and returns to the
    // uninitialised state. Harmless when not initialised.
    void close();

    // Null when the layer is not initialised, the file cannot be opened or
    // read completely, or it is not a song the layer can play. Songs loop
    // forever. A song belongs to the layer that loaded it.
    SoundSong* songLoad(const char* name);
    int songFree(SoundSong* song);
    int songPlay(SoundSong* song);
    int songStop(SoundSong* song);
    // Milliseconds of play since songPlay (plus the start time), counting on
    // across loops, as heard: audio still queued for the device is not
    // counted. Never goes backwards. 0 for an unknown song.
    int songGetTimeMs(SoundSong* song);
    // 0 (silent) .. 256 (full); changes glide over a few milliseconds.
    int songSetMasterVolume(SoundSong* song, int volume);

    // Before songPlay: the song starts this many milliseconds in, and its
    // time counts from there. 0 when the song is playing or unknown.
    int songSetStartMs(SoundSong* song, int startMs);
    // Pausing and seeking a playing song, for hosts that let the viewer move
    // through the show. songPause stops the mix and holds the clock at the
    // time heard; songResume plays on from exactly that song time. songSeekMs
    // moves a playing or paused song to startMs (a paused one stays paused
    // there). Each returns 1 when done, 0 for an unknown song or one in the
    // wrong state.
    int songPause(SoundSong* song);
    int songResume(SoundSong* song);
    int songSeekMs(SoundSong* song, int startMs);

    // Offline output only: mixes the next `frames` stereo frames of a
    // playing song into `interleavedStereo` and advances its time by exactly
    // that much. Returns the frames mixed (0 when not offline or not playing).
    int songMixOffline(SoundSong* song, std::int16_t* interleavedStereo, int frames);

    void setCallListener(SoundCallListener listener);

    struct System;  // the layer's state (sound_layer_state.h)

  private:
    std::unique_ptr<System> sys_;
};
