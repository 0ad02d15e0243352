// Rhythm tables, one character per row of a 16-row bar: drum kits, bass
// lines and arpeggios. Data only; the arranger reads them.
#pragma once

enum DrumStyle : int {
    kDrumsFour,
    kDrumsBreak,
    kDrumsTwoStep,
    kDrumsDrive,
    kDrumsHalf,
    kDrumStyleCount
};
enum BassStyle : int {
    kBassOffbeat,
    kBassRolling,
    kBassSyncopated,
    kBassPulse,
    kBassWhole,
    kBassHalf,
    kBassStyleCount
};
enum ArpStyle : int { kArpUp8, kArpUpDown16, kArpBroken, kArpSparse, kArpStyleCount };

// Kick: x accent, o normal, g ghost. Snare: x snare, c clap, g ghost snare.
// Hat: H accent, h closed, s shaker. Open: O open hat.
struct DrumPattern {
    const char* kick;
    const char* snare;
    const char* hat;
    const char* open;
};

// R root, r soft root, O octave up, F fifth, '-' hold, '.' release.
using BassPattern = const char*;

// Digits index the arpeggio's chord tones from the bottom; '.' rests.
using ArpPattern = const char*;

const DrumPattern& drumPattern(DrumStyle style);
BassPattern bassPattern(BassStyle style);
ArpPattern arpPattern(ArpStyle style);
