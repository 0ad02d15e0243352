// Implements the extrusion of a glyph into the triangles of its display list.
// Every wall quad (two triangles) gets the flat normal of its edge, which is
// what the sphere-mapped textures of the show reflect.
#include "effects/glyph_geometry.h"

#include <cmath>

namespace {

void addVertex(GlyphRun& run, double x, double y, double z) {
    run.positions.push_back(static_cast<float>(x));
    run.positions.push_back(static_cast<float>(y));
    run.positions.push_back(static_cast<float>(z));
}

GlyphRun& newRun(GlyphGeometry& g, double nx, double ny, double nz) {
    GlyphRun& run = g.runs.emplace_back();
    run.normal[0] = static_cast<float>(nx);
    run.normal[1] = static_cast<float>(ny);
    run.normal[2] = static_cast<float>(nz);
    return run;
}

// Two triangles per contour edge. For an edge a -> b the quad a, b, b', a'
// (primes on the back) is counter-clockwise seen from the left of the edge.
void addWallQuad(GlyphRun& run, const Point2& a, const Point2& b, double back) {
    addVertex(run, a.x, a.y, 0.0);
    addVertex(run, b.x, b.y, 0.0);
    addVertex(run, b.x, b.y, back);
    addVertex(run, a.x, a.y, 0.0);
    addVertex(run, b.x, b.y, back);
    addVertex(run, a.x, a.y, back);
}

}  // namespace

GlyphGeometry extrudeGlyph(const GlyphShape& shape, const std::vector<Point2>& capTriangles,
                           float depth) {
    GlyphGeometry g;
    g.advance = shape.advance;
    if (shape.contours.empty()) return g;
    const double back = -static_cast<double>(depth);

    GlyphRun& front = newRun(g, 0.0, 0.0, 1.0);
    for (const Point2& p : capTriangles) addVertex(front, p.x, p.y, 0.0);
    // The back cap is seen from -z: the same triangles in reverse order.
    GlyphRun& rear = newRun(g, 0.0, 0.0, -1.0);
    for (std::size_t i = capTriangles.size(); i-- > 0;) {
        addVertex(rear, capTriangles[i].x, capTriangles[i].y, back);
    }
    // The fill side of the contour decides which side of an edge is outside.
    for (const Contour& contour : shape.contours) {
        for (std::size_t i = 0; i < contour.size(); ++i) {
            const Point2& a = contour[i];
            const Point2& b = contour[(i + 1) % contour.size()];
            const double dx = b.x - a.x;
            const double dy = b.y - a.y;
            const double len = std::sqrt(dx * dx + dy * dy);
            if (len == 0.0) continue;
            if (shape.fillOnRight) {
                addWallQuad(newRun(g, -dy / len, dx / len, 0.0), a, b, back);
            } else {
                addWallQuad(newRun(g, dy / len, -dx / len, 0.0), b, a, back);
            }
        }
    }
    return g;
}
