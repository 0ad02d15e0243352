// The plan as data. Mesh scenes 0..13 and text scenes 0..11 in time order;
// transitions borrow the key of the scene they lead into.
#include "scene_plan.h"

namespace {

using K = SegmentKind;

struct SegmentStart {
    int row;
    SegmentKind kind;
    int scene;
};

// clang-format off
const SegmentStart kPlan[] = {
    {0, K::Intro, 0},      {143, K::Title, 0},     {192, K::MeshBody, 0},  {384, K::Text, 0},
    {1180, K::Build, 1},   {1230, K::MeshIn, 1},   {1280, K::MeshBody, 1}, {1400, K::MeshOut, 1},
    {1450, K::Swell, 1},   {1500, K::Text, 1},
    {2300, K::Build, 2},   {2350, K::MeshIn, 2},   {2400, K::MeshBody, 2}, {2600, K::MeshOut, 2},
    {2650, K::Swell, 2},   {2700, K::Text, 2},
    {3500, K::Build, 3},   {3550, K::MeshIn, 3},   {3600, K::MeshBody, 3}, {3800, K::MeshOut, 3},
    {3850, K::Swell, 3},   {3900, K::Text, 3},
    {4700, K::Build, 4},   {4750, K::MeshIn, 4},   {4800, K::MeshBody, 4}, {5000, K::MeshOut, 4},
    {5050, K::Swell, 4},   {5100, K::Text, 4},
    {5900, K::Build, 5},   {5950, K::MeshIn, 5},   {6000, K::MeshBody, 5}, {6200, K::MeshOut, 5},
    {6250, K::Swell, 5},   {6300, K::Text, 5},
    {7100, K::Build, 6},   {7150, K::MeshIn, 6},   {7200, K::MeshBody, 6}, {7400, K::MeshOut, 6},
    {7450, K::Swell, 6},   {7504, K::Text, 6},
    {8300, K::Build, 7},   {8350, K::MeshIn, 7},   {8400, K::MeshBody, 7}, {8600, K::MeshOut, 7},
    {8650, K::Swell, 7},   {8700, K::Text, 7},
    // The long circle stretch, 955 to 1025 s: a rise, a first statement, a
    // two-second blackout, then the anthem a tone higher.
    {9500, K::Build, 8},   {9550, K::MeshIn, 8},   {9600, K::Rise, 8},     {9690, K::MeshBody, 8},
    {9790, K::Break, 9},   {9810, K::MeshBody, 9}, {10200, K::MeshOut, 9},
    {10250, K::Swell, 8},  {10300, K::Text, 8},
    {11100, K::Build, 10}, {11150, K::MeshIn, 10}, {11200, K::MeshBody, 10}, {11400, K::MeshOut, 10},
    {11450, K::Swell, 9},  {11500, K::Text, 9},
    {12300, K::Build, 11}, {12350, K::MeshIn, 11}, {12400, K::MeshBody, 11}, {12600, K::MeshOut, 11},
    {12650, K::Swell, 10}, {12700, K::Text, 10},
    {13500, K::Build, 12}, {13550, K::MeshIn, 12}, {13600, K::MeshBody, 12}, {13800, K::MeshOut, 12},
    {13850, K::Swell, 11}, {13900, K::Text, 11},
    {14700, K::Build, 13}, {14750, K::MeshIn, 13}, {14800, K::MeshBody, 13}, {15000, K::Finale, 13},
    {15600, K::End, 13},
};

const MeshScene kMeshScenes[] = {
    // key  lead           second         drums          bass             arp            lead-in
    {0,  kThemeMain,    kThemeRiff,    kDrumsFour,    kBassOffbeat,    kArpUpDown16,  2},  // opening
    {0,  kThemeDrive,   kThemeMain,    kDrumsBreak,   kBassSyncopated, kArpBroken,    0},
    {-2, kThemeSoaring, kThemeRiff,    kDrumsFour,    kBassRolling,    kArpUp8,       0},
    {3,  kThemeMain,    kThemeSoaring, kDrumsTwoStep, kBassSyncopated, kArpUpDown16,  0},
    {-4, kThemeRiff,    kThemeDrive,   kDrumsFour,    kBassOffbeat,    kArpBroken,    0},
    {2,  kThemeSoaring, kThemeMain,    kDrumsBreak,   kBassRolling,    kArpUp8,       0},
    {-3, kThemeDrive,   kThemeSoaring, kDrumsTwoStep, kBassPulse,      kArpUpDown16,  0},
    {5,  kThemeMain,    kThemeRiff,    kDrumsDrive,   kBassSyncopated, kArpBroken,    0},
    {-1, kThemeMain,    kThemeRiff,    kDrumsDrive,   kBassOffbeat,    kArpUpDown16,  0},  // circles
    {1,  kThemeMain,    kThemeSoaring, kDrumsFour,    kBassRolling,    kArpUpDown16,  0},  // a tone up
    {3,  kThemeSoaring, kThemeDrive,   kDrumsBreak,   kBassSyncopated, kArpUp8,       0},
    {-2, kThemeRiff,    kThemeMain,    kDrumsTwoStep, kBassOffbeat,    kArpBroken,    0},
    {1,  kThemeDrive,   kThemeSoaring, kDrumsFour,    kBassRolling,    kArpUpDown16,  0},
    {0,  kThemeMain,    kThemeSoaring, kDrumsDrive,   kBassOffbeat,    kArpUpDown16,  0},  // finale
};

const TextScene kTextScenes[] = {
    {0,  kThemeCalm,    kThemeHope},
    {-2, kThemeHope,    kThemeLament},
    {3,  kThemeLament,  kThemeNight},
    {-4, kThemeNight,   kThemeAnswer},
    {2,  kThemeAnswer,  kThemeHope},
    {-3, kThemeCalm,    kThemeNight},
    {5,  kThemeHope,    kThemeCalm},
    {-1, kThemeLament,  kThemeHope},
    {3,  kThemeNight,   kThemeLament},
    {-2, kThemeAnswer,  kThemeNight},
    {1,  kThemeHope,    kThemeAnswer},
    {0,  kThemeCalm,    kThemeLament},
};

const std::vector<int> kCues = {
    10, 143, 170, 184, 192, 235, 384,
    1180, 1230, 1280, 1400, 1450, 1500,
    2300, 2350, 2400, 2600, 2650, 2700,
    3500, 3550, 3600, 3800, 3850, 3900,
    4700, 4750, 4800, 5000, 5050, 5100,
    5900, 5950, 6000, 6200, 6250, 6300,
    7100, 7150, 7200, 7400, 7450, 7504,
    8300, 8350, 8400, 8600, 8650, 8700,
    9500, 9550, 9600, 9690, 9720, 9790, 9810, 9830, 9890, 9920, 9950, 10010, 10040, 10070,
    10170, 10200, 10250, 10300,
    11100, 11150, 11200, 11400, 11450, 11500,
    12300, 12350, 12400, 12600, 12650, 12700,
    13500, 13550, 13600, 13800, 13850, 13900,
    14700, 14750, 14800, 15000, 15600,
};
// clang-format on

}  // namespace

const std::vector<Segment>& songSegments() {
    static const std::vector<Segment> segments = [] {
        std::vector<Segment> out;
        const int count = static_cast<int>(std::size(kPlan));
        for (int i = 0; i < count; ++i) {
            const int end = i + 1 < count ? kPlan[i + 1].row : kSongRows;
            out.push_back({kPlan[i].row, end, kPlan[i].kind, kPlan[i].scene});
        }
        return out;
    }();
    return segments;
}

const MeshScene& meshScene(int index) {
    return kMeshScenes[index];
}
const TextScene& textScene(int index) {
    return kTextScenes[index];
}
const std::vector<int>& cueRows() {
    return kCues;
}
