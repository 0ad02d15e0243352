// Which OpenGL context is current on this thread. The show's objects are
// destroyed in Done (or at library unload), after the launcher has released
// its context: their destructors ask this before any GL call, and the mesh
// lists are kept per context. Each build compiles the probe of the platform it draws on.
#pragma once

// An opaque handle of the current context, or nullptr when none is current.
const void* currentGlContext();

inline bool hasCurrentGlContext() {
    return currentGlContext() != nullptr;
}
