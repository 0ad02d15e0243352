// Extruded glyphs as OpenGL display lists, one per byte code: the stand-in
// for the outline-font service of the original platform.
#pragma once

#include <GL/gl.h>

#include <vector>

#include "effects/font_face.h"
#include "effects/font_outlines.h"

// Number of byte codes that get a glyph list (0..254); the 256th list of a
// block is left empty.
constexpr int kGlyphListCount = 255;

// Compiles one glyph into `list`: the front cap facing +z at z = 0, the back
// cap facing -z at z = -depth, the side walls with outward normals, then a
// translation by the advance along x. capTriangles are counter-clockwise.
void compileGlyphList(GLuint list, const GlyphShape& shape, const std::vector<Point2>& capTriangles,
                      float depth);

// Builds lists listBase + 0 .. listBase + 254 from the heavy outline font that
// serves faceName. False (lists left as they were) when no font can be
// opened. `chosen`, when given, receives the font that was used.
bool buildGlyphLists(GLuint listBase, const char* faceName, float depth,
                     FontFaceFile* chosen = nullptr);
