// Where the picture goes in drawables of every shape, and the frustum the
// host hands for it.
#include "host/picture_frame.h"

#include <gtest/gtest.h>

namespace {

PictureRect composed(int w, int h) {
    return pictureRectFor(w, h, PictureShape::Composed);
}

TEST(PictureFrame, TheComposedPictureIsTheLargestCentred4x3) {
    EXPECT_EQ(composed(640, 480), (PictureRect{0, 0, 640, 480}));
    EXPECT_EQ(composed(1280, 720), (PictureRect{160, 0, 960, 720}));
    EXPECT_EQ(composed(1920, 1080), (PictureRect{240, 0, 1440, 1080}));
    EXPECT_EQ(composed(1280, 1024), (PictureRect{0, 32, 1280, 960}));
    EXPECT_EQ(composed(1024, 1024), (PictureRect{0, 128, 1024, 768}));
    // Rounded to the nearest pixel, the spare one to the right.
    EXPECT_EQ(composed(1280, 800), (PictureRect{106, 0, 1067, 800}));
    EXPECT_FALSE(leavesBars(composed(800, 600), 800, 600));
    EXPECT_TRUE(leavesBars(composed(1024, 1024), 1024, 1024));
}

TEST(PictureFrame, WidescreenFillsAWideDrawableAndLetterboxesATallOne) {
    EXPECT_EQ(pictureRectFor(1280, 720, PictureShape::Widescreen), (PictureRect{0, 0, 1280, 720}));
    EXPECT_EQ(pictureRectFor(1024, 1024, PictureShape::Widescreen), composed(1024, 1024));
    EXPECT_EQ(pictureRectFor(640, 480, PictureShape::Widescreen), composed(640, 480));
}

TEST(PictureFrame, DefaultFrustumKeeps4x3AndWidescreenWidensOnlySideways) {
    double aspect = 0.0;
    FrustumParams f = defaultFrustumFor(composed(1280, 720), PictureShape::Composed, 1, 1, aspect);
    EXPECT_DOUBLE_EQ(aspect, 4.0 / 3.0);
    EXPECT_EQ(f.left, -5.0);
    EXPECT_EQ(f.right, 5.0);
    EXPECT_DOUBLE_EQ(f.top, 3.75);
    EXPECT_DOUBLE_EQ(f.bottom, -3.75);
    EXPECT_EQ(f.nearVal, 1.0);
    EXPECT_EQ(f.farVal, 255.0);

    const PictureRect wide = pictureRectFor(1280, 720, PictureShape::Widescreen);
    f = defaultFrustumFor(wide, PictureShape::Widescreen, 1, 1, aspect);
    EXPECT_DOUBLE_EQ(f.right, 5.0 * (16.0 / 9.0) / (4.0 / 3.0));
    EXPECT_DOUBLE_EQ(f.left, -f.right);
    EXPECT_EQ(f.top, 3.75);
    EXPECT_EQ(f.bottom, -3.75);

    // At exactly 4:3 both shapes give the same bits.
    double a1 = 0.0;
    double a2 = 0.0;
    const FrustumParams c = defaultFrustumFor(composed(640, 480), PictureShape::Composed, 1, 1, a1);
    const FrustumParams w = defaultFrustumFor(pictureRectFor(640, 480, PictureShape::Widescreen),
                                              PictureShape::Widescreen, 1, 1, a2);
    EXPECT_EQ(c.left, w.left);
    EXPECT_EQ(c.right, w.right);
    EXPECT_EQ(c.bottom, w.bottom);
    EXPECT_EQ(c.top, w.top);
    // A zero height keeps the width as the aspect rather than dividing by 0.
    defaultFrustumFor(PictureRect{0, 0, 640, 0}, PictureShape::Composed, 1, 1, aspect);
    EXPECT_EQ(aspect, 640.0);
}

}  // namespace
