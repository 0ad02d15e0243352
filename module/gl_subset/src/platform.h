// What the GL subset needs from the platform it runs on: which OpenGL ES
// context is current on this thread. One small file per platform implements it.
#pragma once

namespace sgl::platform {

// An opaque handle of the current context, or nullptr when none is current.
const void* currentContext();

}  // namespace sgl::platform
