// The current context on platforms where OpenGL ES contexts are made through
// EGL (Linux: Mesa offscreen, SDL windows on X11 and Wayland). Needs libEGL.
#include <EGL/egl.h>

#include "platform.h"

namespace sgl::platform {

const void* currentContext() {
    const EGLContext context = eglGetCurrentContext();
    return context == EGL_NO_CONTEXT ? nullptr : context;
}

// An EGLContext is the implementation's pointer: freed, it may well be
// handed out again.
bool handlesComeBack() {
    return true;
}

}  // namespace sgl::platform
