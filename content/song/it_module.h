// The in-memory Impulse Tracker module the composer fills and the writer
// serialises: header values, instruments with volume envelopes, 16-bit mono
// samples, and patterns of cells. Needs nothing but the standard library.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace it {

// Note values of a pattern cell besides 0..119 (C-0..B-9).
constexpr int kNoNote = -1;
constexpr int kNoteCut = 254;
constexpr int kNoteOff = 255;
constexpr int kNoVolume = -1;

// Effect letters are stored as 1 (A) .. 26 (Z).
constexpr std::uint8_t effect(char letter) {
    return static_cast<std::uint8_t>(letter - 'A' + 1);
}

struct Cell {
    int note = kNoNote;      // 0..119, kNoteCut, kNoteOff or kNoNote
    int instrument = 0;      // 1-based, 0 = none
    int volume = kNoVolume;  // raw volume-column byte (0..64 sets the volume)
    std::uint8_t command = 0;
    std::uint8_t param = 0;

    bool empty() const {
        return note == kNoNote && instrument == 0 && volume == kNoVolume && command == 0;
    }
    bool operator==(const Cell&) const = default;
};

struct Pattern {
    int rows = 0;
    int channels = 0;
    std::vector<Cell> cells;  // rows x channels, row-major

    Pattern(int rowCount, int channelCount)
        : rows(rowCount), channels(channelCount), cells(rowCount * channelCount) {}
    Cell& at(int row, int channel) { return cells[row * channels + channel]; }
    const Cell& at(int row, int channel) const { return cells[row * channels + channel]; }
    bool operator==(const Pattern&) const = default;
};

struct EnvelopeNode {
    int tick;   // 0..65535
    int value;  // 0..64
};

struct Envelope {
    bool enabled = false;
    std::vector<EnvelopeNode> nodes;  // at most 25
    int sustainNode = -1;             // a one-node sustain loop; -1 = none
};

enum class NewNoteAction : std::uint8_t { Cut = 0, Continue = 1, NoteOff = 2, NoteFade = 3 };

struct Instrument {
    std::string name;
    int sample = 1;  // 1-based sample every note plays
    NewNoteAction newNoteAction = NewNoteAction::Cut;
    int fadeOut = 0;         // 0..1024 per tick, from note-off on
    int globalVolume = 128;  // 0..128
    int defaultPan = -1;     // 0..64, -1 = channel pan
    Envelope volumeEnvelope;
};

struct Sample {
    std::string name;
    std::vector<std::int16_t> data;  // 16-bit signed mono
    int c5Speed = 44100;             // rate at which note C-5 plays the data as is
    bool loop = false;
    int loopStart = 0;  // in samples
    int loopEnd = 0;    // exclusive
    int globalVolume = 64;
    int defaultVolume = 64;
    int vibratoSpeed = 0;
    int vibratoDepth = 0;
    int vibratoRate = 0;
};

struct Module {
    std::string name;
    int initialSpeed = 6;
    int initialTempo = 125;
    int globalVolume = 128;  // 0..128
    int mixVolume = 48;      // 0..128
    int separation = 128;    // stereo separation 0..128
    int rowsPerBeat = 4;
    int rowsPerMeasure = 16;
    std::vector<int> channelPan;     // 0..64 per used channel
    std::vector<int> channelVolume;  // 0..64 per used channel
    std::vector<int> orders;         // pattern indices, in play order
    std::vector<Pattern> patterns;
    std::vector<Instrument> instruments;
    std::vector<Sample> samples;
};

}  // namespace it
