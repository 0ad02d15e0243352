// Implements the picture's placement with whole pixels: the 4:3 rectangle
// is rounded to the nearest pixel and centred, an odd spare pixel going to
// the right or the top.
#include "host/picture_frame.h"

#include <cstdint>

namespace {

// The 4:3 vertical half extent of the default frustum: 5 / (4 / 3).
constexpr double kComposedHalfHeight = 3.75;

bool widerThanComposed(int width, int height) {
    return static_cast<std::int64_t>(width) * 3 > static_cast<std::int64_t>(height) * 4;
}

}  // namespace

PictureRect pictureRectFor(int drawableWidth, int drawableHeight, PictureShape shape) {
    PictureRect r{0, 0, drawableWidth, drawableHeight};
    if (drawableWidth <= 0 || drawableHeight <= 0) return r;
    const std::int64_t w = drawableWidth;
    const std::int64_t h = drawableHeight;
    if (widerThanComposed(drawableWidth, drawableHeight)) {
        if (shape == PictureShape::Widescreen) return r;
        r.width = static_cast<int>((h * 4 + 1) / 3);  // h * 4 / 3, rounded
        r.x = (drawableWidth - r.width) / 2;
    } else if (w * 3 < h * 4) {
        r.height = static_cast<int>((w * 3 + 2) / 4);  // w * 3 / 4, rounded
        r.y = (drawableHeight - r.height) / 2;
    }
    return r;
}

bool leavesBars(const PictureRect& picture, int drawableWidth, int drawableHeight) {
    return picture.x != 0 || picture.y != 0 || picture.width != drawableWidth ||
           picture.height != drawableHeight;
}

FrustumParams defaultFrustumFor(const PictureRect& picture, PictureShape shape, int tileCount,
                                int tileIndex, double& aspectOut) {
    const double left0 = (tileIndex - 1) - tileCount / 2.0;
    const double right0 = left0 + 1.0;
    aspectOut = picture.height != 0 ? static_cast<double>(picture.width) / picture.height
                                    : static_cast<double>(picture.width);
    if (shape == PictureShape::Widescreen && widerThanComposed(picture.width, picture.height)) {
        const double widening = aspectOut * (kComposedHalfHeight / 5.0);
        return {10.0 * left0 * widening,
                10.0 * right0 * widening,
                -kComposedHalfHeight,
                kComposedHalfHeight,
                1.0,
                255.0};
    }
    const double halfHeight = 0.5 / aspectOut;
    return {10.0 * left0, 10.0 * right0, -10.0 * halfHeight, 10.0 * halfHeight, 1.0, 255.0};
}
