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

namespace {

using namespace capture_test;

struct Instant {
    const char* name;
    const char* seconds;
    const char* shows;
};

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

bool updating() {
    const char* v = std::getenv("SORVANEL_UPDATE_GOLDEN");
    return v != nullptr && v[0] != '\0' && v[0] != '0';
}

// The 4:3 instants above at 320 x 240, and a few of them at the capture
// default of 1280 x 720: pillarboxed, and opened out with --widescreen.
struct GoldenCase {
    Instant instant;
    const char* size;
    bool widescreen;
};

std::string referenceName(const GoldenCase& c) {
    std::string name = c.instant.name;
    if (std::string(c.size) != "320x240") {
        name += std::string("_") + c.size + (c.widescreen ? "_widescreen" : "_pillarbox");
    }
    return name;
}

void PrintTo(const GoldenCase& c, std::ostream* out) {
    *out << referenceName(c);
}

std::vector<GoldenCase> goldenCases() {
    std::vector<GoldenCase> cases;
    for (const Instant& instant : kInstants) cases.push_back({instant, "320x240", false});
    for (const char* name : {"credits_at_rest", "swarm", "fade_to_black"}) {
        for (const Instant& instant : kInstants) {
            if (std::string(instant.name) != name) continue;
            cases.push_back({instant, "1280x720", false});
            cases.push_back({instant, "1280x720", true});
        }
    }
    return cases;
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
