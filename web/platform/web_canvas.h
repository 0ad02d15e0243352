// The show's surface in a browser: a WebGL 2 context on the page's canvas
// (#canvas), created from C++, with no antialiasing (it would change every
// edge against the native show). The show draws into a framebuffer of the
// surface's own (the GL subset's window framebuffer) with a 16-bit depth
// buffer, as the native show's: WebGL's own depth buffer is 24 bits deep, and
// where two texts come close their letters would hide each other otherwise
// than natively. That framebuffer keeps its picture from frame to frame (the
// burst's trails draw over the frame before); presenting copies it onto the
// canvas. With samples asked for, that framebuffer is multisampled (WebGL 2
// renderbuffers), resolved by the copy onto the canvas and before a
// read-back, so a shot and the live page draw alike. Needs the GL subset.
#pragma once

#include <functional>
#include <string>

#include "host/surface.h"

class WebCanvas final : public Surface {
  public:
    WebCanvas() = default;
    ~WebCanvas() override;
    WebCanvas(const WebCanvas&) = delete;
    WebCanvas& operator=(const WebCanvas&) = delete;

    // Sizes the canvas's drawing buffer to width x height and makes the
    // context current; the element's size on the page is the page's to set.
    // False with error set (also for a size beyond what the context draws,
    // or samples where the browser has no multisampling). samples: 0, or 2
    // to 8, the most the browser allows where it allows fewer.
    bool create(int width, int height, int samples, std::string& error);
    // The drawing buffer to a new size (the element's size changed), made
    // smaller where the context cannot draw that many pixels a side; the
    // picture it held is gone.
    void resize(int width, int height);
    // The longest side the context draws (its renderbuffer and viewport
    // limits).
    int largestSide() const;

    bool makeCurrent() override;
    void releaseContext() override;
    Size drawableSize() const override;
    // Copies the picture onto the canvas, which the browser shows when the
    // animation frame returns.
    void present() override;
    // Runs draw with a single-sampled window framebuffer and shows what it
    // drew: for pictures copied in by blits (the loading banner), which a
    // multisampled framebuffer refuses. The show's own framebuffer is left
    // as it was.
    void drawSingleSampledAndPresent(const std::function<void()>& draw);
    void* nativeHandle() const override { return nullptr; }
    // The samples are resolved first where the picture is multisampled.
    void readPixels(PixelOrder order, std::vector<std::uint8_t>& rows) const override;
    int samples() const { return samples_; }

  private:
    bool makeWindowFramebuffer(int width, int height);
    void releaseWindowFramebuffer();

    long context_ = 0;
    unsigned framebuffer_ = 0;
    unsigned colour_ = 0;
    unsigned depth_ = 0;
    int samples_ = 0;
    unsigned resolveFramebuffer_ = 0;  // multisampled only: the picture read back
    unsigned resolveColour_ = 0;
};
