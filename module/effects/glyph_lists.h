// Extruded glyphs as OpenGL display lists, one per byte code, each ending
// with a move by the glyph's advance. Each build has its
// own source of glyphs (buildGlyphLists): the font layer at run time, or the
// triangles the font layer wrote into glyphs.bin at build time.
#pragma once

#include <GL/gl.h>

#include <vector>

#include "effects/font_face.h"
#include "effects/font_outlines.h"
#include "effects/glyph_geometry.h"

// Number of byte codes that get a glyph list (0..254); the 256th list of a
// block is left empty.
constexpr int kGlyphListCount = 255;

// Compiles one glyph into `list`: its triangles, one normal per run, then a
// translation by the advance along x.
void compileGlyphGeometry(GLuint list, const GlyphGeometry& glyph);

// Compiles the glyph extruded from `shape` (see extrudeGlyph) into `list`.
void compileGlyphList(GLuint list, const GlyphShape& shape, const std::vector<Point2>& capTriangles,
                      float depth);

// Builds lists listBase + 0 .. listBase + 254 from the heavy outline font that
// serves faceName, extruded by depth. False (lists left as they were) when no
// glyphs can be had. `chosen`, when given, receives the font that was used.
bool buildGlyphLists(GLuint listBase, const char* faceName, float depth,
                     FontFaceFile* chosen = nullptr);
