// The arrangement. Each section is a run of 16-row bars from its first row;
// what does not fill a bar becomes a short last bar (a fill, a gap before a
// drop, a held chord). Channels keep track of the note they sound, so pads
// hold common tones and sections release only what is still ringing.
#include "arranger.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>

#include "grooves.h"
#include "harmony.h"
#include "sample_bank.h"
#include "scene_plan.h"
#include "themes.h"

namespace {

constexpr int kDrumNote = 60;  // drums play at their recorded pitch
constexpr int kRiserRows = 20;
constexpr int kEchoDelay = 3;
constexpr int kBassLow = 31;  // bass roots from G-1 up to F#2
constexpr int kPadLow = 53;
constexpr int kPadHigh = 74;
constexpr int kArpLow = 60;

struct Bar {
    int row;
    int length;
    int index;
    bool partial;
};

std::vector<Bar> barsOf(const Segment& s) {
    std::vector<Bar> out;
    int index = 0;
    for (int row = s.startRow; row < s.endRow; row += kRowsPerBar, ++index) {
        const int length = std::min(kRowsPerBar, s.endRow - row);
        out.push_back({row, length, index, length < kRowsPerBar});
    }
    return out;
}

// Melodies are written around A4..E6; keys far up are played an octave down.
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

// Four chords that lead into `target`: for a minor chord its VI, VII, V sus4
// and V; for a major one its vi, IV, V sus4 and V.
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

class Arranger {
  public:
    explicit Arranger(SongGrid& grid) : grid_(grid) {
        sounding_.fill(-1);
        voice_.fill(0);
    }

    void arrange() {
        for (const Segment& s : songSegments()) {
            switch (s.kind) {
                case SegmentKind::Intro:
                    intro(s);
                    break;
                case SegmentKind::Title:
                    title(s);
                    break;
                case SegmentKind::MeshIn:
                    meshIn(s);
                    break;
                case SegmentKind::MeshBody:
                    meshBody(s);
                    break;
                case SegmentKind::MeshOut:
                    meshOut(s);
                    break;
                case SegmentKind::Build:
                    build(s);
                    break;
                case SegmentKind::Swell:
                    swell(s);
                    break;
                case SegmentKind::Text:
                    text(s);
                    break;
                case SegmentKind::Rise:
                    rise(s);
                    break;
                case SegmentKind::Break:
                    breakdown(s);
                    break;
                case SegmentKind::Finale:
                    finale(s);
                    break;
                case SegmentKind::End:
                    ending(s);
                    break;
            }
        }
        markCues();
        // Tempo 150 and speed 6 make a row last exactly 0.1 s; set them on the
        // first row too, so a loop back to the start restores them.
        grid_.at(0, kChPerc).command = it::effect('T');
        grid_.at(0, kChPerc).param = 150;
        grid_.at(0, kChOpenHat).command = it::effect('A');
        grid_.at(0, kChOpenHat).param = 6;
    }

  private:
    // ---- single cells ----------------------------------------------------

    void note(int row, int ch, int pitch, int voice, int volume) {
        if (row < 0 || row >= grid_.rows) return;
        it::Cell& c = grid_.at(row, ch);
        c.note = std::clamp(pitch, 0, 119);
        c.instrument = voice;
        c.volume = std::clamp(volume, 0, 64);
        sounding_[ch] = pitch;
        voice_[ch] = voice;
    }

    void release(int row, int ch) {
        if (sounding_[ch] < 0 || row >= grid_.rows) return;
        it::Cell& c = grid_.at(row, ch);
        if (c.note == it::kNoNote) c.note = it::kNoteOff;
        sounding_[ch] = -1;
    }

    // One-shots: not tracked as sounding, so nothing ever sends them a note-off.
    void drum(int row, int ch, int voice, int volume) {
        if (row < 0 || row >= grid_.rows) return;
        it::Cell& c = grid_.at(row, ch);
        c.note = kDrumNote;
        c.instrument = voice;
        c.volume = std::clamp(volume, 0, 64);
    }

    // ---- accents -----------------------------------------------------------

    void crash(int row, int volume) { drum(row, kChAccent, kCrash, volume); }
    void boom(int row, int volume) { drum(row, kChSwell, kBoom, volume); }
    void riserInto(int row, int volume) { drum(row - kRiserRows, kChSwell, kRiser, volume); }

    // Every event boundary gets at least a soft cymbal if its section did not
    // already mark it.
    void markCues() {
        for (int row : cueRows()) {
            if (grid_.at(row, kChAccent).note == it::kNoNote &&
                grid_.at(row, kChSwell).note == it::kNoNote) {
                drum(row, kChAccent, kCrash, 22);
            }
        }
    }

    // ---- layers ------------------------------------------------------------

    void pads(int row, const Chord& chord, int voices, int voice, int volume) {
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

    void padsOff(int row) {
        for (int ch = kChPad1; ch <= kChPad4; ++ch) release(row, ch);
        padVoicing_.clear();
    }

    void bassBar(const Bar& bar, BassStyle style, const Chord& chord, int volume) {
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

    void arpBar(const Bar& bar, ArpStyle style, const Chord& chord, int volume,
                int voice = kPluck) {
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

    void drumBar(const Bar& bar, DrumStyle style, double level, bool fillTail) {
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

    // A fill over `length` rows: snare sixteenths rising, toms falling.
    void drumFill(int row, int length, double level) {
        static const int kTomNotes[] = {67, 64, 60, 57, 53, 50, 48, 45};
        drum(row, kChKick, kKick, scaled(60, level));
        for (int i = 0; i < length; ++i) {
            const int volume = 24 + (36 * (i + 1)) / length;
            drum(row + i, kChSnare, kSnare, scaled(volume, level));
            if (i % 2 == 1) note(row + i, kChPerc, kTomNotes[(i / 2) % 8], kTom, scaled(48, level));
        }
    }

    // Snare hits every `step` rows with the volume moving from v0 to v1.
    void snareRoll(int row, int length, int step, int v0, int v1) {
        for (int i = 0; i < length; i += step) {
            drum(row + i, kChSnare, kSnare, v0 + ((v1 - v0) * i) / std::max(1, length - 1));
        }
    }

    // One bar of melody from `bar` of a theme, shifted, on the lead channel,
    // with an echo a dotted eighth later.
    void melodyBar(int row, int length, const MelodyBar& bar, int shift, int voice, int volume,
                   bool echo, int ch = kChLead) {
        int at = 0;
        for (const MelodyNote& n : bar) {
            if (at >= length) break;
            if (n.pitch < 0) {
                release(row + at, ch);
                if (echo) release(row + at + kEchoDelay, kChEcho);
            } else {
                note(row + at, ch, n.pitch + shift, voice, volume);
                if (echo)
                    note(row + at + kEchoDelay, kChEcho, n.pitch + shift, voice, volume * 2 / 5);
            }
            at += n.rows;
        }
    }

    void leadOff(int row) {
        release(row, kChLead);
        release(row + kEchoDelay, kChEcho);
    }

    void quietAll(int row) {
        release(row, kChBass);
        leadOff(row);
        release(row, kChArp);
        release(row, kChBell);
    }

    // ---- sections ----------------------------------------------------------

    // 1.5 s of impact and swell, then eight bars that build to the title.
    void intro(const Segment& s) {
        const MeshScene& m = meshScene(s.scene);
        boom(s.startRow, 64);
        crash(s.startRow, 40);
        pads(s.startRow, themeChord(m.lead, 0, m.key), 4, kStrings, 30);
        note(s.startRow + 10, kChBell, 88, kBell, 28);  // the credits' first sparkle
        crash(s.startRow + 10, 16);
        constexpr int kPickup = 15;
        for (int k = 0; k < 8; ++k) {
            const Bar bar{s.startRow + kPickup + k * kRowsPerBar, kRowsPerBar, k, false};
            const Chord chord = themeChord(m.lead, k, m.key);
            pads(bar.row, chord, k < 4 ? 4 : 3, k < 4 ? kStrings : kPad, 30 + k);
            arpBar(bar, k < 4 ? kArpUp8 : kArpUpDown16, chord, 14 + 2 * k);
            if (k >= 2) bassBar(bar, k < 4 ? kBassWhole : kBassOffbeat, chord, 36 + 2 * k);
            if (k >= 2) {
                for (int i = 0; i < kRowsPerBar; i += 2)
                    drum(bar.row + i, kChHat, kClosedHat, 14 + 3 * k);
            }
            if (k >= 4 && k <= 6) {
                for (int i = 0; i < kRowsPerBar; i += 4)
                    drum(bar.row + i, kChKick, kKick, 40 + 5 * (k - 4));
            }
            if (k == 4 || k == 5)
                melodyBar(bar.row, kRowsPerBar, theme(m.lead).bars[k - 4], 12, kBell, 24, false,
                          kChBell);
            if (k == 6) {
                release(bar.row, kChBell);
                snareRoll(bar.row, kRowsPerBar, 2, 22, 40);
            }
            if (k == 7) snareRoll(bar.row, kRowsPerBar, 1, 34, 62);
        }
        riserInto(s.endRow, 52);
    }

    // The title: the anthem's first three bars with the full band.
    void title(const Segment& s) {
        const MeshScene& m = meshScene(s.scene);
        crash(s.startRow, 64);
        boom(s.startRow, 60);
        for (const Bar& bar : barsOf(s)) {
            const Chord chord = themeChord(m.lead, bar.index, m.key);
            if (bar.partial) {
                release(bar.row, kChBass);
                continue;  // one row of silence before the groove drops
            }
            pads(bar.row, chord, 3, kPad, 30);
            bassBar(bar, kBassOffbeat, chord, 50);
            arpBar(bar, kArpUpDown16, chord, 22);
            melodyBar(bar.row, bar.length, theme(m.lead).bars[bar.index], melodyShift(m.key), kLead,
                      46, true);
            if (bar.index < 2) {
                drumBar(bar, kDrumsFour, 1.0, false);
            } else {
                const Bar head{bar.row, 9, bar.index, true};
                drumBar(head, kDrumsFour, 1.0, false);
                snareRoll(bar.row + 9, 7, 1, 30, 60);  // from 18.4 s into the figure at 19.2 s
            }
        }
        riserInto(s.endRow, 48);
    }

    void meshIn(const Segment& s) {
        const MeshScene& m = meshScene(s.scene);
        crash(s.startRow, 60);
        boom(s.startRow, 60);
        leadOff(s.startRow);
        release(s.startRow, kChBell);
        for (const Bar& bar : barsOf(s)) {
            const Chord chord = themeChord(m.lead, bar.index, m.key);
            if (bar.partial) {
                // A gap before the lead comes in, closed by one snare hit.
                release(bar.row, kChBass);
                release(bar.row, kChArp);
                drum(bar.row + bar.length - 1, kChSnare, kSnare, 44);
                continue;
            }
            pads(bar.row, chord, 3, kPad, 26);
            drumBar(bar, m.drums, 0.9, false);
            bassBar(bar, m.bass, chord, 48);
            arpBar(bar, m.arp, chord, 30);
        }
    }

    void meshBody(const Segment& s) {
        const MeshScene& m = meshScene(s.scene);
        if (m.leadInBars > 0) {
            boom(s.startRow, 60);
            crash(s.startRow, 60);
        } else {
            crash(s.startRow, 56);
        }
        release(s.startRow, kChBell);
        const int shift = melodyShift(m.key);
        const int leadBars = static_cast<int>(theme(m.lead).bars.size());
        for (const Bar& bar : barsOf(s)) {
            if (bar.partial) {
                drumFill(bar.row, bar.length, 1.0);
                continue;  // the lead holds its last note over the fill
            }
            // After the lead-in, the two tunes take turns, eight bars each.
            const int i = bar.index - m.leadInBars;
            ThemeId id = m.lead;
            int themeBar = bar.index;
            if (i >= 0) {
                id = (i / leadBars) % 2 == 0 ? m.lead : m.second;
                themeBar = i % leadBars;
            }
            const Chord chord = themeChord(id, themeBar, m.key);
            pads(bar.row, chord, 3, kPad, 26);
            drumBar(bar, m.drums, 1.0, bar.index % 4 == 3);
            bassBar(bar, m.bass, chord, 50);
            arpBar(bar, m.arp, chord, i >= 0 ? 24 : 30);
            if (i >= 0)
                melodyBar(bar.row, bar.length, theme(id).bars[themeBar], shift, kLead, 46, true);
        }
    }

    void meshOut(const Segment& s) {
        const MeshScene& m = meshScene(s.scene);
        crash(s.startRow, 50);
        leadOff(s.startRow);
        release(s.startRow, kChArp);
        for (const Bar& bar : barsOf(s)) {
            const Chord chord = themeChord(m.lead, bar.index, m.key);
            if (bar.partial) {
                release(bar.row, kChBass);
                release(bar.row, kChBell);
                continue;
            }
            pads(bar.row, chord, 4, kPad, 26);
            drumBar(bar, kDrumsHalf, 0.8, false);
            bassBar(bar, kBassHalf, chord, 42);
            arpBar(bar, kArpSparse, chord, 26, kBell);
        }
    }

    // Out of a text scene into the drop: three chords that lead into the
    // scene's first chord, and a snare roll.
    void build(const Segment& s) {
        const MeshScene& m = meshScene(s.scene);
        const std::array<Chord, 4> approach = approachChords(themeChord(m.lead, 0, m.key));
        static const int kOrder[] = {0, 1, 3, 3};  // VI, VII, V: a plain dominant before the drop
        crash(s.startRow, 28);
        quietAll(s.startRow);
        for (const Bar& bar : barsOf(s)) {
            const Chord chord = approach[kOrder[std::min(bar.index, 3)]];
            if (bar.partial) {
                release(bar.row, kChBass);
                continue;  // silence but for the swell: the drop is next
            }
            pads(bar.row, chord, 3, kPad, 28 + 2 * bar.index);
            bassBar(bar, kBassPulse, chord, 36 + 5 * bar.index);
            static const int kStep[] = {4, 2, 1};
            snareRoll(bar.row, kRowsPerBar, kStep[std::min(bar.index, 2)], 20 + 14 * bar.index,
                      32 + 14 * bar.index);
            for (int i = 0; i < kRowsPerBar; i += (bar.index < 2 ? 2 : 1)) {
                drum(bar.row + i, kChHat, kClosedHat, 16 + 6 * bar.index);
            }
        }
        riserInto(s.endRow, 50);
    }

    // Out of a scene with drums into a text scene: strings lead into its first
    // chord, with a slow bell.
    void swell(const Segment& s) {
        const TextScene& t = textScene(s.scene);
        const std::array<Chord, 4> approach =
            approachChords(theme(t.first).chords[0].transposed(t.key));
        boom(s.startRow, 36);
        quietAll(s.startRow);
        for (const Bar& bar : barsOf(s)) {
            const Chord chord = approach[std::min(bar.index, 3)];
            pads(bar.row, chord, 4, kStrings, 30);
            if (bar.partial) continue;
            const std::vector<int> v = voiceChord(chord, {}, 4, 72, 88);
            for (int i = 0; i < 4; ++i) note(bar.row + 4 * i, kChBell, v[3 - i], kBell, 24 - 3 * i);
        }
        release(s.endRow - 1, kChBell);
        riserInto(s.endRow, 26);
    }

    // Eighty seconds of quiet: strings, bass, a soft lead with its echo, a
    // pluck and a bell; two tunes in the form intro A A' interlude B A outro.
    void text(const Segment& s) {
        const TextScene& t = textScene(s.scene);
        const Theme& first = theme(t.first);
        const Theme& second = theme(t.second);
        const int shift = melodyShift(t.key);
        boom(s.startRow, 30);
        for (const Bar& bar : barsOf(s)) {
            const int i = bar.index;
            Chord chord = first.chords[0].transposed(t.key);
            if (bar.partial) {
                pads(bar.row, chord, 4, kStrings, 26);
                leadOff(bar.row);
                release(bar.row, kChArp);
                continue;
            }
            enum Part { Intro, First, FirstAgain, Interlude, Second, Reprise, Outro } part;
            int tb = 0;  // bar within its tune
            if (i < 2) {
                part = Intro;
                tb = 0;
            } else if (i < 10) {
                part = First;
                tb = i - 2;
            } else if (i < 18) {
                part = FirstAgain;
                tb = i - 10;
            } else if (i < 26) {
                part = Interlude;
                tb = i - 18;
            } else if (i < 34) {
                part = Second;
                tb = i - 26;
            } else if (i < 42) {
                part = Reprise;
                tb = i - 34;
            } else {
                part = Outro;
                tb = (i - 42) % 8;
            }
            const Theme& tune = (part == Interlude || part == Second) ? second : first;
            chord = tune.chords[tb].transposed(t.key);
            const bool lastBars = i >= 48;

            pads(bar.row, chord, 4, kStrings, part == Intro || part == Outro ? 26 : 30);
            bassBar(bar, (part == Intro || part == First || part == Outro) ? kBassWhole : kBassHalf,
                    chord, lastBars ? 30 : 40);
            switch (part) {
                case First:
                case Second:
                case Reprise:
                    melodyBar(bar.row, bar.length, tune.bars[tb], shift, kSoftLead, 42, true);
                    arpBar(bar, part == First ? kArpSparse : kArpUp8, chord, 20);
                    if (part == Reprise) {
                        melodyBar(bar.row, bar.length, tune.bars[tb], shift + 12, kBell, 18, false,
                                  kChBell);
                    }
                    break;
                case FirstAgain:
                    melodyBar(bar.row, bar.length, tune.bars[tb], shift, kSoftLead, 42, true);
                    melodyBar(bar.row, bar.length, tune.bars[tb], shift + 12, kBell, 16, false,
                              kChBell);
                    arpBar(bar, kArpUp8, chord, 22);
                    break;
                case Interlude:
                    if (tb == 0) {
                        leadOff(bar.row);
                        release(bar.row, kChBell);
                    }
                    arpBar(bar, kArpUpDown16, chord, 20);
                    counterBar(bar, chord, 22);
                    break;
                case Intro:
                case Outro:
                    if (part == Outro && tb == 0 && i == 42) {
                        leadOff(bar.row);
                        release(bar.row, kChBell);
                    }
                    if (!lastBars) {
                        arpBar(bar, kArpSparse, chord, part == Intro ? 16 : 18);
                        counterBar(bar, chord, 20);
                    } else {
                        release(bar.row, kChArp);
                    }
                    break;
            }
        }
    }

    // A slow bell line on the chord's upper tones: two notes a bar.
    void counterBar(const Bar& bar, const Chord& chord, int volume) {
        const std::vector<int> v = voiceChord(chord, {}, 3, 74, 90);
        note(bar.row, kChBell, v[(bar.index + 2) % 3], kBell, volume);
        note(bar.row + 8, kChBell, v[bar.index % 3], kBell, volume - 4);
    }

    // 960 to 969 s: the riff over a kick, snare roll tightening, into the drop.
    void rise(const Segment& s) {
        const MeshScene& m = meshScene(s.scene);
        crash(s.startRow, 40);
        for (const Bar& bar : barsOf(s)) {
            if (bar.partial || bar.index >= 4) {
                const Chord e = chordOf("E", m.key);
                if (bar.row == s.startRow + 4 * kRowsPerBar || bar.partial)
                    pads(bar.row, e, 3, kPad, 32);
                leadOff(bar.row);
                if (!bar.partial) {
                    bassBar(bar, kBassRolling, e, 48);
                    const Bar kicks{bar.row, bar.length, bar.index, false};
                    drumBar(kicks, kDrumsFour, 1.0, false);
                }
                snareRoll(bar.row, bar.length, 1, 40, 64);
                continue;
            }
            const Chord chord = themeChord(kThemeRiff, bar.index, m.key);
            pads(bar.row, chord, 3, kPad, 28);
            drumBar(bar, kDrumsFour, 0.95, false);
            snareRoll(bar.row, kRowsPerBar, bar.index < 2 ? 4 : 2, 24 + 6 * bar.index,
                      30 + 8 * bar.index);
            bassBar(bar, kBassRolling, chord, 46);
            arpBar(bar, kArpUpDown16, chord, 30);
            melodyBar(bar.row, bar.length, theme(kThemeRiff).bars[bar.index], melodyShift(m.key),
                      kLead, 40, true);
        }
        riserInto(s.endRow, 56);
    }

    // The two-second blackout: the dominant held, a tom roll, the swell.
    void breakdown(const Segment& s) {
        const MeshScene& m = meshScene(s.scene);
        quietAll(s.startRow);
        pads(s.startRow, chordOf("E", m.key), 4, kStrings, 34);
        static const int kTomNotes[] = {67, 65, 64, 62, 60, 57, 55, 53, 52, 50};
        for (int i = 0; i < s.endRow - s.startRow; i += 2) {
            note(s.startRow + i, kChPerc, kTomNotes[(i / 2) % 10], kTom, 28 + i);
        }
        riserInto(s.endRow, 60);
    }

    // The last minute: the second anthem, the first anthem with a bell above
    // it, then half time, then only a kick under the quiet tune, and a cadence.
    void finale(const Segment& s) {
        const MeshScene& m = meshScene(s.scene);
        crash(s.startRow, 62);
        static const char* const kCadence[] = {"F", "G", "Esus4", "E", "E"};
        static const int kCadenceLead[] = {84, 83, 81, 80, 83};  // C6 B5 A5 G#5 B5
        for (const Bar& bar : barsOf(s)) {
            const int i = bar.index;
            if (bar.partial) {
                drumFill(bar.row, bar.length, 0.9);
                continue;
            }
            if (i < 16) {
                const ThemeId id = i < 8 ? m.second : m.lead;
                const int tb = i % 8;
                const Chord chord = themeChord(id, tb, m.key);
                if (i == 8) crash(bar.row, 56);
                pads(bar.row, chord, 3, kPad, 28);
                drumBar(bar, m.drums, 1.0, tb == 7);
                bassBar(bar, m.bass, chord, 50);
                arpBar(bar, m.arp, chord, 24);
                melodyBar(bar.row, bar.length, theme(id).bars[tb], melodyShift(m.key), kLead, 48,
                          true);
                if (i >= 8)
                    melodyBar(bar.row, bar.length, theme(id).bars[tb], melodyShift(m.key) + 12,
                              kBell, 20, false, kChBell);
            } else if (i < 24) {
                const int tb = i - 16;
                const Chord chord = themeChord(m.lead, tb, m.key);
                if (i == 16) release(bar.row, kChBell);
                pads(bar.row, chord, 4, kPad, 28);
                drumBar(bar, kDrumsHalf, 0.85, false);
                bassBar(bar, kBassHalf, chord, 44);
                arpBar(bar, kArpUp8, chord, 22);
                melodyBar(bar.row, bar.length, theme(m.lead).bars[tb], melodyShift(m.key),
                          kSoftLead, 44, true);
            } else if (i < 32) {
                const int tb = i - 24;
                const Chord chord = themeChord(kThemeCalm, tb, m.key);
                if (i == 24) leadOff(bar.row);
                pads(bar.row, chord, 4, kStrings, 30);
                drum(bar.row, kChKick, kKick, 50 - (i - 24) * 2);
                for (int k = 0; k < kRowsPerBar; k += 4)
                    drum(bar.row + k + 2, kChHat, kClosedHat, 18);
                bassBar(bar, kBassWhole, chord, 40);
                melodyBar(bar.row, bar.length, theme(kThemeCalm).bars[tb], melodyShift(m.key) + 12,
                          kBell, 26, false, kChBell);
            } else {
                const int k = std::min(i - 32, 4);
                const Chord chord = chordOf(kCadence[k], m.key);
                if (i == 32) release(bar.row, kChBell);
                pads(bar.row, chord, 4, kStrings, 32);
                bassBar(bar, kBassWhole, chord, 44);
                drum(bar.row, kChKick, kKick, 52);
                drum(bar.row + 8, kChKick, kKick, 40);
                if (k >= 3)
                    snareRoll(bar.row, kRowsPerBar, k == 3 ? 2 : 1, 24 + 10 * (k - 3),
                              40 + 16 * (k - 3));
                if (k < 4) {
                    note(bar.row, kChLead, kCadenceLead[k] + melodyShift(m.key) - 12, kSoftLead,
                         44);
                } else {
                    note(bar.row, kChLead, kCadenceLead[4] + melodyShift(m.key) - 12, kSoftLead,
                         44);
                    note(bar.row + 8, kChLead, kCadenceLead[3] + melodyShift(m.key) - 12, kSoftLead,
                         44);
                }
            }
        }
        riserInto(s.endRow, 56);
    }

    // 1560 s: the home chord, once, with everything; released a second later.
    void ending(const Segment& s) {
        const MeshScene& m = meshScene(s.scene);
        const int r = s.startRow;
        const Chord home = chordOf("Am", m.key);
        crash(r, 64);
        boom(r, 64);
        drum(r, kChKick, kKick, 64);
        release(r, kChArp);
        padsOff(r);  // strike every voice, common tones too
        pads(r, home, 4, kStrings, 38);
        note(r, kChBass, rootIn(home, kBassLow), kBass, 52);
        note(r, kChLead, 69 + melodyShift(m.key), kSoftLead, 46);
        note(r + kEchoDelay, kChEcho, 69 + melodyShift(m.key), kSoftLead, 18);
        note(r, kChBell, 81 + melodyShift(m.key), kBell, 30);
        const int releaseRow = r + 10;
        for (int ch = 0; ch < kChannelCount; ++ch) release(releaseRow, ch);
        // Nothing rings into the loop back to the start.
        for (int ch = 0; ch < kChannelCount; ++ch) {
            it::Cell& c = grid_.at(s.endRow - 1, ch);
            c.note = it::kNoteCut;
        }
    }

    SongGrid& grid_;
    std::array<int, kChannelCount> sounding_{};
    std::array<int, kChannelCount> voice_{};
    std::vector<int> padVoicing_;
};

}  // namespace

SongGrid arrangeSong() {
    SongGrid grid(kSongRows);
    Arranger(grid).arrange();
    return grid;
}
