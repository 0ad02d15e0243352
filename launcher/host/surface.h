// Where a show draws: a drawable with an OpenGL context. The host needs only
// these few things of it; three platforms implement it: the SDL window (the
// live show), the EGL pbuffer (captures and shots) and the web page's canvas
// (the show in a browser).
#pragma once

#include <cstdint>
#include <vector>

// The byte order of read-back pixels.
enum class PixelOrder {
    Rgba,
    Bgra,  // the driver's own order: cheaper to read on llvmpipe
};

class Surface {
  public:
    virtual ~Surface() = default;

    virtual bool makeCurrent() = 0;
    // No context current afterwards; with deleteContext the context is gone.
    virtual void releaseContext() = 0;
    // Pixels of the drawable area (high-DPI pixels where the platform has them).
    struct Size {
        int width = 0;
        int height = 0;
    };
    virtual Size drawableSize() const = 0;
    int drawableWidth() const { return drawableSize().width; }
    int drawableHeight() const { return drawableSize().height; }
    // Shows what was drawn (a buffer swap).
    virtual void present() = 0;
    // What Init receives as its "device context": the platform's own handle.
    virtual void* nativeHandle() const = 0;

    // The drawable's pixels as drawn so far (the back buffer), bottom row
    // first, 4 bytes each, into rows (resized to fit).
    virtual void readPixels(PixelOrder order, std::vector<std::uint8_t>& rows) const;
};
