// Implements the picture's GL state. The bars are cleared on every frame: a
// window's back buffer holds nothing defined after a swap.
#include "host/picture_area.h"

#include <GL/gl.h>

namespace {

void clearBlack(int x, int y, int width, int height) {
    if (width <= 0 || height <= 0) return;
    glScissor(x, y, width, height);
    glClear(GL_COLOR_BUFFER_BIT);
}

}  // namespace

void preparePictureArea(const PictureRect& picture, int drawableWidth, int drawableHeight) {
    glViewport(picture.x, picture.y, picture.width, picture.height == 0 ? 1 : picture.height);
    if (!leavesBars(picture, drawableWidth, drawableHeight)) {
        glDisable(GL_SCISSOR_TEST);
        return;
    }
    // The module's clear colour is its own: keep it.
    GLfloat moduleClear[4] = {};
    glGetFloatv(GL_COLOR_CLEAR_VALUE, moduleClear);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glEnable(GL_SCISSOR_TEST);
    const int right = picture.x + picture.width;
    const int top = picture.y + picture.height;
    clearBlack(0, 0, picture.x, drawableHeight);
    clearBlack(right, 0, drawableWidth - right, drawableHeight);
    clearBlack(picture.x, 0, picture.width, picture.y);
    clearBlack(picture.x, top, picture.width, drawableHeight - top);
    glClearColor(moduleClear[0], moduleClear[1], moduleClear[2], moduleClear[3]);
    glScissor(picture.x, picture.y, picture.width, picture.height);
}
