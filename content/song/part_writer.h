// Writes the song's notes into its grid: single cells, the accents and the
// layers (pads, bass, arpeggio, drums, fills, melody) that the section
// scripts are made of. It remembers the note each channel sounds, so pads
// hold common tones and a release touches only what is still ringing. Needs
// the themes, the grooves, the harmony and the sample bank's voice numbers.
#pragma once

#include <array>
#include <vector>

#include "arranger.h"
#include "grooves.h"
#include "harmony.h"
#include "sample_bank.h"
#include "scene_plan.h"
#include "themes.h"

constexpr int kDrumNote = 60;  // drums play at their recorded pitch
constexpr int kRiserRows = 20;
constexpr int kEchoDelay = 3;
constexpr int kBassLow = 31;  // bass roots from G-1 up to F#2
constexpr int kPadLow = 53;
constexpr int kPadHigh = 74;
constexpr int kArpLow = 60;

// A section is a run of 16-row bars from its first row; what does not fill a
// bar becomes a short last bar (a fill, a gap before a drop, a held chord).
struct Bar {
    int row;
    int length;
    int index;
    bool partial;
};

std::vector<Bar> barsOf(const Segment& s);

// Melodies are written around A4..E6; keys far up are played an octave down.
int melodyShift(int key);
Chord chordOf(const char* symbol, int key);
Chord themeChord(ThemeId id, int bar, int key);
// Four chords that lead into `target`: for a minor chord its VI, VII, V sus4
// and V; for a major one its vi, IV, V sus4 and V.
std::array<Chord, 4> approachChords(const Chord& target);
int scaled(int volume, double level);

class PartWriter {
  public:
    explicit PartWriter(SongGrid& grid);

    SongGrid& grid() { return grid_; }

    // Single cells: a note that sounds until released, its release, and a
    // one-shot drum (never released).
    void note(int row, int ch, int pitch, int voice, int volume);
    void release(int row, int ch);
    void drum(int row, int ch, int voice, int volume);

    // Accents: a crash, a low boom, a riser ending at row.
    void crash(int row, int volume);
    void boom(int row, int volume);
    void riserInto(int row, int volume);
    // Every event boundary gets at least a soft cymbal if its section did
    // not already mark it.
    void markCues();

    // Layers.
    void pads(int row, const Chord& chord, int voices, int voice, int volume);
    void padsOff(int row);
    void bassBar(const Bar& bar, BassStyle style, const Chord& chord, int volume);
    void arpBar(const Bar& bar, ArpStyle style, const Chord& chord, int volume, int voice = kPluck);
    void drumBar(const Bar& bar, DrumStyle style, double level, bool fillTail);
    // A fill over `length` rows: snare sixteenths rising, toms falling.
    void drumFill(int row, int length, double level);
    // Snare hits every `step` rows with the volume moving from v0 to v1.
    void snareRoll(int row, int length, int step, int v0, int v1);
    // One bar of melody from `bar` of a theme, shifted, on the lead channel,
    // with an echo a dotted eighth later.
    void melodyBar(int row, int length, const MelodyBar& bar, int shift, int voice, int volume,
                   bool echo, int ch = kChLead);
    void leadOff(int row);
    void quietAll(int row);
    // A slow bell line on the chord's upper tones: two notes a bar.
    void counterBar(const Bar& bar, const Chord& chord, int volume);

  private:
    SongGrid& grid_;
    std::array<int, kChannelCount> sounding_{};
    std::array<int, kChannelCount> voice_{};
    std::vector<int> padVoicing_;
};
