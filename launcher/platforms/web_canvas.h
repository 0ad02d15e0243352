// The show's surface in a browser: a WebGL 2 context on the page's canvas
// (#canvas), created from C++, with no antialiasing (it would change every
// edge against the native show). The show draws into a framebuffer of the
// surface's own (the GL subset's window framebuffer) with a 16-bit depth
// buffer, as the native show's: WebGL's own depth buffer is 24 bits deep, and
// where two texts come close their letters would hide each other otherwise
// than natively. That framebuffer keeps its picture from frame to frame (the
// burst's trails draw over the frame before); presenting copies it onto the
// canvas. Needs the GL subset.
#pragma once

#include <string>

#include "host/surface.h"

class WebCanvas final : public Surface {
  public:
    WebCanvas() = default;
    ~WebCanvas() override;
    WebCanvas(const WebCanvas&) = delete;
    WebCanvas& operator=(const WebCanvas&) = delete;

    // Sizes the canvas's drawing buffer to width x height (its CSS size too,
    // unless full screen fits it to the screen) and makes the context
    // current. False with error set.
    bool create(int width, int height, bool fullScreen, std::string& error);
    // The drawing buffer to a new size (full screen entered or left).
    void resize(int width, int height);

    bool makeCurrent() override;
    void releaseContext() override;
    int drawableWidth() const override;
    int drawableHeight() const override;
    // Copies the picture onto the canvas, which the browser shows when the
    // animation frame returns.
    void present() override;
    void* nativeHandle() const override { return nullptr; }

  private:
    bool makeWindowFramebuffer(int width, int height);
    void releaseWindowFramebuffer();

    long context_ = 0;
    unsigned framebuffer_ = 0;
    unsigned colour_ = 0;
    unsigned depth_ = 0;
};
