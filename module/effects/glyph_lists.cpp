// Display-list compilation of extruded glyphs, the same calls in every build.
// Needs OpenGL (a current context).
#include "effects/glyph_lists.h"

void compileGlyphGeometry(GLuint list, const GlyphGeometry& glyph) {
    glNewList(list, GL_COMPILE);
    // One primitive for the whole glyph: GL's feedback and selection modes
    // replay display lists of mixed primitives incompletely on Mesa.
    if (!glyph.runs.empty()) {
        glBegin(GL_TRIANGLES);
        for (const GlyphRun& run : glyph.runs) {
            glNormal3f(run.normal[0], run.normal[1], run.normal[2]);
            for (std::size_t i = 0; i + 2 < run.positions.size(); i += 3) {
                glVertex3f(run.positions[i], run.positions[i + 1], run.positions[i + 2]);
            }
        }
        glEnd();
    }
    glTranslated(glyph.advance, 0.0, 0.0);
    glEndList();
}

void compileGlyphList(GLuint list, const GlyphShape& shape, const std::vector<Point2>& capTriangles,
                      float depth) {
    compileGlyphGeometry(list, extrudeGlyph(shape, capTriangles, depth));
}
