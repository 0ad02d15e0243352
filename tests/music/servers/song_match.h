// Lines a recording of the show's sound up against the song it should carry
// (an offline capture of the same stretch): where the song begins in the
// recording, how far it runs sample for sample, and every stretch of silence
// the output inserted on the way (a dropout).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct InsertedSilence {
    std::int64_t songFrame = 0;      // the reference frame it came before
    std::int64_t lengthFrames = 0;   // frames of silence inserted there
    std::int64_t skippedFrames = 0;  // song frames lost with it (an underrun drops what came late)
};

struct SongMatch {
    bool aligned = false;
    // Recording frame of reference frame 0, before any inserted silence.
    std::int64_t shift = 0;
    // Reference frames matched from the first sounding one on, up to the
    // first difference that no inserted silence explains (or the end).
    std::int64_t firstSoundingFrame = 0;
    std::int64_t matchedUntil = 0;
    std::vector<InsertedSilence> gaps;
};

// Both are interleaved stereo signed 16-bit. Two frames match when each
// channel differs by at most `tolerance`. A gap is a run of silent frames in
// the recording after which the reference goes on exactly, from where it
// stopped or up to `maxGapFrames` later; the silence is searched as far.
SongMatch matchSong(const std::vector<std::int16_t>& recording,
                    const std::vector<std::int16_t>& reference, int tolerance = 1,
                    std::int64_t maxGapFrames = 44100 * 2);
