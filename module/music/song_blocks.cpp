// A block is read from libopenmpt in one call of exactly its length; the
// first block after a restart is shortened to reach the grid.
#include "music/song_blocks.h"

#include <algorithm>
#include <cstring>

void SongBlocks::restart(std::int64_t songFrame) {
    filled_ = 0;
    taken_ = 0;
    ended_ = false;
    nextRender_ = std::max<std::int64_t>(0, songFrame);
}

void SongBlocks::renderBlock(openmpt_module* module, int rate) {
    const int length = kBlockFrames - static_cast<int>(nextRender_ % kBlockFrames);
    block_.resize(static_cast<std::size_t>(kBlockFrames) * 2);
    const std::size_t got =
        openmpt_module_read_interleaved_float_stereo(module, rate, length, block_.data());
    std::fill(block_.begin() + static_cast<std::ptrdiff_t>(got * 2), block_.end(), 0.0f);
    ended_ = got == 0;
    filled_ = length;
    taken_ = 0;
    nextRender_ += length;
}

void SongBlocks::read(openmpt_module* module, int rate, float* out, int frames) {
    while (frames > 0) {
        if (taken_ == filled_) renderBlock(module, rate);
        const int n = std::min(frames, filled_ - taken_);
        std::memcpy(out, block_.data() + static_cast<std::size_t>(taken_) * 2,
                    static_cast<std::size_t>(n) * 2 * sizeof(float));
        taken_ += n;
        out += static_cast<std::size_t>(n) * 2;
        frames -= n;
    }
}

void SongBlocks::skip(openmpt_module* module, int rate, std::int64_t frames) {
    while (frames > 0) {
        if (taken_ == filled_) {
            if (ended_) return;  // nothing more to pass over
            renderBlock(module, rate);
        }
        const int n = static_cast<int>(std::min<std::int64_t>(frames, filled_ - taken_));
        taken_ += n;
        frames -= n;
    }
}
