// The full-screen panel the fades draw: a unit square placed at twice the
// near distance and scaled to fill a symmetric frustum exactly.
#include <GL/gl.h>

#include "effects/scene_renderer.h"

void SceneRenderer::drawFullScreenPanel(double nearVal, double right, double top) {
    glPushMatrix();
    // At twice the near distance the view spans 4 * right by 4 * top.
    glTranslated(0.0, 0.0, -2.0 * nearVal);
    glScaled(4.0 * right, 4.0 * top, 1.0);
    // The corners run clockwise as seen; clockwise front faces keep the square
    // from being culled.
    glFrontFace(GL_CW);
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(-0.5f, -0.5f, 0.0f);
    glTexCoord2f(0.0f, 1.0f);
    glVertex3f(-0.5f, 0.5f, 0.0f);
    glTexCoord2f(1.0f, 1.0f);
    glVertex3f(0.5f, 0.5f, 0.0f);
    glTexCoord2f(1.0f, 0.0f);
    glVertex3f(0.5f, -0.5f, 0.0f);
    glEnd();
    glFrontFace(GL_CCW);
    glPopMatrix();
}
