// What the GL subset needs from the platform it runs on: which OpenGL ES
// context is current on this thread, and whether a destroyed context's
// handle can come back for a new one. One small file per platform implements
// it (platform_egl.cpp here; the web's would ask Emscripten). The ES 3.0 entry
// points themselves come from the platform's GLES library at link time
// (libGLESv2 here, Emscripten's WebGL 2 bindings on the web).
#pragma once

namespace sgl::platform {

// An opaque handle of the current context, or nullptr when none is current.
const void* currentContext();

// Whether the handle of a destroyed context may be handed out again for a
// new one. Where it may, the subset asks the context itself (a GL query,
// which in a browser would wait on the GPU process each time) whether its
// state still belongs to it.
bool handlesComeBack();

}  // namespace sgl::platform
