// The show's surface in a browser: a WebGL 2 context on the page's canvas
// (#canvas), created from C++. No antialiasing (it would change every edge
// against the native show), an opaque drawing buffer that is kept between
// frames (the burst's trails draw over the frame before), depth on.
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
    // The browser shows the frame when the animation frame returns.
    void present() override {}
    void* nativeHandle() const override { return nullptr; }

  private:
    long context_ = 0;
};
