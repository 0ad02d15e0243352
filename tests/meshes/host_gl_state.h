// The GL state the launcher sets up before the module draws (normalised
// normals, depth test, culling of back faces) and a frustum helper.
#pragma once

#include <GL/gl.h>

inline void applyHostState() {
    glEnable(GL_NORMALIZE);
    glEnable(GL_DEPTH_TEST);
    glCullFace(GL_BACK);
    glEnable(GL_CULL_FACE);
}

// Replaces the projection and resets the modelview matrix, as the director does.
inline void setFrustum(double left, double right, double bottom, double top, double nearVal,
                       double farVal) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glFrustum(left, right, bottom, top, nearVal, farVal);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}
