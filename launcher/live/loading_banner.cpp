// Implements the loading banner over a FramebufferPicture: the window
// cleared to black, the banner's pixels (made at build time) copied in from
// a framebuffer of their own, scaled down in a small window.
#include "live/loading_banner.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

#include "live/framebuffer_picture.h"

void drawLoadingBanner(int clientWidth, int clientHeight) {
    if (clientWidth <= 0 || clientHeight <= 0) return;
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    const float zoom = std::min(1.0f, 0.9f * clientWidth / kLoadingBannerWidth);
    const int drawnWidth = static_cast<int>(std::lround(zoom * kLoadingBannerWidth));
    const int drawnHeight = static_cast<int>(std::lround(zoom * kLoadingBannerHeight));
    FramebufferPicture banner;
    if (!banner.keepPixels(kLoadingBannerPixels, kLoadingBannerWidth, kLoadingBannerHeight)) return;
    banner.drawInto((clientWidth - drawnWidth) / 2, (clientHeight - drawnHeight) / 2, drawnWidth,
                    drawnHeight);
    banner.release();
}
