// One extruded glyph as the triangles of its display list: runs of vertices
// that share a normal (the front cap, the back cap, each wall quad), in the
// order they are drawn, and the advance the list translates by afterwards.
// Values are floats, as a display list keeps them. No OpenGL.
#pragma once

#include <vector>

#include "effects/font_outlines.h"

struct GlyphRun {
    float normal[3] = {0.0f, 0.0f, 1.0f};
    std::vector<float> positions;  // x, y, z per vertex; three vertices per triangle
};

struct GlyphGeometry {
    std::vector<GlyphRun> runs;  // empty: the glyph draws nothing
    double advance = 0.0;
};

// The extruded glyph: the front cap facing +z at z = 0, the back cap facing -z
// at z = -depth (the same triangles in reverse order), then for each contour
// edge a wall of two triangles with the edge's outward normal.
// capTriangles are counter-clockwise seen from +z.
GlyphGeometry extrudeGlyph(const GlyphShape& shape, const std::vector<Point2>& capTriangles,
                           float depth);
