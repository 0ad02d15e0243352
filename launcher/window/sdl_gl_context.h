// What the SDL window asks of the OpenGL context before the window exists:
// its kind (a desktop OpenGL 2.1 compatibility context, or OpenGL ES 3.0 for
// the show built on the GL subset), the GL library held for the process, and
// the pixel format (RGBA, double buffer, at least 16 bits of depth, samples).
// Needs SDL's video started.
#pragma once

#include <string>

// The context's kind, the GL library and the pixel format but its samples.
// False with error set when SDL cannot load the GL library.
bool prepareSdlGlContext(std::string& error);

// The pixel format's samples a pixel for the next window made: multisampled
// for more than 1, plain otherwise.
void askSdlGlSamples(int samples);
