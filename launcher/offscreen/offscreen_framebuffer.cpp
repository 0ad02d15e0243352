// Implements OffscreenFramebuffer with renderbuffers and glBlitFramebuffer
// (the resolve), over the GL this build draws with.
#define GL_GLEXT_PROTOTYPES
#include "offscreen/offscreen_framebuffer.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>

FramebufferLimits currentFramebufferLimits() {
    FramebufferLimits limits;
    GLint renderbuffer = 0;
    GLint viewport[2] = {0, 0};
    glGetIntegerv(GL_MAX_SAMPLES, &limits.maxSamples);
    glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &renderbuffer);
    glGetIntegerv(GL_MAX_VIEWPORT_DIMS, viewport);
    limits.maxSide = std::min({renderbuffer, viewport[0], viewport[1]});
    return limits;
}

OffscreenFramebuffer::~OffscreenFramebuffer() {
    release();
}

void OffscreenFramebuffer::release() {
    for (GLuint* framebuffer : {&drawFramebuffer_, &resolveFramebuffer_}) {
        if (*framebuffer != 0) glDeleteFramebuffers(1, framebuffer);
        *framebuffer = 0;
    }
    for (GLuint* renderbuffer : {&colour_, &depth_, &resolveColour_}) {
        if (*renderbuffer != 0) glDeleteRenderbuffers(1, renderbuffer);
        *renderbuffer = 0;
    }
}

namespace {

GLuint renderbuffer(int samples, GLenum format, int width, int height) {
    GLuint name = 0;
    glGenRenderbuffers(1, &name);
    glBindRenderbuffer(GL_RENDERBUFFER, name);
    if (samples > 0) {
        glRenderbufferStorageMultisample(GL_RENDERBUFFER, samples, format, width, height);
    } else {
        glRenderbufferStorage(GL_RENDERBUFFER, format, width, height);
    }
    return name;
}

GLenum depthFormat(int bits) {
    return bits >= 24 ? GL_DEPTH_COMPONENT24 : GL_DEPTH_COMPONENT16;
}

}  // namespace

bool OffscreenFramebuffer::create(int width, int height, int samples, int depthBits,
                                  std::string& error) {
    release();
    width_ = width;
    height_ = height;
    glGenFramebuffers(1, &drawFramebuffer_);
    glBindFramebuffer(GL_FRAMEBUFFER, drawFramebuffer_);
    colour_ = renderbuffer(samples, GL_RGBA8, width, height);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour_);
    depth_ = renderbuffer(samples, depthFormat(depthBits), width, height);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth_);
    const bool complete = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    glGetIntegerv(GL_SAMPLES, &samples_);
    if (complete && samples > 0) {
        glGenFramebuffers(1, &resolveFramebuffer_);
        glBindFramebuffer(GL_FRAMEBUFFER, resolveFramebuffer_);
        resolveColour_ = renderbuffer(0, GL_RGBA8, width, height);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER,
                                  resolveColour_);
    }
    const bool resolvable =
        samples == 0 || glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    if (!complete || !resolvable) {
        error = "the driver cannot make a " + std::to_string(width) + "x" + std::to_string(height) +
                " framebuffer" +
                (samples > 0 ? " with " + std::to_string(samples) + " samples" : std::string());
        release();
        return false;
    }
    bindForDrawing();
    return true;
}

void OffscreenFramebuffer::bindForDrawing() const {
    drawIntoFramebuffer(drawFramebuffer_);
}

void OffscreenFramebuffer::resolveForReading() const {
    if (resolveFramebuffer_ == 0) return;  // single-sample: read as drawn
    const GLboolean scissor = glIsEnabled(GL_SCISSOR_TEST);
    glDisable(GL_SCISSOR_TEST);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, drawFramebuffer_);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, resolveFramebuffer_);
    glBlitFramebuffer(0, 0, width_, height_, 0, 0, width_, height_, GL_COLOR_BUFFER_BIT,
                      GL_NEAREST);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, resolveFramebuffer_);
    if (scissor == GL_TRUE) glEnable(GL_SCISSOR_TEST);
}
