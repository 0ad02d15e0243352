// How the song follows the show: the sections of music in time order, each
// starting on the row of a script event (a row is 0.1 s), the musical
// choices of every scene with drums and every text scene, and the rows of
// all event boundaries, where something audible always happens.
#pragma once

#include <vector>

#include "grooves.h"
#include "themes.h"

constexpr int kSongRows = 15620;  // 1562 s: the script's 1561 s and a last breath

enum class SegmentKind {
    Intro,     // sprite burst and credits: build-up to the title at 14.3 s
    Title,     // the title word
    MeshIn,    // a scene with drums begins (the drop)
    MeshBody,  // its main part, with the lead tune
    MeshOut,   // its fade: half-time drums
    Build,     // after a text scene: snare roll and swell into the drop
    Swell,     // before a text scene: drums stop, strings swell
    Text,      // a text scene: quiet, no kick or snare
    Rise,      // inside the long circle stretch: a build with drums
    Break,     // the two-second blackout in the circle stretch: toms only
    Finale,    // the last minute: grand statement, winding down
    End        // the final chord at 1560 s
};

struct Segment {
    int startRow;
    int endRow;  // exclusive
    SegmentKind kind;
    int scene;  // index into the mesh or text scene table, by kind
};

struct MeshScene {
    int key;  // semitones above A minor
    ThemeId lead;
    ThemeId second;
    DrumStyle drums;
    BassStyle bass;
    ArpStyle arp;
    int leadInBars;  // bars of groove before the lead enters in the body
};

struct TextScene {
    int key;
    ThemeId first;
    ThemeId second;
};

const std::vector<Segment>& songSegments();
const MeshScene& meshScene(int index);
const TextScene& textScene(int index);

// Rows of every script event's start after the first, in order (90 rows).
const std::vector<int>& cueRows();
