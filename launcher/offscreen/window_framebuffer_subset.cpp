// drawIntoFramebuffer for the GL subset: it stands in for framebuffer 0
// wherever the subset or the show binds that.
#include <GL/gl.h>

#include "offscreen/offscreen_framebuffer.h"

void drawIntoFramebuffer(unsigned int framebuffer) {
    sgl_SetWindowFramebuffer(framebuffer);
}
