// An offscreen OpenGL context over EGL: Mesa's surfaceless platform with a
// pbuffer, so no display is needed. OpenGL 2.1 (compatibility) or ES 3.0, by
// default the kind this build's show draws with. Used for rendering tests and
// for capturing the show without a window. Asked for, the show draws into a
// framebuffer object instead (offscreen_framebuffer.h): multisampled, or
// larger than a pbuffer may be.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/show_gl_api.h"
#include "host/surface.h"
#include "offscreen/offscreen_framebuffer.h"

// How an offscreen surface is drawn into: its pbuffer, or a framebuffer
// object (with samples > 0 a multisampled one).
struct OffscreenDrawing {
    bool framebuffer = false;
    int samples = 0;
};

class EglOffscreen final : public Surface {
  public:
    // Creates the context and makes it current; check ok() afterwards.
    EglOffscreen(int width, int height, GlApi api = kShowGlApi, OffscreenDrawing drawing = {});
    ~EglOffscreen() override;
    EglOffscreen(const EglOffscreen&) = delete;
    EglOffscreen& operator=(const EglOffscreen&) = delete;

    bool ok() const { return ok_; }
    const std::string& error() const { return error_; }
    // The samples each pixel has (0: not multisampled), and the driver's
    // limits, for messages.
    int samples() const { return framebuffer_.samples(); }
    const FramebufferLimits& limits() const { return limits_; }
    int width() const { return width_; }
    int height() const { return height_; }

    // Surface. Releasing leaves no context current; the context lives on
    // until this object goes.
    bool makeCurrent() override;
    void releaseContext() override;
    Size drawableSize() const override { return {width_, height_}; }
    void present() override;
    void* nativeHandle() const override { return nullptr; }  // no window

    // RGBA rows of the pbuffer, bottom row first (GL order).
    std::vector<std::uint8_t> readPixels() const;
    // The samples of a multisampled framebuffer are resolved first.
    void readPixels(PixelOrder order, std::vector<std::uint8_t>& rows) const override;

  private:
    void* display_ = nullptr;
    void* surface_ = nullptr;
    void* context_ = nullptr;
    int width_;
    int height_;
    bool ok_ = false;
    std::string error_;
    bool usesFramebuffer_ = false;
    OffscreenFramebuffer framebuffer_;
    FramebufferLimits limits_;
};
