// Smooth edges: a supersampled shot is, within a level, the average in linear
// light of the plain shot at the larger size; a multisampled one differs from
// the plain shot only along edges; both are the same bytes run to run; and
// what the driver cannot do is said, never drawn plainly instead.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>

#include "capture_support.h"

namespace {

using namespace capture_test;

double linearOf(int code) {
    const double v = code / 255.0;
    return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
}

int codeOf(double linear) {
    const double v =
        linear <= 0.0031308 ? linear * 12.92 : 1.055 * std::pow(linear, 1 / 2.4) - 0.055;
    return static_cast<int>(std::lround(std::clamp(v, 0.0, 1.0) * 255.0));
}

// The picture reduced by factor, each block averaged in linear light.
RgbPicture linearAverage(const RgbPicture& big, int factor) {
    RgbPicture small;
    small.width = big.width / factor;
    small.height = big.height / factor;
    small.rgb.resize(static_cast<std::size_t>(small.width) * small.height * 3);
    for (int y = 0; y < small.height; ++y) {
        for (int x = 0; x < small.width; ++x) {
            for (int c = 0; c < 3; ++c) {
                double sum = 0.0;
                for (int dy = 0; dy < factor; ++dy) {
                    for (int dx = 0; dx < factor; ++dx) {
                        const std::size_t at =
                            (static_cast<std::size_t>(y * factor + dy) * big.width + x * factor +
                             dx) *
                            3;
                        sum += linearOf(big.rgb[at + c]);
                    }
                }
                small.rgb[(static_cast<std::size_t>(y) * small.width + x) * 3 + c] =
                    static_cast<std::uint8_t>(codeOf(sum / (factor * factor)));
            }
        }
    }
    return small;
}

int channel(const RgbPicture& p, int x, int y, int c) {
    return p.rgb[(static_cast<std::size_t>(y) * p.width + x) * 3 + c];
}

// Whether the plain picture has an edge at or next to (x, y): a neighbour
// that differs from it by more than an eighth of the range in a channel.
bool nearAnEdge(const RgbPicture& p, int x, int y) {
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            const int nx = x + dx;
            const int ny = y + dy;
            if (nx < 0 || ny < 0 || nx >= p.width || ny >= p.height) continue;
            for (int c = 0; c < 3; ++c) {
                if (std::abs(channel(p, x, y, c) - channel(p, nx, ny, c)) > 32) return true;
            }
        }
    }
    return false;
}

struct EdgeCount {
    long differing = 0;      // pixels with a channel more than 8 off
    long awayFromEdges = 0;  // of those, ones with no edge around them in the plain picture
};

EdgeCount differences(const RgbPicture& plain, const RgbPicture& smooth) {
    EdgeCount count;
    for (int y = 0; y < plain.height; ++y) {
        for (int x = 0; x < plain.width; ++x) {
            bool differs = false;
            for (int c = 0; c < 3; ++c) {
                differs =
                    differs || std::abs(channel(plain, x, y, c) - channel(smooth, x, y, c)) > 8;
            }
            if (!differs) continue;
            ++count.differing;
            if (!nearAnEdge(plain, x, y)) ++count.awayFromEdges;
        }
    }
    return count;
}

class SmoothEdges : public ::testing::Test {
  protected:
    ScratchFolder folder{"sorvanel-smooth"};
    fs::path runtime() const { return folder / "runtime"; }
    void SetUp() override { fs::create_directories(runtime()); }
    ProcessResult talvenor(const std::vector<std::string>& args, const ProcessOptions& o = {}) {
        return runTalvenor(args, runtime(), o);
    }
    // The shot of the names coming to rest (sharp letter edges) at size,
    // with the extra options.
    RgbPicture shot(const std::string& name, const std::string& size,
                    std::vector<std::string> extra = {}) {
        std::vector<std::string> args = {"--shot", "14.25", (folder / name).string(), "--size",
                                         size};
        args.insert(args.end(), extra.begin(), extra.end());
        const ProcessResult r = talvenor(args);
        EXPECT_EQ(r.exitCode, 0) << r.output;
        return readPicture(folder / name);
    }
};

TEST_F(SmoothEdges, ASupersampledShotIsTheLinearAverageOfTheLargerPlainShot) {
    const RgbPicture plain = shot("plain.png", "320x240");
    const RgbPicture large = shot("large.png", "640x480");
    const RgbPicture smooth = shot("smooth.png", "320x240", {"--supersample", "2"});
    ASSERT_EQ(smooth.width, 320);
    ASSERT_EQ(large.width, 640);
    const RgbPicture expected = linearAverage(large, 2);
    int worst = 0;
    for (std::size_t i = 0; i < expected.rgb.size(); ++i) {
        worst = std::max(worst, std::abs(int(expected.rgb[i]) - int(smooth.rgb[i])));
    }
    EXPECT_LE(worst, 1);
    // It differs from the plain shot, and where it does, an edge is near.
    const EdgeCount count = differences(plain, smooth);
    EXPECT_GT(count.differing, 100);
    EXPECT_LT(count.awayFromEdges, count.differing / 20) << count.differing;
}

TEST_F(SmoothEdges, AMultisampledShotDiffersFromThePlainOneOnlyAlongEdges) {
    const RgbPicture plain = shot("plain.png", "320x240");
    const RgbPicture smooth = shot("msaa.png", "320x240", {"--msaa", "4"});
    const EdgeCount count = differences(plain, smooth);
    EXPECT_GT(count.differing, 100);
    EXPECT_LT(count.awayFromEdges, count.differing / 20) << count.differing;
}

TEST_F(SmoothEdges, RunsGiveTheSameBytesAndSplitCapturesJoin) {
    shot("a.png", "320x240", {"--msaa", "4", "--supersample", "2"});
    shot("b.png", "320x240", {"--msaa", "4", "--supersample", "2"});
    EXPECT_TRUE(fileBytes(folder / "a.png") == fileBytes(folder / "b.png"));

    auto capture = [&](const std::string& name, const char* from, const char* to) {
        const ProcessResult r =
            talvenor({"--capture", (folder / name).string(), "--from", from, "--to", to, "--size",
                      "160x120", "--fps", "20", "--supersample", "3", "--msaa", "2"});
        EXPECT_EQ(r.exitCode, 0) << r.output;
        return fileBytes(folder / name);
    };
    const std::string whole = capture("whole.rgba", "14", "14.3");
    const std::string first = capture("first.rgba", "14", "14.15");
    const std::string second = capture("second.rgba", "14.15", "14.3");
    EXPECT_EQ(whole.size(), 6u * 160 * 120 * 4);
    EXPECT_TRUE(whole == first + second);
}

TEST_F(SmoothEdges, WhatTheDriverCannotDoIsSaid) {
    const fs::path out = folder / "never.png";
    ProcessResult r = talvenor({"--shot", "1", out.string(), "--msaa", "3"});
    EXPECT_EQ(r.exitCode, 2) << r.output;
    EXPECT_NE(r.output.find("--msaa takes 2, 4 or 8"), std::string::npos) << r.output;
    r = talvenor({"--shot", "1", out.string(), "--supersample", "5"});
    EXPECT_EQ(r.exitCode, 2) << r.output;
    EXPECT_NE(r.output.find("--supersample takes a whole number from 2 to 4"), std::string::npos)
        << r.output;
    r = talvenor({"--no-dialog", "--supersample", "2"});
    EXPECT_EQ(r.exitCode, 2) << r.output;

    r = talvenor({"--shot", "1", out.string(), "--size", "8192x8192", "--supersample", "4"});
    EXPECT_EQ(r.exitCode, 1) << r.output;
    EXPECT_NE(r.output.find("--supersample 4 at 8192x8192 draws 32768x32768 pixels: the driver "
                            "draws pictures of at most"),
              std::string::npos)
        << r.output;

    // Mesa's softpipe offers no multisampling at all.
    ProcessOptions softpipe;
    softpipe.environment = {{"GALLIUM_DRIVER", "softpipe"}};
    r = talvenor({"--shot", "1", out.string(), "--size", "160x120", "--msaa", "4"}, softpipe);
    EXPECT_EQ(r.exitCode, 1) << r.output;
    EXPECT_NE(r.output.find("--msaa 4: the driver offers no multisampling (GL_MAX_SAMPLES is"),
              std::string::npos)
        << r.output;
    EXPECT_FALSE(fs::exists(out));

    // More samples than the driver has: the most it has, said once.
    r = talvenor({"--shot", "1", out.string(), "--size", "160x120", "--msaa", "8"});
    EXPECT_EQ(r.exitCode, 0) << r.output;
    const std::size_t note = r.output.find("--msaa 8: this driver allows");
    if (note != std::string::npos) {
        EXPECT_EQ(r.output.find("--msaa 8: this driver allows", note + 1), std::string::npos);
    }
}

}  // namespace
