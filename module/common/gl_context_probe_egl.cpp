// The context probe of the build on the GL subset: its OpenGL ES contexts are
// all made through EGL (offscreen, and SDL windows asked to use EGL).
#include <EGL/egl.h>

#include "common/gl_context_probe.h"

const void* currentGlContext() {
    const EGLContext egl = eglGetCurrentContext();
    return egl == EGL_NO_CONTEXT ? nullptr : egl;
}
