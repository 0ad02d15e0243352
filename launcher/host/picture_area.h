// Puts the picture's rectangle into GL state before a frame: the viewport,
// and where the picture leaves bars, bars painted black and a scissor box
// that keeps the module's drawing and clears inside the picture. Needs a
// current GL context.
#pragma once

#include "host/picture_frame.h"

void preparePictureArea(const PictureRect& picture, int drawableWidth, int drawableHeight);
