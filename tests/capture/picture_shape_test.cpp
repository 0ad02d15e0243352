// Shots of sizes that are not 4:3, against 4:3 shots of the same instants:
// by default the 4:3 picture sits pillar- or letterboxed between black bars;
// with --widescreen a 16:9 shot holds the 4:3 picture in its middle and more
// of the scene at the sides. At 4:3 both are the same file.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "capture_support.h"

namespace {

using namespace capture_test;

class PictureShape : public ::testing::Test {
  protected:
    void SetUp() override { fs::create_directories(folder / "runtime"); }

    RgbPicture shot(const char* seconds, const char* size, bool widescreen = false) {
        const fs::path png =
            folder / (std::string(seconds) + "-" + size + (widescreen ? "-wide" : "") + ".png");
        std::vector<std::string> args = {"--shot", seconds, png.string(), "--size", size};
        if (widescreen) args.push_back("--widescreen");
        const ProcessResult r = runTalvenor(args, folder / "runtime");
        EXPECT_EQ(r.exitCode, 0) << r.output;
        return readPicture(png);
    }

    // The part at x, y of `wide` matches `composed` within the golden
    // tolerance.
    static void expectInside(const RgbPicture& wide, int x, int y, const RgbPicture& composed,
                             const char* seconds) {
        const PictureDifference d =
            compare(crop(wide, x, y, composed.width, composed.height), composed);
        EXPECT_TRUE(withinGoldenTolerance(d))
            << "at " << seconds << " s: mean difference " << d.mean[0] << ", " << d.mean[1] << ", "
            << d.mean[2] << "; " << 100.0 * d.farOffShare << "% of pixels far off";
    }

    ScratchFolder folder{"sorvanel-picture-shape"};
};

// Credits, circle, swarm, burst and fade.
constexpr const char* kInstants[] = {"14.25", "250", "135", "0.5", "120.5"};

TEST_F(PictureShape, A16x9ShotPillarboxesThe4x3Picture) {
    for (const char* seconds : kInstants) {
        const RgbPicture wide = shot(seconds, "1280x720");
        const RgbPicture composed = shot(seconds, "960x720");
        ASSERT_EQ(wide.width, 1280);
        ASSERT_EQ(composed.width, 960);
        expectInside(wide, 160, 0, composed, seconds);
        EXPECT_EQ(nonBlackPixels(wide, 0, 0, 160, 720), 0) << seconds;
        EXPECT_EQ(nonBlackPixels(wide, 1120, 0, 160, 720), 0) << seconds;
    }
}

TEST_F(PictureShape, ASquareShotLetterboxesThe4x3Picture) {
    for (const char* seconds : {"135", "120.5"}) {
        const RgbPicture square = shot(seconds, "1024x1024");
        const RgbPicture composed = shot(seconds, "1024x768");
        ASSERT_EQ(square.height, 1024);
        expectInside(square, 0, 128, composed, seconds);
        EXPECT_EQ(nonBlackPixels(square, 0, 0, 1024, 128), 0) << seconds;
        EXPECT_EQ(nonBlackPixels(square, 0, 896, 1024, 128), 0) << seconds;
    }
}

TEST_F(PictureShape, WidescreenKeepsThe4x3PictureInTheMiddleAndShowsMoreAtTheSides) {
    // A figure, a text scene and a fade.
    for (const char* seconds : {"30", "60", "120.5"}) {
        const RgbPicture wide = shot(seconds, "1280x720", true);
        const RgbPicture composed = shot(seconds, "960x720");
        ASSERT_EQ(wide.width, 1280);
        expectInside(wide, 160, 0, composed, seconds);
        // The enclosing figure fills the view: the sides are picture too.
        const long sidePixels = 2L * 160 * 720;
        EXPECT_GT(nonBlackPixels(wide, 0, 0, 160, 720) + nonBlackPixels(wide, 1120, 0, 160, 720),
                  sidePixels * 9 / 10)
            << seconds;
    }
}

TEST_F(PictureShape, At4x3WidescreenIsTheDefaultPictureByteForByte) {
    for (const char* seconds : {"30", "14.25"}) {
        shot(seconds, "640x480");
        shot(seconds, "640x480", true);
        const std::string composed = fileBytes(folder / (std::string(seconds) + "-640x480.png"));
        EXPECT_FALSE(composed.empty());
        EXPECT_EQ(fileBytes(folder / (std::string(seconds) + "-640x480-wide.png")), composed)
            << seconds;
    }
}

}  // namespace
