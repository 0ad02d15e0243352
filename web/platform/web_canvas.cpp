// Implements WebCanvas over Emscripten's html5 WebGL calls and the GL
// subset's window framebuffer.
#include "web/platform/web_canvas.h"

#include <GL/gl.h>
#include <emscripten/html5.h>

#include <algorithm>

#include "sorvanel_gl/sgl_api.h"

namespace {

constexpr const char* kCanvas = "#canvas";

}  // namespace

WebCanvas::~WebCanvas() {
    releaseContext();
}

bool WebCanvas::create(int width, int height, int samples, std::string& error) {
    emscripten_set_canvas_element_size(kCanvas, width, height);
    EmscriptenWebGLContextAttributes attributes;
    emscripten_webgl_init_context_attributes(&attributes);
    attributes.majorVersion = 2;
    attributes.minorVersion = 0;
    attributes.alpha = EM_FALSE;
    attributes.depth = EM_FALSE;  // the window framebuffer has the depth buffer
    attributes.stencil = EM_FALSE;
    attributes.antialias = EM_FALSE;
    attributes.premultipliedAlpha = EM_FALSE;
    attributes.preserveDrawingBuffer = EM_FALSE;  // the window framebuffer keeps the picture
    const EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context =
        emscripten_webgl_create_context(kCanvas, &attributes);
    if (context <= 0) {
        error = "this browser offers no WebGL 2";
        return false;
    }
    context_ = context;
    if (!makeCurrent()) {
        error = "the WebGL 2 context cannot be made current";
        return false;
    }
    const int largest = largestSide();
    if (width > largest || height > largest) {
        error = "this browser draws at most " + std::to_string(largest) + " pixels a side";
        return false;
    }
    if (samples > 0) {
        GLint most = 0;
        glGetIntegerv(GL_MAX_SAMPLES, &most);
        if (most < 2) {
            error = "this browser offers no multisampling (MAX_SAMPLES is " + std::to_string(most) +
                    ")";
            return false;
        }
        samples_ = std::min(samples, static_cast<int>(most));
    }
    if (!makeWindowFramebuffer(width, height)) {
        error = "no framebuffer of the window's size with a 16-bit depth buffer";
        return false;
    }
    return true;
}

bool WebCanvas::makeWindowFramebuffer(int width, int height) {
    glGenFramebuffers(1, &framebuffer_);
    glGenRenderbuffers(1, &colour_);
    glGenRenderbuffers(1, &depth_);
    auto storage = [this, width, height](unsigned renderbuffer, unsigned format) {
        glBindRenderbuffer(GL_RENDERBUFFER, renderbuffer);
        if (samples_ > 0) {
            glRenderbufferStorageMultisample(GL_RENDERBUFFER, samples_, format, width, height);
        } else {
            glRenderbufferStorage(GL_RENDERBUFFER, format, width, height);
        }
    };
    storage(colour_, GL_RGBA8);
    storage(depth_, GL_DEPTH_COMPONENT16);
    glBindRenderbuffer(GL_RENDERBUFFER, 0);
    if (samples_ > 0) {
        glGenFramebuffers(1, &resolveFramebuffer_);
        glGenRenderbuffers(1, &resolveColour_);
        glBindRenderbuffer(GL_RENDERBUFFER, resolveColour_);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
        glBindRenderbuffer(GL_RENDERBUFFER, 0);
        glBindFramebuffer(GL_FRAMEBUFFER, resolveFramebuffer_);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER,
                                  resolveColour_);
    }
    sgl_SetWindowFramebuffer(framebuffer_);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour_);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth_);
    return glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
}

void WebCanvas::releaseWindowFramebuffer() {
    if (framebuffer_ == 0) return;
    sgl_SetWindowFramebuffer(0);
    glDeleteFramebuffers(1, &framebuffer_);
    glDeleteRenderbuffers(1, &colour_);
    glDeleteRenderbuffers(1, &depth_);
    framebuffer_ = colour_ = depth_ = 0;
    if (resolveFramebuffer_ != 0) {
        glDeleteFramebuffers(1, &resolveFramebuffer_);
        glDeleteRenderbuffers(1, &resolveColour_);
        resolveFramebuffer_ = resolveColour_ = 0;
    }
}

void WebCanvas::readPixels(PixelOrder order, std::vector<std::uint8_t>& rows) const {
    if (samples_ == 0) {
        Surface::readPixels(order, rows);
        return;
    }
    const auto [width, height] = drawableSize();
    const bool scissor = glIsEnabled(GL_SCISSOR_TEST) == GL_TRUE;
    glDisable(GL_SCISSOR_TEST);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer_);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, resolveFramebuffer_);
    glBlitFramebuffer(0, 0, width, height, 0, 0, width, height, GL_COLOR_BUFFER_BIT, GL_NEAREST);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, resolveFramebuffer_);
    Surface::readPixels(order, rows);
    sgl_SetWindowFramebuffer(framebuffer_);
    if (scissor) glEnable(GL_SCISSOR_TEST);
}

int WebCanvas::largestSide() const {
    GLint renderbuffer = 0;
    GLint viewport[2] = {0, 0};
    glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &renderbuffer);
    glGetIntegerv(GL_MAX_VIEWPORT_DIMS, viewport);
    return std::max(1, std::min({renderbuffer, viewport[0], viewport[1]}));
}

void WebCanvas::resize(int width, int height) {
    // Shrunk as a whole, so the drawing buffer keeps the element's shape.
    const int largest = largestSide();
    if (width > largest || height > largest) {
        const double scale = static_cast<double>(largest) / std::max(width, height);
        width = std::max(1, static_cast<int>(width * scale));
        height = std::max(1, static_cast<int>(height * scale));
    }
    emscripten_set_canvas_element_size(kCanvas, width, height);
    releaseWindowFramebuffer();
    makeWindowFramebuffer(width, height);
}

void WebCanvas::present() {
    if (framebuffer_ == 0) return;
    const auto [width, height] = drawableSize();
    // The copy onto the canvas itself, past the window framebuffer; the
    // scissor box of a picture with bars must not cut it.
    const bool scissor = glIsEnabled(GL_SCISSOR_TEST) == GL_TRUE;
    glDisable(GL_SCISSOR_TEST);
    unsigned source = framebuffer_;
    if (samples_ > 0) {
        // A multisampled blit must keep its format, and the canvas (drawn
        // without alpha) is RGB8: resolve into the RGBA8 resolve buffer first,
        // whose single-sampled copy onto the canvas may convert.
        glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer_);
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, resolveFramebuffer_);
        glBlitFramebuffer(0, 0, width, height, 0, 0, width, height, GL_COLOR_BUFFER_BIT,
                          GL_NEAREST);
        source = resolveFramebuffer_;
    }
    sgl_SetWindowFramebuffer(0);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, source);
    glBlitFramebuffer(0, 0, width, height, 0, 0, width, height, GL_COLOR_BUFFER_BIT, GL_NEAREST);
    sgl_SetWindowFramebuffer(framebuffer_);
    if (scissor) glEnable(GL_SCISSOR_TEST);
}

void WebCanvas::drawSingleSampledAndPresent(const std::function<void()>& draw) {
    if (samples_ == 0 || resolveFramebuffer_ == 0) {
        draw();
        present();
        return;
    }
    sgl_SetWindowFramebuffer(resolveFramebuffer_);
    draw();
    const auto [width, height] = drawableSize();
    const bool scissor = glIsEnabled(GL_SCISSOR_TEST) == GL_TRUE;
    glDisable(GL_SCISSOR_TEST);
    sgl_SetWindowFramebuffer(0);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, resolveFramebuffer_);
    glBlitFramebuffer(0, 0, width, height, 0, 0, width, height, GL_COLOR_BUFFER_BIT, GL_NEAREST);
    sgl_SetWindowFramebuffer(framebuffer_);
    if (scissor) glEnable(GL_SCISSOR_TEST);
}

bool WebCanvas::makeCurrent() {
    return context_ > 0 &&
           emscripten_webgl_make_context_current(
               static_cast<EMSCRIPTEN_WEBGL_CONTEXT_HANDLE>(context_)) == EMSCRIPTEN_RESULT_SUCCESS;
}

void WebCanvas::releaseContext() {
    if (context_ <= 0) return;
    releaseWindowFramebuffer();
    emscripten_webgl_make_context_current(0);
    emscripten_webgl_destroy_context(static_cast<EMSCRIPTEN_WEBGL_CONTEXT_HANDLE>(context_));
    context_ = 0;
}

Surface::Size WebCanvas::drawableSize() const {
    Size size;
    emscripten_get_canvas_element_size(kCanvas, &size.width, &size.height);
    return size;
}
