// A loaded song inside the sound layer: the libopenmpt module, its master
// volume with a per-sample glide, its play state and its clock. The layer
// serialises access (see sound_layer.cpp); the volume is atomic so that it
// can be set while the song is being mixed.
#pragma once

#include <libopenmpt/libopenmpt.h>

#include <atomic>
#include <cstdint>
#include <vector>

#include "music/song_blocks.h"
#include "music/song_clock.h"

// The song's module loaded from its file's bytes, looping for ever and mixed
// with an interpolation filter of `taps` points; null when libopenmpt cannot
// read it.
openmpt_module* loadSongModule(const std::vector<std::uint8_t>& data, int taps);

struct SoundSong {
    explicit SoundSong(openmpt_module* m) : module(m) {}
    ~SoundSong() { openmpt_module_destroy(module); }
    SoundSong(const SoundSong&) = delete;
    SoundSong& operator=(const SoundSong&) = delete;

    // Adds the next `frames` stereo frames, scaled by the gliding volume, to
    // `mix` (interleaved float stereo). The samples do not depend on how the
    // song is pulled (song_blocks.h); the glide moves one step per frame
    // from the volume set before the call.
    void mixInto(float* mix, int frames, int rate);

    // Positions the song exactly `seconds` in (wrapped to its length): the
    // loader can only jump to the start of a row, so it jumps to a row some
    // way before the time and mixes, silently, up to it. The notes still
    // sounding then are those of a run from the start, and blocks keep that
    // run's grid, so the samples from there on are the same.
    void seekTo(double seconds, int rate);

    openmpt_module* module;
    bool playing = false;
    bool paused = false;  // by songPause: not playing, clock held at startMs
    int startMs = 0;
    std::int64_t framesMixed = 0;  // since play
    std::atomic<int> volume{256};  // 0..256
    float gain = 1.0f;             // where the glide has got to
    SongClock clock;

  private:
    SongBlocks blocks_;
    std::vector<float> scratch_;
};

// Interleaved float stereo to 16-bit with saturation.
void floatToPcm16(const float* in, std::int16_t* out, int samples);
