// The arrangement: every section of the scene plan written by its script,
// then the cues marked and the tempo set.
#include "arranger.h"

#include "part_writer.h"
#include "scene_plan.h"
#include "section_scripts.h"

SongGrid arrangeSong() {
    SongGrid grid(kSongRows);
    PartWriter writer(grid);
    for (const Segment& s : songSegments()) {
        for (const SectionScriptEntry& script : kSectionScripts) {
            if (script.kind == s.kind) script.write(writer, s);
        }
    }
    writer.markCues();
    // Tempo 150 and speed 6 make a row last exactly 0.1 s; set them on the
    // first row too, so a loop back to the start restores them.
    grid.at(0, kChPerc).command = it::effect('T');
    grid.at(0, kChPerc).param = 150;
    grid.at(0, kChOpenHat).command = it::effect('A');
    grid.at(0, kChOpenHat).param = 6;
    return grid;
}
