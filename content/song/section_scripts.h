// The section scripts: how each kind of section of the song is written
// with the part writer, and the table that says which script writes which
// kind. The scene plan says where the sections lie.
#pragma once

#include "part_writer.h"
#include "scene_plan.h"

using SectionScript = void (*)(PartWriter& writer, const Segment& section);

void writeIntro(PartWriter& w, const Segment& s);
void writeTitle(PartWriter& w, const Segment& s);
void writeMeshIn(PartWriter& w, const Segment& s);
void writeMeshBody(PartWriter& w, const Segment& s);
void writeMeshOut(PartWriter& w, const Segment& s);
void writeBuild(PartWriter& w, const Segment& s);
void writeSwell(PartWriter& w, const Segment& s);
void writeText(PartWriter& w, const Segment& s);
void writeRise(PartWriter& w, const Segment& s);
void writeBreakdown(PartWriter& w, const Segment& s);
void writeFinale(PartWriter& w, const Segment& s);
void writeEnding(PartWriter& w, const Segment& s);

struct SectionScriptEntry {
    SegmentKind kind;
    SectionScript write;
};

// One script per kind of section.
constexpr SectionScriptEntry kSectionScripts[] = {
    {SegmentKind::Intro, writeIntro},     {SegmentKind::Title, writeTitle},
    {SegmentKind::MeshIn, writeMeshIn},   {SegmentKind::MeshBody, writeMeshBody},
    {SegmentKind::MeshOut, writeMeshOut}, {SegmentKind::Build, writeBuild},
    {SegmentKind::Swell, writeSwell},     {SegmentKind::Text, writeText},
    {SegmentKind::Rise, writeRise},       {SegmentKind::Break, writeBreakdown},
    {SegmentKind::Finale, writeFinale},   {SegmentKind::End, writeEnding},
};
