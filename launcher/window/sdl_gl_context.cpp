// Implements the SDL window's OpenGL context: the attributes set before the
// window is made, then the context itself, its release, the swap and the
// swap interval, over SDL's GL calls (show_gl_api.h says which kind).
#include "window/sdl_gl_context.h"

#include <SDL.h>

#include "host/show_gl_api.h"
#include "window/sdl_window.h"

namespace {

// A desktop OpenGL 2.1 compatibility context, or for the show built on the GL
// subset an OpenGL ES 3.0 one, made through EGL also on X11 (the subset asks
// EGL which context is current). SDL 2.26 on X11 still opens libGL to look at
// GLX first; no call goes through it.
void setContextKind() {
    const bool es = kShowGlApi == GlApi::Es30;
    if (es) SDL_SetHint(SDL_HINT_VIDEO_X11_FORCE_EGL, "1");
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, es ? 3 : 2);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, es ? 0 : 1);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, es ? SDL_GL_CONTEXT_PROFILE_ES : 0);
}

}  // namespace

bool prepareSdlGlContext(std::string& error) {
    // The context's kind decides which GL library SDL loads: set it first.
    setContextKind();
    // Hold the GL library for the rest of the process, so destroying the
    // window does not unload the driver (see SdlWindow::destroy()).
    static const bool glLibraryHeld = SDL_GL_LoadLibrary(nullptr) == 0;
    if (!glLibraryHeld) {
        error = SDL_GetError();
        return false;
    }
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    return true;
}

void askSdlGlSamples(int samples) {
    SDL_GL_SetAttribute(SDL_GL_MULTISAMPLEBUFFERS, samples > 1 ? 1 : 0);
    SDL_GL_SetAttribute(SDL_GL_MULTISAMPLESAMPLES, samples > 1 ? samples : 0);
}

bool SdlWindow::createContext(int samplesAsked, std::string& error) {
    context_ = SDL_GL_CreateContext(window_);
    if (context_ == nullptr) {
        error = SDL_GetError();
        return false;
    }
    if (SDL_GL_MakeCurrent(window_, context_) != 0) {
        error = SDL_GetError();
        return false;
    }
    // What the context really has (SDL asks GL for GL_SAMPLES).
    samples_ = 0;
    if (samplesAsked > 1 && SDL_GL_GetAttribute(SDL_GL_MULTISAMPLESAMPLES, &samples_) != 0) {
        samples_ = 0;
    }
    return true;
}

bool SdlWindow::makeCurrent() {
    return window_ != nullptr && context_ != nullptr && SDL_GL_MakeCurrent(window_, context_) == 0;
}

void SdlWindow::releaseContext() {
    if (context_ == nullptr) return;
    SDL_GL_MakeCurrent(window_, nullptr);
    SDL_GL_DeleteContext(context_);
    context_ = nullptr;
}

void SdlWindow::present() {
    SDL_GL_SwapWindow(window_);
}

const char* SdlWindow::waitForDisplay() {
    if (SDL_GL_SetSwapInterval(-1) == 0) return "adaptive";
    if (SDL_GL_SetSwapInterval(1) == 0) return "vsync";
    return nullptr;
}
