// Tells whether an OpenGL context is current on this thread.
// The module's objects are destroyed at library unload, after the launcher has
// released its context; their destructors ask this before any GL call.
#pragma once

bool hasCurrentGlContext();
