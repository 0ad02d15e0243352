// Golden frames: shots of chosen instants across the script at 320 x 240,
// compared with the reference pictures in tests/golden/. The tolerance lets
// a renderer's rounding differ (a Mesa update) but not an effect, a
// projection, a texture or a blend: the mean difference per channel must stay
// small and only a sliver of pixels may be far off.
// SORVANEL_UPDATE_GOLDEN=1 writes the references instead (target
// update-golden); look at them before committing.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <ostream>

#include "capture_support.h"

namespace {

using namespace capture_test;

struct Instant {
    const char* name;
    const char* seconds;
    const char* shows;
};

// Test names and failure messages name the instant, not its bytes.
void PrintTo(const Instant& instant, std::ostream* out) {
    *out << instant.name;
}

// clang-format off
constexpr Instant kInstants[] = {
    {"burst",            "0.5",   "the sprite burst after a colour clear"},
    {"credits_at_rest",  "14.25", "the eight names coming to rest"},
    {"title",            "16.5",  "the title word spreading towards the viewer"},
    {"trails",           "17.2",  "the burst drawn over earlier frames, no colour clear"},
    {"fade_add_down",    "21",    "figure A under a falling additive fade"},
    {"figure_a",         "30",    "figure A alone, sphere-mapped"},
    {"text_scene",       "60",    "both wave-text lines over figure A"},
    {"fade_to_black",    "120.5", "figure A darkening"},
    {"fade_from_black",  "125",   "figure C and a swarm coming out of black"},
    {"swarm",            "135",   "figure C, object-linear, with a swarm"},
    {"fade_add_up",      "232.5", "the burst under a rising additive fade"},
    {"circle_a",         "250",   "figure B with the first circle"},
    {"circle_b",         "370",   "figure C with the second circle"},
    {"triple_swarm",     "1370",  "figure C with three swarms"},
};
// clang-format on

constexpr double kMaxMeanDifference = 2.0;  // per channel, of 255
constexpr int kFarOff = 48;                 // a channel this far off is a wrong pixel
constexpr double kMaxFarOffShare = 0.005;   // of all pixels

struct Difference {
    double mean[3] = {0, 0, 0};
    double farOffShare = 0.0;
};

Difference compare(const RgbPicture& a, const RgbPicture& b) {
    Difference d;
    const std::size_t pixels = a.rgb.size() / 3;
    std::size_t farOff = 0;
    for (std::size_t p = 0; p < pixels; ++p) {
        bool far = false;
        for (int c = 0; c < 3; ++c) {
            const int delta = std::abs(int(a.rgb[3 * p + c]) - int(b.rgb[3 * p + c]));
            d.mean[c] += delta;
            far = far || delta > kFarOff;
        }
        if (far) ++farOff;
    }
    for (double& m : d.mean) m /= static_cast<double>(pixels);
    d.farOffShare = static_cast<double>(farOff) / static_cast<double>(pixels);
    return d;
}

bool updating() {
    const char* v = std::getenv("SORVANEL_UPDATE_GOLDEN");
    return v != nullptr && v[0] != '\0' && v[0] != '0';
}

class GoldenFrames : public ::testing::TestWithParam<Instant> {
  protected:
    ScratchFolder folder{"sorvanel-golden"};
};

TEST_P(GoldenFrames, MatchesTheReference) {
    const Instant& instant = GetParam();
    const fs::path reference = fs::path(GOLDEN_DIR) / (std::string(instant.name) + ".png");
    const fs::path shot = updating() ? reference : folder / "shot.png";
    fs::create_directories(folder / "runtime");
    const ProcessResult r = runTalvenor(
        {"--shot", instant.seconds, shot.string(), "--size", "320x240"}, folder / "runtime");
    ASSERT_EQ(r.exitCode, 0) << r.output;
    if (updating()) GTEST_SKIP() << "wrote " << reference;

    const RgbPicture expected = readPicture(reference);
    const RgbPicture actual = readPicture(shot);
    ASSERT_EQ(expected.width, 320) << reference << " missing: run the update-golden target";
    ASSERT_EQ(actual.width, expected.width);
    ASSERT_EQ(actual.height, expected.height);
    const Difference d = compare(actual, expected);
    const bool close = d.mean[0] <= kMaxMeanDifference && d.mean[1] <= kMaxMeanDifference &&
                       d.mean[2] <= kMaxMeanDifference && d.farOffShare <= kMaxFarOffShare;
    if (!close) {
        // Kept for a look beside the build's tests.
        fs::create_directories(GOLDEN_ACTUAL_DIR);
        fs::copy_file(shot, fs::path(GOLDEN_ACTUAL_DIR) / (std::string(instant.name) + ".png"),
                      fs::copy_options::overwrite_existing);
    }
    EXPECT_TRUE(close) << instant.name << " at " << instant.seconds << " s (" << instant.shows
                       << "): mean difference " << d.mean[0] << ", " << d.mean[1] << ", "
                       << d.mean[2] << "; " << 100.0 * d.farOffShare
                       << "% of pixels far off; the shot is in " << GOLDEN_ACTUAL_DIR;
}

INSTANTIATE_TEST_SUITE_P(Script, GoldenFrames, ::testing::ValuesIn(kInstants),
                         [](const ::testing::TestParamInfo<Instant>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
