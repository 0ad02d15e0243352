// The song's instruments: every sample is synthesised here (drums, bass,
// pads, leads, pluck, bell, crash, impact, riser), each paired with an
// instrument that gives it an envelope and a new-note action.
#pragma once

#include <vector>

#include "it_module.h"

// Instrument numbers as the patterns use them (1-based, sample n = instrument n).
enum Voice : int {
    kKick = 1,
    kSnare,
    kClap,
    kClosedHat,
    kOpenHat,
    kShaker,
    kCrash,
    kTom,
    kBoom,
    kRiser,
    kBass,
    kPad,
    kStrings,
    kLead,
    kSoftLead,
    kPluck,
    kBell,
    kVoiceCount = kBell
};

struct SampleBank {
    std::vector<it::Sample> samples;
    std::vector<it::Instrument> instruments;
};

SampleBank makeSampleBank();
