// The melodies as data: chords one per bar, melody bars of 16 rows each.
#include "themes.h"

#include <array>

namespace {

struct ThemeText {
    const char* name;
    const char* chords;
    const char* melody;
};

// clang-format off
const ThemeText kThemes[kThemeCount] = {
    {"main", "Am F C G Am F C E",
     "A4:3 C5:3 E5:2 A5:6 G5:2 | F5:3 E5:3 C5:2 F5:4 A5:4 | G5:3 E5:3 C5:2 E5:4 G5:4 |"
     "D5:6 B4:2 D5:4 G5:4 | A5:3 G5:3 E5:2 A5:6 B5:2 | C6:6 A5:2 F5:4 A5:4 |"
     "G5:3 E5:3 C5:2 G5:4 E5:4 | B5:6 A5:2 G#5:8"},
    {"soaring", "F G Em Am F G Em Am",
     "A5:6 G5:2 F5:4 E5:4 | D5:6 E5:2 G5:8 | B5:6 A5:2 G5:4 E5:4 | A5:12 r:4 |"
     "A5:6 G5:2 F5:4 A5:4 | B5:6 C6:2 D6:8 | E6:6 D6:2 B5:4 G5:4 | A5:16"},
    {"riff", "Am G F G Am G F G",
     "A4:2 A4:1 C5:1 E5:2 A4:2 G5:2 E5:2 C5:2 D5:2 | B4:2 B4:1 D5:1 G5:2 B4:2 D5:2 G5:2 A5:2 G5:2 |"
     "A4:2 A4:1 C5:1 F5:2 A4:2 C5:2 F5:2 G5:2 F5:2 | B4:2 B4:1 D5:1 G5:2 B4:2 D5:2 B5:2 A5:2 G5:2 |"
     "A4:2 A4:1 C5:1 E5:2 A4:2 G5:2 E5:2 C5:2 D5:2 | B4:2 B4:1 D5:1 G5:2 B4:2 D5:2 G5:2 A5:2 G5:2 |"
     "A4:2 A4:1 C5:1 F5:2 A4:2 C5:2 F5:2 G5:2 F5:2 | B4:2 B4:1 D5:1 G5:2 B4:2 D5:2 B5:4 D6:2"},
    {"drive", "Am Am F G Am Am F E",
     "E5:2 E5:2 r:2 E5:2 D5:2 C5:2 D5:2 E5:2 | A4:4 r:2 C5:2 E5:4 D5:2 C5:2 |"
     "F5:2 F5:2 r:2 F5:2 E5:2 D5:2 E5:2 F5:2 | G5:6 A5:2 B5:4 D6:4 |"
     "E5:2 E5:2 r:2 E5:2 D5:2 C5:2 D5:2 E5:2 | A4:4 r:2 C5:2 E5:4 D5:2 C5:2 |"
     "F5:2 F5:2 r:2 F5:2 E5:2 D5:2 E5:2 F5:2 | G#5:6 A5:2 B5:8"},
    {"calm", "Am Am F F C C G G",
     "E5:8 D5:4 C5:4 | B4:8 C5:4 E5:4 | A4:12 C5:4 | F5:8 E5:8 |"
     "G5:8 E5:4 D5:4 | C5:8 D5:4 E5:4 | D5:12 B4:4 | G4:8 B4:4 D5:4"},
    {"answer", "Am Am F F C C G E",
     "E5:8 D5:4 C5:4 | B4:8 C5:4 E5:4 | A4:8 C5:4 F5:4 | E5:16 |"
     "G5:8 A5:4 G5:4 | E5:8 C5:8 | D5:8 E5:4 D5:4 | B4:16"},
    {"hope", "C G Am F C G Am F",
     "E5:4 G5:4 C6:6 B5:2 | B5:4 G5:4 D5:8 | C5:4 E5:4 A5:6 G5:2 | A5:8 F5:4 E5:4 |"
     "E5:4 G5:4 C6:6 D6:2 | D6:4 B5:4 G5:8 | A5:6 C6:2 B5:4 A5:4 | F5:4 A5:4 G5:8"},
    {"lament", "Dm Dm Am Am E E Am Am",
     "F5:8 E5:4 D5:4 | A5:12 F5:4 | E5:8 C5:4 B4:4 | A4:16 |"
     "G#4:8 B4:4 D5:4 | E5:8 D5:4 B4:4 | C5:8 B4:4 A4:4 | A4:8 r:8"},
    {"night", "Dm G C F Dm E Am Am",
     "D5:4 F5:4 A5:8 | G5:4 F5:4 D5:8 | E5:4 G5:4 C6:8 | C6:4 A5:4 F5:8 |"
     "F5:6 E5:2 D5:4 F5:4 | E5:6 D5:2 B4:4 G#4:4 | A4:4 C5:4 E5:8 | A5:16"},
};
// clang-format on

}  // namespace

const Theme& theme(ThemeId id) {
    static const std::array<Theme, kThemeCount> parsed = [] {
        std::array<Theme, kThemeCount> out;
        for (int i = 0; i < kThemeCount; ++i) {
            out[i] = parseTheme(kThemes[i].name, kThemes[i].chords, kThemes[i].melody);
        }
        return out;
    }();
    return parsed[id];
}
