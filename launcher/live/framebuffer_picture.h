// A picture kept in a framebuffer of its own and copied into the window's
// back buffer with a blit. Copies touch no state the module draws with
// (matrices, texturing, blending, depth, colours): only the framebuffer
// bindings, which go back to the window's, and the scissor test, which
// each frame sets anew. Needs a current context with framebuffer objects
// (OpenGL 3.0, or ARB_framebuffer_object; OpenGL ES 3.0).
#pragma once

#include <cstdint>

class FramebufferPicture {
  public:
    FramebufferPicture() = default;
    ~FramebufferPicture();  // release()
    FramebufferPicture(const FramebufferPicture&) = delete;
    FramebufferPicture& operator=(const FramebufferPicture&) = delete;

    // The window's back buffer as drawn so far, width x height from its
    // bottom left corner.
    bool keepBackBuffer(int width, int height);
    // RGB pixels, rows top first.
    bool keepPixels(const std::uint8_t* rgb, int width, int height);

    bool empty() const { return framebuffer_ == 0; }
    int width() const { return width_; }
    int height() const { return height_; }

    // Copies the picture into the back buffer's rectangle x, y, w, h
    // (bottom left origin), scaled to fit, smoothly where it is scaled.
    void drawInto(int x, int y, int w, int h) const;

    // Deletes the framebuffer; only with the context still current.
    void release();

  private:
    bool allocate(int width, int height, bool texture);

    unsigned framebuffer_ = 0;
    unsigned renderbuffer_ = 0;
    unsigned texture_ = 0;
    int width_ = 0;
    int height_ = 0;
    bool rowsTopFirst_ = false;
};
