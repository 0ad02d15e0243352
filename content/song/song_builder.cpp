// Builds the module from the arrangement and the sample bank.
#include "song_builder.h"

#include <algorithm>

#include "it_writer.h"
#include "sample_bank.h"

namespace {

// Pan 0 (left) .. 64 (right) and volume per channel, in Channel order.
// clang-format off
const int kChannelPan[kChannelCount] = {
    32, 30, 40, 24, 36, 32, 18, 46, 26, 38, 30, 46, 20, 44, 32, 32};
const int kChannelVolume[kChannelCount] = {
    64, 60, 50, 48, 56, 64, 52, 52, 52, 52, 60, 52, 50, 52, 56, 56};
// clang-format on

}  // namespace

void cutIntoPatterns(const SongGrid& grid, it::Module& module) {
    for (int start = 0; start < grid.rows; start += kPatternRows) {
        const int rows = std::min(kPatternRows, grid.rows - start);
        it::Pattern p(rows, kChannelCount);
        for (int r = 0; r < rows; ++r) {
            for (int ch = 0; ch < kChannelCount; ++ch) p.at(r, ch) = grid.at(start + r, ch);
        }
        const auto same = std::find(module.patterns.begin(), module.patterns.end(), p);
        if (same != module.patterns.end()) {
            module.orders.push_back(static_cast<int>(same - module.patterns.begin()));
        } else {
            module.orders.push_back(static_cast<int>(module.patterns.size()));
            module.patterns.push_back(std::move(p));
        }
    }
}

it::Module buildSong() {
    it::Module m;
    m.name = "Sorvanel";
    m.initialSpeed = 6;
    m.initialTempo = 150;
    m.globalVolume = 128;
    m.mixVolume = 82;
    m.separation = 100;
    m.channelPan.assign(std::begin(kChannelPan), std::end(kChannelPan));
    m.channelVolume.assign(std::begin(kChannelVolume), std::end(kChannelVolume));
    SampleBank bank = makeSampleBank();
    m.samples = std::move(bank.samples);
    m.instruments = std::move(bank.instruments);
    cutIntoPatterns(arrangeSong(), m);
    return m;
}

std::vector<std::uint8_t> songFileBytes() {
    return it::writeModule(buildSong());
}
