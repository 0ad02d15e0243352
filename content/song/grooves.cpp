// The rhythm tables.
#include "grooves.h"

namespace {

// clang-format off
const DrumPattern kDrums[kDrumStyleCount] = {
    //  kick                 snare               hat                 open
    {"x...x...x...x...", "....c.......c...", "hh.hhh.hhh.hhh.h", "..O...O...O...O."},  // four
    {"x.x.......xx....", "....x..g.g..x..g", "h.h.h.h.h.h.h.h.", "..............O."},  // break
    {"x......x..x.....", "....x.......x...", "h.hh.hh.h.hh.hh.", "......O.......O."},  // two-step
    {"x...x...x...x..o", "....x.......x...", "HhhhHhhhHhhhHhhh", "..O...O...O...O."},  // drive
    {"x.........x.....", "........x.......", "h.h.h.h.h.h.h.h.", "................"},  // half time
};

const char* const kBass[kBassStyleCount] = {
    "..R...R...R...R.",  // offbeat
    ".rRr.rRr.rRr.rRr",  // rolling
    "R-.R-.O-.R-.F-.R",  // syncopated
    "R.R.R.R.R.R.R.R.",  // pulse
    "R---------------",  // whole
    "R-------F-------",  // half
};

const char* const kArps[kArpStyleCount] = {
    "0.1.2.3.0.1.2.3.",  // up in eighths
    "0123210123210123",  // up and down in sixteenths
    "0.2.1.3.2.4.3.1.",  // broken
    "0...2...1...3...",  // sparse
};
// clang-format on

}  // namespace

const DrumPattern& drumPattern(DrumStyle style) {
    return kDrums[style];
}
BassPattern bassPattern(BassStyle style) {
    return kBass[style];
}
ArpPattern arpPattern(ArpStyle style) {
    return kArps[style];
}
