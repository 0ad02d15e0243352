// Implements hasCurrentGlContext for the two ways a host makes a context
// current here: GLX (an SDL window on X11) and EGL (offscreen rendering).
#include "common/gl_context_probe.h"

#include <EGL/egl.h>
#include <GL/glx.h>

bool hasCurrentGlContext() {
    return glXGetCurrentContext() != nullptr || eglGetCurrentContext() != EGL_NO_CONTEXT;
}
