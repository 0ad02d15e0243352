// drawIntoFramebuffer for desktop OpenGL: the show binds no framebuffer of
// its own, so binding one is all it takes.
#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#include <GL/glext.h>

#include "offscreen/offscreen_framebuffer.h"

void drawIntoFramebuffer(unsigned int framebuffer) {
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
}
