// Implements EglOffscreen with EGL_MESA_platform_surfaceless and a pbuffer.
// Needs: libEGL (GLVND) and a Mesa driver (llvmpipe serves without a GPU).
#include "offscreen/egl_offscreen.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>

#include <algorithm>

namespace {

EGLDisplay openSurfacelessDisplay() {
    auto getPlatformDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
        eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (getPlatformDisplay == nullptr) return EGL_NO_DISPLAY;
    return getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
}

}  // namespace

EglOffscreen::EglOffscreen(int width, int height, GlApi api, OffscreenDrawing drawing)
    : width_(width), height_(height), usesFramebuffer_(drawing.framebuffer || drawing.samples > 0) {
    const bool es = api == GlApi::Es30;
    EGLDisplay display = openSurfacelessDisplay();
    if (display == EGL_NO_DISPLAY || !eglInitialize(display, nullptr, nullptr)) {
        error_ = "no EGL surfaceless display";
        return;
    }
    display_ = display;
    const EGLint configAttributes[] = {EGL_SURFACE_TYPE,
                                       EGL_PBUFFER_BIT,
                                       EGL_RENDERABLE_TYPE,
                                       es ? EGL_OPENGL_ES3_BIT : EGL_OPENGL_BIT,
                                       EGL_RED_SIZE,
                                       8,
                                       EGL_GREEN_SIZE,
                                       8,
                                       EGL_BLUE_SIZE,
                                       8,
                                       EGL_ALPHA_SIZE,
                                       8,
                                       EGL_DEPTH_SIZE,
                                       16,
                                       EGL_NONE};
    EGLConfig config = nullptr;
    EGLint configCount = 0;
    if (!eglChooseConfig(display, configAttributes, &config, 1, &configCount) || configCount < 1) {
        error_ = "no EGL config with a pbuffer, RGBA and depth";
        return;
    }
    // The context starts on a small pbuffer, so the driver's limits are
    // known before a picture of the full size is asked for.
    const EGLint smallAttributes[] = {EGL_WIDTH, 16, EGL_HEIGHT, 16, EGL_NONE};
    surface_ = eglCreatePbufferSurface(display, config, smallAttributes);
    if (surface_ == EGL_NO_SURFACE) {
        error_ = "no EGL pbuffer surface";
        return;
    }
    if (!eglBindAPI(es ? EGL_OPENGL_ES_API : EGL_OPENGL_API)) {
        error_ = es ? "EGL cannot bind OpenGL ES" : "EGL cannot bind desktop OpenGL";
        return;
    }
    const EGLint desktopAttributes[] = {EGL_CONTEXT_MAJOR_VERSION,
                                        2,
                                        EGL_CONTEXT_MINOR_VERSION,
                                        1,
                                        EGL_CONTEXT_OPENGL_PROFILE_MASK,
                                        EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT,
                                        EGL_NONE};
    const EGLint esAttributes[] = {EGL_CONTEXT_MAJOR_VERSION, 3, EGL_CONTEXT_MINOR_VERSION, 0,
                                   EGL_NONE};
    context_ =
        eglCreateContext(display, config, EGL_NO_CONTEXT, es ? esAttributes : desktopAttributes);
    if (context_ == EGL_NO_CONTEXT) {
        error_ = es ? "no OpenGL ES 3.0 context" : "no OpenGL 2.1 context";
        return;
    }
    if (eglMakeCurrent(display_, surface_, surface_, context_) != EGL_TRUE) {
        error_ = "cannot make the context current";
        return;
    }
    limits_ = currentFramebufferLimits();
    if (width > limits_.maxSide || height > limits_.maxSide) {
        error_ = "the driver draws pictures of at most " + std::to_string(limits_.maxSide) + "x" +
                 std::to_string(limits_.maxSide) + " pixels";
        return;
    }
    if (!usesFramebuffer_) {
        // The pbuffer carries the picture.
        const EGLint fullAttributes[] = {EGL_WIDTH, width, EGL_HEIGHT, height, EGL_NONE};
        EGLSurface full = eglCreatePbufferSurface(display, config, fullAttributes);
        if (full == EGL_NO_SURFACE || eglMakeCurrent(display_, full, full, context_) != EGL_TRUE) {
            if (full != EGL_NO_SURFACE) eglDestroySurface(display, full);
            error_ = "no EGL pbuffer surface of " + std::to_string(width) + "x" +
                     std::to_string(height) + " pixels";
            return;
        }
        eglDestroySurface(display, surface_);
        surface_ = full;
    } else {
        // A framebuffer object carries the picture; the pbuffer only holds
        // the context.
        if (drawing.samples > 0 && limits_.maxSamples < 2) {
            error_ = "the driver offers no multisampling (GL_MAX_SAMPLES is " +
                     std::to_string(limits_.maxSamples) + ")";
            return;
        }
        EGLint depthBits = 16;
        eglGetConfigAttrib(display, config, EGL_DEPTH_SIZE, &depthBits);
        const int samples = std::min(drawing.samples, limits_.maxSamples);
        if (!framebuffer_.create(width, height, samples, depthBits, error_)) return;
    }
    ok_ = true;
    // The whole surface, for the users that draw on it without the show
    // host (the GL tests, the benchmarks); the host sets the picture's own
    // area before every frame.
    glViewport(0, 0, width, height);
    glScissor(0, 0, width, height);
}

EglOffscreen::~EglOffscreen() {
    if (display_ == nullptr) return;
    if (usesFramebuffer_ && context_ != EGL_NO_CONTEXT &&
        eglMakeCurrent(display_, surface_, surface_, context_) == EGL_TRUE) {
        framebuffer_.release();
    }
    eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    if (context_ != EGL_NO_CONTEXT) eglDestroyContext(display_, context_);
    if (surface_ != EGL_NO_SURFACE) eglDestroySurface(display_, surface_);
    // The display is left initialised: EGL displays are shared per process and
    // terminating it would break any other offscreen context still alive.
}

bool EglOffscreen::makeCurrent() {
    if (eglMakeCurrent(display_, surface_, surface_, context_) != EGL_TRUE) return false;
    if (usesFramebuffer_) framebuffer_.bindForDrawing();
    return true;
}

void EglOffscreen::readPixels(PixelOrder order, std::vector<std::uint8_t>& rows) const {
    framebuffer_.resolveForReading();
    Surface::readPixels(order, rows);
    if (usesFramebuffer_) framebuffer_.bindForDrawing();
}

void EglOffscreen::releaseContext() {
    eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
}

void EglOffscreen::present() {
    eglSwapBuffers(display_, surface_);
}

std::vector<std::uint8_t> EglOffscreen::readPixels() const {
    std::vector<std::uint8_t> pixels;
    readPixels(PixelOrder::Rgba, pixels);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    return pixels;
}
