// Implements FramebufferPicture with a framebuffer object whose colour is a
// renderbuffer (a copy of the back buffer) or a texture (uploaded pixels).
#define GL_GLEXT_PROTOTYPES
#include "live/framebuffer_picture.h"

#include <GL/gl.h>
#include <GL/glext.h>

namespace {

// Restores what a copy changes: the framebuffer bindings (back to the
// window's) and the scissor test.
class CopyState {
  public:
    CopyState() : scissor_(glIsEnabled(GL_SCISSOR_TEST) == GL_TRUE) { glDisable(GL_SCISSOR_TEST); }
    ~CopyState() {
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        if (scissor_) glEnable(GL_SCISSOR_TEST);
    }
    CopyState(const CopyState&) = delete;
    CopyState& operator=(const CopyState&) = delete;

  private:
    bool scissor_;
};

}  // namespace

FramebufferPicture::~FramebufferPicture() {
    release();
}

void FramebufferPicture::release() {
    if (framebuffer_ != 0) glDeleteFramebuffers(1, &framebuffer_);
    if (renderbuffer_ != 0) glDeleteRenderbuffers(1, &renderbuffer_);
    if (texture_ != 0) glDeleteTextures(1, &texture_);
    framebuffer_ = renderbuffer_ = texture_ = 0;
    width_ = height_ = 0;
}

bool FramebufferPicture::allocate(int width, int height, bool texture) {
    release();
    if (width <= 0 || height <= 0) return false;
    glGenFramebuffers(1, &framebuffer_);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
    if (texture) {
        glGenTextures(1, &texture_);  // attached once it has its pixels
    } else {
        glGenRenderbuffers(1, &renderbuffer_);
        glBindRenderbuffer(GL_RENDERBUFFER, renderbuffer_);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
        glBindRenderbuffer(GL_RENDERBUFFER, 0);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER,
                                  renderbuffer_);
    }
    width_ = width;
    height_ = height;
    return true;
}

bool FramebufferPicture::keepBackBuffer(int width, int height) {
    const CopyState state;
    if (width != width_ || height != height_ || texture_ != 0 || framebuffer_ == 0) {
        if (!allocate(width, height, false)) return false;
    }
    rowsTopFirst_ = false;
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, framebuffer_);
    glBlitFramebuffer(0, 0, width, height, 0, 0, width, height, GL_COLOR_BUFFER_BIT, GL_NEAREST);
    return glCheckFramebufferStatus(GL_DRAW_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
}

bool FramebufferPicture::keepPixels(const std::uint8_t* rgb, int width, int height) {
    const CopyState state;
    if (!allocate(width, height, true)) return false;
    rowsTopFirst_ = true;
    // The texture binding and the unpack alignment are the module's: put back.
    GLint boundTexture = 0;
    GLint alignment = 4;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &boundTexture);
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    glBindTexture(GL_TEXTURE_2D, texture_);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGB, GL_UNSIGNED_BYTE, rgb);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(boundTexture));
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture_, 0);
    return glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
}

void FramebufferPicture::drawInto(int x, int y, int w, int h) const {
    if (framebuffer_ == 0) return;
    const CopyState state;
    glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer_);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    const bool scaled = w != width_ || h != height_;
    // Rows kept top first are turned over by swapping the target's edges.
    const int y0 = rowsTopFirst_ ? y + h : y;
    const int y1 = rowsTopFirst_ ? y : y + h;
    glBlitFramebuffer(0, 0, width_, height_, x, y0, x + w, y1, GL_COLOR_BUFFER_BIT,
                      scaled ? GL_LINEAR : GL_NEAREST);
}
