// Turns the scene plan into notes: one grid of cells for the whole song
// (every row of every channel), written section by section. Needs the plan,
// the themes, the grooves and the sample bank's voice numbers.
#pragma once

#include <vector>

#include "it_module.h"

enum Channel : int {
    kChKick,
    kChSnare,
    kChHat,
    kChOpenHat,
    kChPerc,
    kChBass,
    kChPad1,
    kChPad2,
    kChPad3,
    kChPad4,
    kChLead,
    kChEcho,
    kChArp,
    kChBell,
    kChAccent,
    kChSwell,
    kChannelCount
};

struct SongGrid {
    int rows;
    std::vector<it::Cell> cells;  // rows x kChannelCount

    explicit SongGrid(int rowCount) : rows(rowCount), cells(rowCount * kChannelCount) {}
    it::Cell& at(int row, int channel) { return cells[row * kChannelCount + channel]; }
    const it::Cell& at(int row, int channel) const { return cells[row * kChannelCount + channel]; }
};

// The whole song, kSongRows rows.
SongGrid arrangeSong();
