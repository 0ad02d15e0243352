// glyphs.bin: the triangles of the 255 glyph lists as the font layer cuts
// them, for a build that has no tessellator (the ES3 build). All numbers are
// little-endian:
//   8 bytes  "SVGLYPH1"
//   u32      glyph count (255: byte codes 0 to 254, in order)
//   f32      extrusion depth the triangles were made for
//   u32      length of the font family name, then the name (UTF-8)
//   per glyph:
//     f64    advance along x, in em
//     u32    run count
//     per run: f32 x 3 normal, u32 vertex count, then f32 x 3 per vertex
// A glyph's vertex counts add up to whole triangles. No OpenGL.
#pragma once

#include <string>
#include <vector>

#include "effects/glyph_geometry.h"

inline constexpr const char* kGlyphFileName = "glyphs.bin";

struct GlyphFile {
    float depth = 0.0f;
    std::string family;
    std::vector<GlyphGeometry> glyphs;
};

// Writes the file whole or not at all (through a temporary file beside it).
bool writeGlyphFile(const std::string& path, const GlyphFile& file, std::string& error);

// Reads and checks the file; false with a reason for a missing, short,
// corrupt or oversized one.
bool readGlyphFile(const std::string& path, GlyphFile& file, std::string& error);
