// Golden frames: shots of chosen instants across the script at 320 x 240
// (and a few at 1280 x 720 in both picture shapes), compared with the
// reference pictures in tests/golden/. The tolerance lets
// a renderer's rounding differ (a Mesa update) but not an effect, a
// projection, a texture or a blend: the mean difference per channel must stay
// small and only a sliver of pixels may be far off.
// SORVANEL_UPDATE_GOLDEN=1 writes the references instead (target
// update-golden); look at them before committing.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <ostream>
#include <string>
#include <vector>

#include "capture_support.h"
#include "golden_cases.h"

namespace {

using namespace capture_test;

bool updating() {
    const char* v = std::getenv("SORVANEL_UPDATE_GOLDEN");
    return v != nullptr && v[0] != '\0' && v[0] != '0';
}

class GoldenFrames : public ::testing::TestWithParam<GoldenCase> {
  protected:
    ScratchFolder folder{"sorvanel-golden"};
};

TEST_P(GoldenFrames, MatchesTheReference) {
    const GoldenCase& c = GetParam();
    const Instant& instant = c.instant;
    const std::string name = referenceName(c);
    const fs::path reference = fs::path(GOLDEN_DIR) / (name + ".png");
    const fs::path shot = updating() ? reference : folder / "shot.png";
    fs::create_directories(folder / "runtime");
    std::vector<std::string> args = {"--shot", instant.seconds, shot.string(), "--size", c.size};
    if (c.widescreen) args.push_back("--widescreen");
    const ProcessResult r = runTalvenor(args, folder / "runtime");
    ASSERT_EQ(r.exitCode, 0) << r.output;
    if (updating()) GTEST_SKIP() << "wrote " << reference;

    const RgbPicture expected = readPicture(reference);
    const RgbPicture actual = readPicture(shot);
    ASSERT_GT(expected.width, 0) << reference << " missing: run the update-golden target";
    ASSERT_EQ(actual.width, expected.width);
    ASSERT_EQ(actual.height, expected.height);
    const PictureDifference d = compare(actual, expected);
    const bool close = withinGoldenTolerance(d);
    if (!close) {
        // Kept for a look beside the build's tests.
        fs::create_directories(GOLDEN_ACTUAL_DIR);
        fs::copy_file(shot, fs::path(GOLDEN_ACTUAL_DIR) / (name + ".png"),
                      fs::copy_options::overwrite_existing);
    }
    EXPECT_TRUE(close) << name << " at " << instant.seconds << " s (" << instant.shows
                       << "): mean difference " << d.mean[0] << ", " << d.mean[1] << ", "
                       << d.mean[2] << "; " << 100.0 * d.farOffShare
                       << "% of pixels far off; the shot is in " << GOLDEN_ACTUAL_DIR;
}

INSTANTIATE_TEST_SUITE_P(Script, GoldenFrames, ::testing::ValuesIn(goldenCases()),
                         [](const ::testing::TestParamInfo<GoldenCase>& info) {
                             return referenceName(info.param);
                         });

}  // namespace
