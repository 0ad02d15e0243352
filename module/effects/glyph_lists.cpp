// Display-list compilation of extruded glyphs. Caps are flat with one normal
// each; every wall quad (two triangles) gets the flat normal of its edge, which is what the
// sphere-mapped textures of the show reflect. Needs OpenGL (a current
// context), the font face lookup, the outlines and the tessellator.
#include "effects/glyph_lists.h"

#include <cmath>

#include "effects/glyph_tessellator.h"

namespace {

void emitCaps(const std::vector<Point2>& triangles, float depth) {
    glNormal3f(0.0f, 0.0f, 1.0f);
    for (const Point2& p : triangles) glVertex3d(p.x, p.y, 0.0);
    // The back cap is seen from -z: the same triangles in reverse order.
    glNormal3f(0.0f, 0.0f, -1.0f);
    for (std::size_t i = triangles.size(); i-- > 0;) {
        glVertex3d(triangles[i].x, triangles[i].y, -static_cast<double>(depth));
    }
}

// Two triangles per contour edge. For an edge a -> b the quad a, b, b', a'
// (primes on the back) is counter-clockwise seen from the left of the edge;
// the fill side of the contour decides which side is outside.
void emitWallQuad(const Point2& a, const Point2& b, double back) {
    glVertex3d(a.x, a.y, 0.0);
    glVertex3d(b.x, b.y, 0.0);
    glVertex3d(b.x, b.y, back);
    glVertex3d(a.x, a.y, 0.0);
    glVertex3d(b.x, b.y, back);
    glVertex3d(a.x, a.y, back);
}

void emitWalls(const GlyphShape& shape, float depth) {
    const double back = -static_cast<double>(depth);
    for (const Contour& contour : shape.contours) {
        for (std::size_t i = 0; i < contour.size(); ++i) {
            const Point2& a = contour[i];
            const Point2& b = contour[(i + 1) % contour.size()];
            const double dx = b.x - a.x;
            const double dy = b.y - a.y;
            const double len = std::sqrt(dx * dx + dy * dy);
            if (len == 0.0) continue;
            if (shape.fillOnRight) {
                glNormal3d(-dy / len, dx / len, 0.0);
                emitWallQuad(a, b, back);
            } else {
                glNormal3d(dy / len, -dx / len, 0.0);
                emitWallQuad(b, a, back);
            }
        }
    }
}

}  // namespace

void compileGlyphList(GLuint list, const GlyphShape& shape, const std::vector<Point2>& capTriangles,
                      float depth) {
    glNewList(list, GL_COMPILE);
    // One primitive for the whole glyph: GL's feedback and selection modes
    // replay display lists of mixed primitives incompletely on Mesa.
    if (!shape.contours.empty()) {
        glBegin(GL_TRIANGLES);
        emitCaps(capTriangles, depth);
        emitWalls(shape, depth);
        glEnd();
    }
    glTranslated(shape.advance, 0.0, 0.0);
    glEndList();
}

bool buildGlyphLists(GLuint listBase, const char* faceName, float depth, FontFaceFile* chosen) {
    const FontFaceFile face = findHeavyFontFace(faceName);
    if (chosen != nullptr) *chosen = face;
    if (face.path.empty()) return false;
    FontOutlines outlines;
    if (!outlines.open(face.path, face.faceIndex)) return false;

    GlyphTessellator tessellator;
    for (int code = 0; code < kGlyphListCount; ++code) {
        const GlyphShape shape = outlines.glyphForByte(static_cast<std::uint8_t>(code));
        const std::vector<Point2> caps = tessellator.fill(shape.contours);
        compileGlyphList(listBase + static_cast<GLuint>(code), shape, caps, depth);
    }
    return true;
}
