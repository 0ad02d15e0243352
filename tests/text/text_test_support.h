// Helpers shared by the text tests: a projection that maps eye coordinates
// straight to window pixels, and marker lists that stand in for glyphs so a
// test can see where each character's origin lands.
#pragma once

#include <GL/gl.h>

#include <initializer_list>

#include "feedback.h"

// Eye-space extent of the 160 x 120 test window: one unit is one pixel,
// (0, 0) is the window's centre, z in -1000 .. 1000.
constexpr double kHalfWidth = 80.0;
constexpr double kHalfHeight = 60.0;
constexpr double kDepthRange = 1000.0;

inline void usePixelOrtho() {
    glViewport(0, 0, 160, 120);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-kHalfWidth, kHalfWidth, -kHalfHeight, kHalfHeight, -kDepthRange, kDepthRange);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

struct EyePoint {
    double x, y, z;
};

// Back from window coordinates to the eye space of usePixelOrtho.
inline EyePoint eyeFromWindow(const FeedbackVertex& v) {
    return {v.x - kHalfWidth, v.y - kHalfHeight, (1.0 - 2.0 * v.z) * kDepthRange};
}

// A block of 256 lists in which list c, for each c in codes, marks its byte
// code with a pass-through token, draws a point at its origin and advances by
// one unit along x, as a glyph list would. Other lists stay empty.
inline GLuint makeMarkerLists(std::initializer_list<int> codes) {
    const GLuint base = glGenLists(256);
    for (const int c : codes) {
        glNewList(base + c, GL_COMPILE);
        glPassThrough(static_cast<GLfloat>(c));
        glBegin(GL_POINTS);
        glVertex3d(0.0, 0.0, 0.0);
        glEnd();
        glTranslated(1.0, 0.0, 0.0);
        glEndList();
    }
    return base;
}
