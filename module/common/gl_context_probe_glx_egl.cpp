// The context probe of the build on the system's OpenGL: the two ways a host
// makes a context current here, GLX (an SDL window on X11) and EGL
// (offscreen rendering).
#include <EGL/egl.h>
#include <GL/glx.h>

#include "common/gl_context_probe.h"

const void* currentGlContext() {
    if (const void* glx = glXGetCurrentContext()) return glx;
    const EGLContext egl = eglGetCurrentContext();
    return egl == EGL_NO_CONTEXT ? nullptr : egl;
}
