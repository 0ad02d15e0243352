// The song's samples in fixed blocks, whoever pulls them. libopenmpt splits
// its mix at the end of every read call as well as at its own tick and
// buffer limits, and some of its state is recomputed per piece: the step of
// a global-volume ramp, for one, is the remaining distance divided by the
// remaining samples with integer rounding, each time a piece starts. So the
// same song read in pieces of different sizes differs in the last bit here
// and there. Reading it only in blocks of one size, on a grid fixed to song
// frames, and handing out any count from a small FIFO gives every caller
// (device chunks, captures at any frame rate, the page's worklet) the same
// samples.
#pragma once

#include <libopenmpt/libopenmpt.h>

#include <cstdint>
#include <vector>

class SongBlocks {
  public:
    static constexpr int kBlockFrames = 1024;

    // The module was just positioned at song frame `songFrame`: what is
    // buffered is dropped, and the next block ends on the grid (a multiple
    // of kBlockFrames from frame 0), as a run from the start would have.
    void restart(std::int64_t songFrame);

    // The next `frames` frames as interleaved float stereo; silence once
    // the module has nothing more.
    void read(openmpt_module* module, int rate, float* out, int frames);
    // Passes over `frames` frames.
    void skip(openmpt_module* module, int rate, std::int64_t frames);

    // The song frame the next read starts at.
    std::int64_t frame() const { return nextRender_ - (filled_ - taken_); }

  private:
    // Renders the next block into the FIFO, which must be empty.
    void renderBlock(openmpt_module* module, int rate);

    std::vector<float> block_;
    int filled_ = 0;               // frames in block_
    int taken_ = 0;                // frames of block_ handed out
    bool ended_ = false;           // the last block found the module at its end
    std::int64_t nextRender_ = 0;  // the song frame the next block starts at
};
