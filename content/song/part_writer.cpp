// Implements the part writer: cells, accents and layers over the song grid.
#include "part_writer.h"

#include <algorithm>
#include <cmath>
#include <string>

std::vector<Bar> barsOf(const Segment& s) {
    std::vector<Bar> out;
    int index = 0;
    for (int row = s.startRow; row < s.endRow; row += kRowsPerBar, ++index) {
        const int length = std::min(kRowsPerBar, s.endRow - row);
        out.push_back({row, length, index, length < kRowsPerBar});
    }
    return out;
}

int melodyShift(int key) {
    return key <= 3 ? key : key - 12;
}

Chord chordOf(const char* symbol, int key) {
    return parseChord(symbol).transposed(key);
}

Chord themeChord(ThemeId id, int bar, int key) {
    const Theme& t = theme(id);
    return t.chords[bar % t.chords.size()].transposed(key);
}

std::array<Chord, 4> approachChords(const Chord& target) {
    const bool minor = target.contains(target.root + 3);
    auto chord = [&](int above, const char* quality) {
        return parseChord(std::string("C") + quality).transposed(target.root + above);
    };
    if (minor) return {chord(8, ""), chord(10, ""), chord(7, "sus4"), chord(7, "")};
    return {chord(9, "m"), chord(5, ""), chord(7, "sus4"), chord(7, "")};
}

int scaled(int volume, double level) {
    return std::clamp(static_cast<int>(std::lround(volume * level)), 0, 64);
}

PartWriter::PartWriter(SongGrid& grid) : grid_(grid) {
    sounding_.fill(-1);
    voice_.fill(0);
}

// Single cells.

void PartWriter::note(int row, int ch, int pitch, int voice, int volume) {
    if (row < 0 || row >= grid_.rows) return;
    it::Cell& c = grid_.at(row, ch);
    c.note = std::clamp(pitch, 0, 119);
    c.instrument = voice;
    c.volume = std::clamp(volume, 0, 64);
    sounding_[ch] = pitch;
    voice_[ch] = voice;
}

void PartWriter::release(int row, int ch) {
    if (sounding_[ch] < 0 || row >= grid_.rows) return;
    it::Cell& c = grid_.at(row, ch);
    if (c.note == it::kNoNote) c.note = it::kNoteOff;
    sounding_[ch] = -1;
}

// One-shots: not tracked as sounding, so nothing ever sends them a note-off.
void PartWriter::drum(int row, int ch, int voice, int volume) {
    if (row < 0 || row >= grid_.rows) return;
    it::Cell& c = grid_.at(row, ch);
    c.note = kDrumNote;
    c.instrument = voice;
    c.volume = std::clamp(volume, 0, 64);
}

// Accents.

void PartWriter::crash(int row, int volume) {
    drum(row, kChAccent, kCrash, volume);
}

void PartWriter::boom(int row, int volume) {
    drum(row, kChSwell, kBoom, volume);
}

void PartWriter::riserInto(int row, int volume) {
    drum(row - kRiserRows, kChSwell, kRiser, volume);
}

void PartWriter::markCues() {
    for (int row : cueRows()) {
        if (grid_.at(row, kChAccent).note == it::kNoNote &&
            grid_.at(row, kChSwell).note == it::kNoNote) {
            drum(row, kChAccent, kCrash, 22);
        }
    }
}

// Layers.

void PartWriter::pads(int row, const Chord& chord, int voices, int voice, int volume) {
    const std::vector<int> v = voiceChord(chord, padVoicing_, voices, kPadLow, kPadHigh);
    for (int i = 0; i < 4; ++i) {
        const int ch = kChPad1 + i;
        if (i >= voices) {
            release(row, ch);
            continue;
        }
        if (sounding_[ch] == v[i] && voice_[ch] == voice) continue;  // hold common tones
        note(row, ch, v[i], voice, volume);
    }
    padVoicing_ = v;
}

void PartWriter::padsOff(int row) {
    for (int ch = kChPad1; ch <= kChPad4; ++ch) release(row, ch);
    padVoicing_.clear();
}

void PartWriter::bassBar(const Bar& bar, BassStyle style, const Chord& chord, int volume) {
    const char* steps = bassPattern(style);
    const int root = rootIn(chord, kBassLow);
    for (int i = 0; i < bar.length; ++i) {
        const int row = bar.row + i;
        switch (steps[i]) {
            case 'R':
                note(row, kChBass, root, kBass, volume);
                break;
            case 'r':
                note(row, kChBass, root, kBass, scaled(volume, 0.75));
                break;
            case 'O':
                note(row, kChBass, root + 12, kBass, scaled(volume, 0.85));
                break;
            case 'F':
                note(row, kChBass, root + 7, kBass, scaled(volume, 0.9));
                break;
            case '.':
                release(row, kChBass);
                break;
            default:
                break;
        }
    }
}

void PartWriter::arpBar(const Bar& bar, ArpStyle style, const Chord& chord, int volume, int voice) {
    const char* steps = arpPattern(style);
    const int root = rootIn(chord, kArpLow);
    const int n = static_cast<int>(chord.intervals.size());
    for (int i = 0; i < bar.length; ++i) {
        if (steps[i] < '0' || steps[i] > '9') continue;
        const int index = steps[i] - '0';
        const int pitch = root + chord.intervals[index % n] + 12 * (index / n);
        note(bar.row + i, kChArp, pitch, voice, volume - (i % 4 == 0 ? 0 : 4));
    }
}

void PartWriter::drumBar(const Bar& bar, DrumStyle style, double level, bool fillTail) {
    const DrumPattern& p = drumPattern(style);
    const int tailFrom = fillTail ? 12 : kRowsPerBar;
    for (int i = 0; i < bar.length; ++i) {
        const int row = bar.row + i;
        switch (p.kick[i]) {
            case 'x':
                drum(row, kChKick, kKick, scaled(62, level));
                break;
            case 'o':
                drum(row, kChKick, kKick, scaled(48, level));
                break;
            default:
                break;
        }
        if (i >= tailFrom) {
            drum(row, kChSnare, kSnare, scaled(22 + 8 * (i - tailFrom), level));
        } else {
            switch (p.snare[i]) {
                case 'x':
                    drum(row, kChSnare, kSnare, scaled(54, level));
                    break;
                case 'c':
                    drum(row, kChSnare, kClap, scaled(52, level));
                    break;
                case 'g':
                    drum(row, kChSnare, kSnare, scaled(18, level));
                    break;
                default:
                    break;
            }
        }
        switch (p.hat[i]) {
            case 'H':
                drum(row, kChHat, kClosedHat, scaled(40, level));
                break;
            case 'h':
                drum(row, kChHat, kClosedHat, scaled(28, level));
                break;
            case 's':
                drum(row, kChHat, kShaker, scaled(30, level));
                break;
            default:
                break;
        }
        if (p.open[i] == 'O') drum(row, kChOpenHat, kOpenHat, scaled(30, level));
    }
}

void PartWriter::drumFill(int row, int length, double level) {
    static const int kTomNotes[] = {67, 64, 60, 57, 53, 50, 48, 45};
    drum(row, kChKick, kKick, scaled(60, level));
    for (int i = 0; i < length; ++i) {
        const int volume = 24 + (36 * (i + 1)) / length;
        drum(row + i, kChSnare, kSnare, scaled(volume, level));
        if (i % 2 == 1) note(row + i, kChPerc, kTomNotes[(i / 2) % 8], kTom, scaled(48, level));
    }
}

void PartWriter::snareRoll(int row, int length, int step, int v0, int v1) {
    for (int i = 0; i < length; i += step) {
        drum(row + i, kChSnare, kSnare, v0 + ((v1 - v0) * i) / std::max(1, length - 1));
    }
}

void PartWriter::melodyBar(int row, int length, const MelodyBar& bar, int shift, int voice,
                           int volume, bool echo, int ch) {
    int at = 0;
    for (const MelodyNote& n : bar) {
        if (at >= length) break;
        if (n.pitch < 0) {
            release(row + at, ch);
            if (echo) release(row + at + kEchoDelay, kChEcho);
        } else {
            note(row + at, ch, n.pitch + shift, voice, volume);
            if (echo) note(row + at + kEchoDelay, kChEcho, n.pitch + shift, voice, volume * 2 / 5);
        }
        at += n.rows;
    }
}

void PartWriter::leadOff(int row) {
    release(row, kChLead);
    release(row + kEchoDelay, kChEcho);
}

void PartWriter::quietAll(int row) {
    release(row, kChBass);
    leadOff(row);
    release(row, kChArp);
    release(row, kChBell);
}

void PartWriter::counterBar(const Bar& bar, const Chord& chord, int volume) {
    const std::vector<int> v = voiceChord(chord, {}, 3, 74, 90);
    note(bar.row, kChBell, v[(bar.index + 2) % 3], kBell, volume);
    note(bar.row + 8, kChBell, v[bar.index % 3], kBell, volume - 4);
}
