// The director's state changes on the current OpenGL context.
#include "show/gl_frame_state.h"

#include <GL/gl.h>

#include "assets/texture_slot.h"

void GlFrameState::clearBuffers(bool color, bool depth) {
    GLbitfield mask = 0;
    if (color) mask |= GL_COLOR_BUFFER_BIT;
    if (depth) mask |= GL_DEPTH_BUFFER_BIT;
    if (mask != 0) glClear(mask);
}

void GlFrameState::setProjection(const FrustumParams& f) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glFrustum(f.left, f.right, f.bottom, f.top, f.nearVal, f.farVal);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void GlFrameState::setDepthFunction(unsigned glFunction) {
    glDepthFunc(glFunction);
}

void GlFrameState::setDepthTest(bool enabled) {
    if (enabled) {
        glEnable(GL_DEPTH_TEST);
    } else {
        glDisable(GL_DEPTH_TEST);
    }
}

void GlFrameState::setFaceCulling(bool enabled) {
    if (enabled) {
        glEnable(GL_CULL_FACE);
    } else {
        glDisable(GL_CULL_FACE);
    }
}

void GlFrameState::setColor(float r, float g, float b) {
    glColor3f(r, g, b);
}

void GlFrameState::bindTexture(std::int32_t slot, std::uint32_t bindWord) {
    bindTextureSlot(slots_, slot, bindWord);
}
