// The section scripts of the text scenes: the swell into one and the eighty
// quiet seconds of the scene itself, whose form is a table of its parts.
#include "section_scripts.h"

namespace {

enum TextPart { Intro, First, FirstAgain, Interlude, Second, Reprise, Outro };

// The form of a text scene, bar by bar: intro, A, A', interlude, B, A and
// the outro, which plays its tune's bars again and again.
struct FormSpan {
    TextPart part;
    int fromBar;
};
constexpr FormSpan kTextForm[] = {
    {Intro, 0},   {First, 2},    {FirstAgain, 10}, {Interlude, 18},
    {Second, 26}, {Reprise, 34}, {Outro, 42},
};

// The part of bar i, and in tuneBar the bar of its tune that it plays (the
// intro holds the tune's first bar).
TextPart textPartAt(int i, int& tuneBar) {
    FormSpan span = kTextForm[0];
    for (const FormSpan& s : kTextForm) {
        if (s.fromBar <= i) span = s;
    }
    tuneBar = span.part == Intro ? 0 : (i - span.fromBar) % 8;
    return span.part;
}

}  // namespace

// Out of a scene with drums into a text scene: strings lead into its first
// chord, with a slow bell.
void writeSwell(PartWriter& w, const Segment& s) {
    const TextScene& t = textScene(s.scene);
    const std::array<Chord, 4> approach =
        approachChords(theme(t.first).chords[0].transposed(t.key));
    w.boom(s.startRow, 36);
    w.quietAll(s.startRow);
    for (const Bar& bar : barsOf(s)) {
        const Chord chord = approach[std::min(bar.index, 3)];
        w.pads(bar.row, chord, 4, kStrings, 30);
        if (bar.partial) continue;
        const std::vector<int> v = voiceChord(chord, {}, 4, 72, 88);
        for (int i = 0; i < 4; ++i) w.note(bar.row + 4 * i, kChBell, v[3 - i], kBell, 24 - 3 * i);
    }
    w.release(s.endRow - 1, kChBell);
    w.riserInto(s.endRow, 26);
}

// Eighty seconds of quiet: strings, bass, a soft lead with its echo, a
// pluck and a bell; two tunes in the form intro A A' interlude B A outro.
void writeText(PartWriter& w, const Segment& s) {
    const TextScene& t = textScene(s.scene);
    const Theme& first = theme(t.first);
    const Theme& second = theme(t.second);
    const int shift = melodyShift(t.key);
    w.boom(s.startRow, 30);
    for (const Bar& bar : barsOf(s)) {
        const int i = bar.index;
        Chord chord = first.chords[0].transposed(t.key);
        if (bar.partial) {
            w.pads(bar.row, chord, 4, kStrings, 26);
            w.leadOff(bar.row);
            w.release(bar.row, kChArp);
            continue;
        }
        int tb = 0;  // bar within its tune
        const TextPart part = textPartAt(i, tb);
        const Theme& tune = (part == Interlude || part == Second) ? second : first;
        chord = tune.chords[tb].transposed(t.key);
        const bool lastBars = i >= 48;

        w.pads(bar.row, chord, 4, kStrings, part == Intro || part == Outro ? 26 : 30);
        w.bassBar(bar, (part == Intro || part == First || part == Outro) ? kBassWhole : kBassHalf,
                  chord, lastBars ? 30 : 40);
        switch (part) {
            case First:
            case Second:
            case Reprise:
                w.melodyBar(bar.row, bar.length, tune.bars[tb], shift, kSoftLead, 42, true);
                w.arpBar(bar, part == First ? kArpSparse : kArpUp8, chord, 20);
                if (part == Reprise) {
                    w.melodyBar(bar.row, bar.length, tune.bars[tb], shift + 12, kBell, 18, false,
                                kChBell);
                }
                break;
            case FirstAgain:
                w.melodyBar(bar.row, bar.length, tune.bars[tb], shift, kSoftLead, 42, true);
                w.melodyBar(bar.row, bar.length, tune.bars[tb], shift + 12, kBell, 16, false,
                            kChBell);
                w.arpBar(bar, kArpUp8, chord, 22);
                break;
            case Interlude:
                if (tb == 0) {
                    w.leadOff(bar.row);
                    w.release(bar.row, kChBell);
                }
                w.arpBar(bar, kArpUpDown16, chord, 20);
                w.counterBar(bar, chord, 22);
                break;
            case Intro:
            case Outro:
                if (part == Outro && tb == 0 && i == 42) {
                    w.leadOff(bar.row);
                    w.release(bar.row, kChBell);
                }
                if (!lastBars) {
                    w.arpBar(bar, kArpSparse, chord, part == Intro ? 16 : 18);
                    w.counterBar(bar, chord, 20);
                } else {
                    w.release(bar.row, kChArp);
                }
                break;
        }
    }
}
