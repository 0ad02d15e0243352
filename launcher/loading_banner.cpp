// Draws the loading banner with glDrawPixels.
#include "loading_banner.h"

#include <GL/gl.h>

#include <algorithm>

void drawLoadingBanner(int clientWidth, int clientHeight) {
    if (clientWidth <= 0 || clientHeight <= 0) return;
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    const float zoom = std::min(1.0f, 0.9f * clientWidth / kLoadingBannerWidth);
    const float drawnWidth = zoom * kLoadingBannerWidth;
    const float drawnHeight = zoom * kLoadingBannerHeight;
    // Rows are stored top first; a negative vertical zoom draws them downwards
    // from the raster position at the banner's top edge.
    const float left = (clientWidth - drawnWidth) * 0.5f;
    const float topEdge = (clientHeight + drawnHeight) * 0.5f;

    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_DEPTH_TEST);
    glViewport(0, 0, clientWidth, clientHeight);
    // Window coordinates through an identity transform: x and y in -1..1.
    glRasterPos2f(2.0f * left / clientWidth - 1.0f, 2.0f * topEdge / clientHeight - 1.0f);
    glPixelZoom(zoom, -zoom);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glDrawPixels(kLoadingBannerWidth, kLoadingBannerHeight, GL_RGB, GL_UNSIGNED_BYTE,
                 kLoadingBannerPixels);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelZoom(1.0f, 1.0f);
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glPopAttrib();
}
