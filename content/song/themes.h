// The song's tunes, written in A minor: two anthems and a riff for the
// scenes with drums, five quiet melodies for the text scenes. Scenes play
// them transposed. Needs harmony.h.
#pragma once

#include "harmony.h"

enum ThemeId : int {
    kThemeMain,     // the title anthem: Am F C G / Am F C E
    kThemeSoaring,  // the second anthem: F G Em Am
    kThemeRiff,     // a riff over Am G F G
    kThemeDrive,    // a punchy lead over Am Am F G
    kThemeCalm,     // quiet: Am Am F F C C G G
    kThemeAnswer,   // the quiet answer, ending on E
    kThemeHope,     // major colour: C G Am F
    kThemeLament,   // Dm Dm Am Am E E Am Am
    kThemeNight,    // a walk round the circle: Dm G C F Dm E Am Am
    kThemeCount
};

// Parsed once; throws at start-up if a table entry is malformed.
const Theme& theme(ThemeId id);
