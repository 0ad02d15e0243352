// Implements the framebuffer and renderbuffer calls: ES 3.0 has them as they
// are, so they pass straight on (GL does not compile them into lists
// either), but for framebuffer 0, which is the window's framebuffer: the
// platform's own, or one a surface set up to draw into (a canvas given the
// window's depth precision, say).
#include "context.h"

using namespace sgl;

extern "C" {

SGL_API void sgl_GenFramebuffers(int n, unsigned int* framebuffers) {
    if (current() != nullptr) glGenFramebuffers(n, framebuffers);
}

SGL_API void sgl_DeleteFramebuffers(int n, const unsigned int* framebuffers) {
    if (current() != nullptr) glDeleteFramebuffers(n, framebuffers);
}

SGL_API void sgl_BindFramebuffer(unsigned int target, unsigned int framebuffer) {
    if (Context* c = current()) {
        glBindFramebuffer(target, framebuffer != 0 ? framebuffer : c->windowFramebuffer);
    }
}

SGL_API void sgl_SetWindowFramebuffer(unsigned int framebuffer) {
    if (Context* c = current()) {
        c->windowFramebuffer = framebuffer;
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    }
}

SGL_API void sgl_GenRenderbuffers(int n, unsigned int* renderbuffers) {
    if (current() != nullptr) glGenRenderbuffers(n, renderbuffers);
}

SGL_API void sgl_DeleteRenderbuffers(int n, const unsigned int* renderbuffers) {
    if (current() != nullptr) glDeleteRenderbuffers(n, renderbuffers);
}

SGL_API void sgl_BindRenderbuffer(unsigned int target, unsigned int renderbuffer) {
    if (current() != nullptr) glBindRenderbuffer(target, renderbuffer);
}

SGL_API void sgl_RenderbufferStorage(unsigned int target, unsigned int internalFormat, int width,
                                     int height) {
    if (current() != nullptr) glRenderbufferStorage(target, internalFormat, width, height);
}

SGL_API void sgl_RenderbufferStorageMultisample(unsigned int target, int samples,
                                                unsigned int internalFormat, int width,
                                                int height) {
    if (current() != nullptr) {
        glRenderbufferStorageMultisample(target, samples, internalFormat, width, height);
    }
}

SGL_API void sgl_FramebufferRenderbuffer(unsigned int target, unsigned int attachment,
                                         unsigned int renderbufferTarget,
                                         unsigned int renderbuffer) {
    if (current() != nullptr) {
        glFramebufferRenderbuffer(target, attachment, renderbufferTarget, renderbuffer);
    }
}

SGL_API void sgl_FramebufferTexture2D(unsigned int target, unsigned int attachment,
                                      unsigned int textureTarget, unsigned int texture, int level) {
    if (current() != nullptr) {
        glFramebufferTexture2D(target, attachment, textureTarget, texture, level);
    }
}

SGL_API unsigned int sgl_CheckFramebufferStatus(unsigned int target) {
    return current() != nullptr ? glCheckFramebufferStatus(target) : 0;
}

SGL_API void sgl_BlitFramebuffer(int srcX0, int srcY0, int srcX1, int srcY1, int dstX0, int dstY0,
                                 int dstX1, int dstY1, unsigned int mask, unsigned int filter) {
    if (current() != nullptr) {
        glBlitFramebuffer(srcX0, srcY0, srcX1, srcY1, dstX0, dstY0, dstX1, dstY1, mask, filter);
    }
}

}  // extern "C"
