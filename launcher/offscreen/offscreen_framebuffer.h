// A framebuffer object a show draws into instead of its surface's own
// buffer: as large as the driver's renderbuffers allow (a supersampled
// picture is drawn several times larger), multisampled where asked, with a
// single-sample copy that the samples are resolved into before they are
// read back. Needs a current OpenGL (2.1 with framebuffer objects, or ES 3)
// context.
#pragma once

#include <string>

// What the driver of the current context allows.
struct FramebufferLimits {
    int maxSamples = 0;  // GL_MAX_SAMPLES
    int maxSide = 0;     // the lesser of GL_MAX_RENDERBUFFER_SIZE and GL_MAX_VIEWPORT_DIMS
};
FramebufferLimits currentFramebufferLimits();

class OffscreenFramebuffer {
  public:
    OffscreenFramebuffer() = default;
    ~OffscreenFramebuffer();
    OffscreenFramebuffer(const OffscreenFramebuffer&) = delete;
    OffscreenFramebuffer& operator=(const OffscreenFramebuffer&) = delete;

    // Colour (RGBA, 8 bits a channel) and depth (16 or 24 bits, as near
    // as the surface's own) renderbuffers of width x height; samples 0 for
    // none. False with error set when the driver refuses.
    bool create(int width, int height, int samples, int depthBits, std::string& error);
    // The show draws here from now on, as it would into the surface's own
    // framebuffer.
    void bindForDrawing() const;
    // The samples resolved into the single-sample copy, which is then the
    // one glReadPixels reads; bindForDrawing() goes back to drawing.
    void resolveForReading() const;
    // GL_SAMPLES of the framebuffer drawn into, as the driver made it.
    int samples() const { return samples_; }
    // Deletes the framebuffers (the context they were made in current).
    void release();

  private:
    unsigned int drawFramebuffer_ = 0;
    unsigned int colour_ = 0;
    unsigned int depth_ = 0;
    unsigned int resolveFramebuffer_ = 0;  // only when multisampled
    unsigned int resolveColour_ = 0;
    int width_ = 0;
    int height_ = 0;
    int samples_ = 0;
};

// Makes framebuffer the one the show's drawing goes to as if it were the
// surface's own (framebuffer 0 for the GL subset); implemented per GL.
void drawIntoFramebuffer(unsigned int framebuffer);
