// Where the show's picture goes in a drawable area, and the host's default
// frustum for it. The show is composed for 4:3: by default it is drawn into
// the largest centred 4:3 rectangle and the rest stays black (pillar- or
// letterbox). Widescreen opens the view out sideways instead: the picture
// fills a drawable wider than 4:3, keeping the 4:3 vertical extent.
// Plain arithmetic, shared by the live window and the offscreen capture.
#pragma once

#include "common/dmd_api.h"

enum class PictureShape {
    Composed,    // the 4:3 picture, pillar- or letterboxed
    Widescreen,  // the whole drawable where it is wider than 4:3
};

struct PictureRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const PictureRect&) const = default;
};

// The picture's rectangle in a drawable of width x height pixels (GL
// coordinates, origin at the bottom left). Widescreen on a drawable that is
// not wider than 4:3 is the composed picture.
PictureRect pictureRectFor(int drawableWidth, int drawableHeight, PictureShape shape);

// Whether the picture leaves bars of the drawable uncovered.
bool leavesBars(const PictureRect& picture, int drawableWidth, int drawableHeight);

// The default frustum for a picture of that rectangle, as views tileIndex of
// tileCount side by side: left -5, right 5, top and bottom +-5 / aspect for
// one view of aspect width / height (+-5 by +-3.75 at 4:3). A widescreen
// picture wider than 4:3 keeps +-3.75 and widens left and right by its
// aspect against 4:3. aspectOut receives the picture's width / height (its
// width where the height is 0).
FrustumParams defaultFrustumFor(const PictureRect& picture, PictureShape shape, int tileCount,
                                int tileIndex, double& aspectOut);
