// The section scripts of the scenes with the band: the intro and title, the
// mesh scenes coming in, playing and going out, the build into a drop, the
// rise, the blackout, the finale and the last chord.
#include "section_scripts.h"

// 1.5 s of impact and swell, then eight bars that build to the title.
void writeIntro(PartWriter& w, const Segment& s) {
    const MeshScene& m = meshScene(s.scene);
    w.boom(s.startRow, 64);
    w.crash(s.startRow, 40);
    w.pads(s.startRow, themeChord(m.lead, 0, m.key), 4, kStrings, 30);
    w.note(s.startRow + 10, kChBell, 88, kBell, 28);  // the credits' first sparkle
    w.crash(s.startRow + 10, 16);
    constexpr int kPickup = 15;
    for (int k = 0; k < 8; ++k) {
        const Bar bar{s.startRow + kPickup + k * kRowsPerBar, kRowsPerBar, k, false};
        const Chord chord = themeChord(m.lead, k, m.key);
        w.pads(bar.row, chord, k < 4 ? 4 : 3, k < 4 ? kStrings : kPad, 30 + k);
        w.arpBar(bar, k < 4 ? kArpUp8 : kArpUpDown16, chord, 14 + 2 * k);
        if (k >= 2) w.bassBar(bar, k < 4 ? kBassWhole : kBassOffbeat, chord, 36 + 2 * k);
        if (k >= 2) {
            for (int i = 0; i < kRowsPerBar; i += 2)
                w.drum(bar.row + i, kChHat, kClosedHat, 14 + 3 * k);
        }
        if (k >= 4 && k <= 6) {
            for (int i = 0; i < kRowsPerBar; i += 4)
                w.drum(bar.row + i, kChKick, kKick, 40 + 5 * (k - 4));
        }
        if (k == 4 || k == 5)
            w.melodyBar(bar.row, kRowsPerBar, theme(m.lead).bars[k - 4], 12, kBell, 24, false,
                        kChBell);
        if (k == 6) {
            w.release(bar.row, kChBell);
            w.snareRoll(bar.row, kRowsPerBar, 2, 22, 40);
        }
        if (k == 7) w.snareRoll(bar.row, kRowsPerBar, 1, 34, 62);
    }
    w.riserInto(s.endRow, 52);
}

// The title: the anthem's first three bars with the full band.
void writeTitle(PartWriter& w, const Segment& s) {
    const MeshScene& m = meshScene(s.scene);
    w.crash(s.startRow, 64);
    w.boom(s.startRow, 60);
    for (const Bar& bar : barsOf(s)) {
        const Chord chord = themeChord(m.lead, bar.index, m.key);
        if (bar.partial) {
            w.release(bar.row, kChBass);
            continue;  // one row of silence before the groove drops
        }
        w.pads(bar.row, chord, 3, kPad, 30);
        w.bassBar(bar, kBassOffbeat, chord, 50);
        w.arpBar(bar, kArpUpDown16, chord, 22);
        w.melodyBar(bar.row, bar.length, theme(m.lead).bars[bar.index], melodyShift(m.key), kLead,
                    46, true);
        if (bar.index < 2) {
            w.drumBar(bar, kDrumsFour, 1.0, false);
        } else {
            const Bar head{bar.row, 9, bar.index, true};
            w.drumBar(head, kDrumsFour, 1.0, false);
            w.snareRoll(bar.row + 9, 7, 1, 30, 60);  // from 18.4 s into the figure at 19.2 s
        }
    }
    w.riserInto(s.endRow, 48);
}

void writeMeshIn(PartWriter& w, const Segment& s) {
    const MeshScene& m = meshScene(s.scene);
    w.crash(s.startRow, 60);
    w.boom(s.startRow, 60);
    w.leadOff(s.startRow);
    w.release(s.startRow, kChBell);
    for (const Bar& bar : barsOf(s)) {
        const Chord chord = themeChord(m.lead, bar.index, m.key);
        if (bar.partial) {
            // A gap before the lead comes in, closed by one snare hit.
            w.release(bar.row, kChBass);
            w.release(bar.row, kChArp);
            w.drum(bar.row + bar.length - 1, kChSnare, kSnare, 44);
            continue;
        }
        w.pads(bar.row, chord, 3, kPad, 26);
        w.drumBar(bar, m.drums, 0.9, false);
        w.bassBar(bar, m.bass, chord, 48);
        w.arpBar(bar, m.arp, chord, 30);
    }
}

void writeMeshBody(PartWriter& w, const Segment& s) {
    const MeshScene& m = meshScene(s.scene);
    if (m.leadInBars > 0) {
        w.boom(s.startRow, 60);
        w.crash(s.startRow, 60);
    } else {
        w.crash(s.startRow, 56);
    }
    w.release(s.startRow, kChBell);
    const int shift = melodyShift(m.key);
    const int leadBars = static_cast<int>(theme(m.lead).bars.size());
    for (const Bar& bar : barsOf(s)) {
        if (bar.partial) {
            w.drumFill(bar.row, bar.length, 1.0);
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
        w.pads(bar.row, chord, 3, kPad, 26);
        w.drumBar(bar, m.drums, 1.0, bar.index % 4 == 3);
        w.bassBar(bar, m.bass, chord, 50);
        w.arpBar(bar, m.arp, chord, i >= 0 ? 24 : 30);
        if (i >= 0)
            w.melodyBar(bar.row, bar.length, theme(id).bars[themeBar], shift, kLead, 46, true);
    }
}

void writeMeshOut(PartWriter& w, const Segment& s) {
    const MeshScene& m = meshScene(s.scene);
    w.crash(s.startRow, 50);
    w.leadOff(s.startRow);
    w.release(s.startRow, kChArp);
    for (const Bar& bar : barsOf(s)) {
        const Chord chord = themeChord(m.lead, bar.index, m.key);
        if (bar.partial) {
            w.release(bar.row, kChBass);
            w.release(bar.row, kChBell);
            continue;
        }
        w.pads(bar.row, chord, 4, kPad, 26);
        w.drumBar(bar, kDrumsHalf, 0.8, false);
        w.bassBar(bar, kBassHalf, chord, 42);
        w.arpBar(bar, kArpSparse, chord, 26, kBell);
    }
}

// Out of a text scene into the drop: three chords that lead into the
// scene's first chord, and a snare roll.
void writeBuild(PartWriter& w, const Segment& s) {
    const MeshScene& m = meshScene(s.scene);
    const std::array<Chord, 4> approach = approachChords(themeChord(m.lead, 0, m.key));
    static const int kOrder[] = {0, 1, 3, 3};  // VI, VII, V: a plain dominant before the drop
    w.crash(s.startRow, 28);
    w.quietAll(s.startRow);
    for (const Bar& bar : barsOf(s)) {
        const Chord chord = approach[kOrder[std::min(bar.index, 3)]];
        if (bar.partial) {
            w.release(bar.row, kChBass);
            continue;  // silence but for the swell: the drop is next
        }
        w.pads(bar.row, chord, 3, kPad, 28 + 2 * bar.index);
        w.bassBar(bar, kBassPulse, chord, 36 + 5 * bar.index);
        static const int kStep[] = {4, 2, 1};
        w.snareRoll(bar.row, kRowsPerBar, kStep[std::min(bar.index, 2)], 20 + 14 * bar.index,
                    32 + 14 * bar.index);
        for (int i = 0; i < kRowsPerBar; i += (bar.index < 2 ? 2 : 1)) {
            w.drum(bar.row + i, kChHat, kClosedHat, 16 + 6 * bar.index);
        }
    }
    w.riserInto(s.endRow, 50);
}

// 960 to 969 s: the riff over a kick, snare roll tightening, into the drop.
void writeRise(PartWriter& w, const Segment& s) {
    const MeshScene& m = meshScene(s.scene);
    w.crash(s.startRow, 40);
    for (const Bar& bar : barsOf(s)) {
        if (bar.partial || bar.index >= 4) {
            const Chord e = chordOf("E", m.key);
            if (bar.row == s.startRow + 4 * kRowsPerBar || bar.partial)
                w.pads(bar.row, e, 3, kPad, 32);
            w.leadOff(bar.row);
            if (!bar.partial) {
                w.bassBar(bar, kBassRolling, e, 48);
                const Bar kicks{bar.row, bar.length, bar.index, false};
                w.drumBar(kicks, kDrumsFour, 1.0, false);
            }
            w.snareRoll(bar.row, bar.length, 1, 40, 64);
            continue;
        }
        const Chord chord = themeChord(kThemeRiff, bar.index, m.key);
        w.pads(bar.row, chord, 3, kPad, 28);
        w.drumBar(bar, kDrumsFour, 0.95, false);
        w.snareRoll(bar.row, kRowsPerBar, bar.index < 2 ? 4 : 2, 24 + 6 * bar.index,
                    30 + 8 * bar.index);
        w.bassBar(bar, kBassRolling, chord, 46);
        w.arpBar(bar, kArpUpDown16, chord, 30);
        w.melodyBar(bar.row, bar.length, theme(kThemeRiff).bars[bar.index], melodyShift(m.key),
                    kLead, 40, true);
    }
    w.riserInto(s.endRow, 56);
}

// The two-second blackout: the dominant held, a tom roll, the swell.
void writeBreakdown(PartWriter& w, const Segment& s) {
    const MeshScene& m = meshScene(s.scene);
    w.quietAll(s.startRow);
    w.pads(s.startRow, chordOf("E", m.key), 4, kStrings, 34);
    static const int kTomNotes[] = {67, 65, 64, 62, 60, 57, 55, 53, 52, 50};
    for (int i = 0; i < s.endRow - s.startRow; i += 2) {
        w.note(s.startRow + i, kChPerc, kTomNotes[(i / 2) % 10], kTom, 28 + i);
    }
    w.riserInto(s.endRow, 60);
}

// The last minute: the second anthem, the first anthem with a bell above
// it, then half time, then only a kick under the quiet tune, and a cadence.
void writeFinale(PartWriter& w, const Segment& s) {
    const MeshScene& m = meshScene(s.scene);
    w.crash(s.startRow, 62);
    static const char* const kCadence[] = {"F", "G", "Esus4", "E", "E"};
    static const int kCadenceLead[] = {84, 83, 81, 80, 83};  // C6 B5 A5 G#5 B5
    for (const Bar& bar : barsOf(s)) {
        const int i = bar.index;
        if (bar.partial) {
            w.drumFill(bar.row, bar.length, 0.9);
            continue;
        }
        if (i < 16) {
            const ThemeId id = i < 8 ? m.second : m.lead;
            const int tb = i % 8;
            const Chord chord = themeChord(id, tb, m.key);
            if (i == 8) w.crash(bar.row, 56);
            w.pads(bar.row, chord, 3, kPad, 28);
            w.drumBar(bar, m.drums, 1.0, tb == 7);
            w.bassBar(bar, m.bass, chord, 50);
            w.arpBar(bar, m.arp, chord, 24);
            w.melodyBar(bar.row, bar.length, theme(id).bars[tb], melodyShift(m.key), kLead, 48,
                        true);
            if (i >= 8)
                w.melodyBar(bar.row, bar.length, theme(id).bars[tb], melodyShift(m.key) + 12, kBell,
                            20, false, kChBell);
        } else if (i < 24) {
            const int tb = i - 16;
            const Chord chord = themeChord(m.lead, tb, m.key);
            if (i == 16) w.release(bar.row, kChBell);
            w.pads(bar.row, chord, 4, kPad, 28);
            w.drumBar(bar, kDrumsHalf, 0.85, false);
            w.bassBar(bar, kBassHalf, chord, 44);
            w.arpBar(bar, kArpUp8, chord, 22);
            w.melodyBar(bar.row, bar.length, theme(m.lead).bars[tb], melodyShift(m.key), kSoftLead,
                        44, true);
        } else if (i < 32) {
            const int tb = i - 24;
            const Chord chord = themeChord(kThemeCalm, tb, m.key);
            if (i == 24) w.leadOff(bar.row);
            w.pads(bar.row, chord, 4, kStrings, 30);
            w.drum(bar.row, kChKick, kKick, 50 - (i - 24) * 2);
            for (int k = 0; k < kRowsPerBar; k += 4)
                w.drum(bar.row + k + 2, kChHat, kClosedHat, 18);
            w.bassBar(bar, kBassWhole, chord, 40);
            w.melodyBar(bar.row, bar.length, theme(kThemeCalm).bars[tb], melodyShift(m.key) + 12,
                        kBell, 26, false, kChBell);
        } else {
            const int k = std::min(i - 32, 4);
            const Chord chord = chordOf(kCadence[k], m.key);
            if (i == 32) w.release(bar.row, kChBell);
            w.pads(bar.row, chord, 4, kStrings, 32);
            w.bassBar(bar, kBassWhole, chord, 44);
            w.drum(bar.row, kChKick, kKick, 52);
            w.drum(bar.row + 8, kChKick, kKick, 40);
            if (k >= 3)
                w.snareRoll(bar.row, kRowsPerBar, k == 3 ? 2 : 1, 24 + 10 * (k - 3),
                            40 + 16 * (k - 3));
            if (k < 4) {
                w.note(bar.row, kChLead, kCadenceLead[k] + melodyShift(m.key) - 12, kSoftLead, 44);
            } else {
                w.note(bar.row, kChLead, kCadenceLead[4] + melodyShift(m.key) - 12, kSoftLead, 44);
                w.note(bar.row + 8, kChLead, kCadenceLead[3] + melodyShift(m.key) - 12, kSoftLead,
                       44);
            }
        }
    }
    w.riserInto(s.endRow, 56);
}

// 1560 s: the home chord, once, with everything; released a second later.
void writeEnding(PartWriter& w, const Segment& s) {
    const MeshScene& m = meshScene(s.scene);
    const int r = s.startRow;
    const Chord home = chordOf("Am", m.key);
    w.crash(r, 64);
    w.boom(r, 64);
    w.drum(r, kChKick, kKick, 64);
    w.release(r, kChArp);
    w.padsOff(r);  // strike every voice, common tones too
    w.pads(r, home, 4, kStrings, 38);
    w.note(r, kChBass, rootIn(home, kBassLow), kBass, 52);
    w.note(r, kChLead, 69 + melodyShift(m.key), kSoftLead, 46);
    w.note(r + kEchoDelay, kChEcho, 69 + melodyShift(m.key), kSoftLead, 18);
    w.note(r, kChBell, 81 + melodyShift(m.key), kBell, 30);
    const int releaseRow = r + 10;
    for (int ch = 0; ch < kChannelCount; ++ch) w.release(releaseRow, ch);
    // Nothing rings into the loop back to the start.
    for (int ch = 0; ch < kChannelCount; ++ch) {
        it::Cell& c = w.grid().at(s.endRow - 1, ch);
        c.note = it::kNoteCut;
    }
}
