// Pitches, chords and melodies as the composer writes them: note names such
// as "G#5" (MIDI numbering, C-5 = 60 = middle C, which is also the tracker's
// C-5), chord symbols such as "Am", "Fmaj7", "Gsus4", and melody bars written
// as "A4:3 C5:3 E5:2 A5:6 G5:2" (pitch:rows, "r" for a rest).
#pragma once

#include <string>
#include <vector>

constexpr int kRowsPerBar = 16;

// -1 when the text is not a note name.
int parseNoteName(const std::string& text);

struct Chord {
    int root = 0;                // pitch class 0..11 (C = 0)
    std::vector<int> intervals;  // semitones above the root, ascending, starting with 0

    Chord transposed(int semitones) const;
    bool contains(int pitch) const;  // pitch class membership
};

// Throws std::invalid_argument on a symbol it does not know.
Chord parseChord(const std::string& symbol);

struct MelodyNote {
    int pitch;  // MIDI note, -1 = rest
    int rows;
};

using MelodyBar = std::vector<MelodyNote>;

// A tune: one chord and one melody bar per bar.
struct Theme {
    std::string name;
    std::vector<Chord> chords;
    std::vector<MelodyBar> bars;
};

// Parses "Am F C G" and "bar | bar | ..." (every bar must fill 16 rows and
// match the chord count); throws std::invalid_argument otherwise.
Theme parseTheme(const std::string& name, const std::string& chords, const std::string& melody);

// The closest voicing of `chord` to `previous` (same voice count), with every
// note inside [low, high]; with no previous voicing, the lowest inversion at
// or above `low`.
std::vector<int> voiceChord(const Chord& chord, const std::vector<int>& previous, int voices,
                            int low, int high);

// The chord's root placed in [low, low + 11].
int rootIn(const Chord& chord, int low);
