// The command line of the headless modes and of --start: times to
// milliseconds, defaults, and the combinations that are refused.
#include <gtest/gtest.h>

#include "capture/capture_files.h"
#include "options/command_line.h"

namespace {

ParsedCommandLine parse(std::vector<std::string> args) {
    return parseCommandLine(args);
}

TEST(CaptureOptions, SecondsBecomeWholeMillisecondsRoundedToNearest) {
    int ms = -1;
    EXPECT_TRUE(parseSongSeconds("14.3", ms));
    EXPECT_EQ(ms, 14300);
    EXPECT_TRUE(parseSongSeconds("0", ms));
    EXPECT_EQ(ms, 0);
    EXPECT_TRUE(parseSongSeconds("1.0005", ms));
    EXPECT_EQ(ms, 1001);
    EXPECT_TRUE(parseSongSeconds("1560", ms));
    EXPECT_EQ(ms, 1560000);
    for (const char* bad : {"", "-1", "1e3", "12s", "nan", "inf", "1..2", "2000001", " 5"}) {
        EXPECT_FALSE(parseSongSeconds(bad, ms)) << bad;
    }
}

TEST(CaptureOptions, CaptureDefaultsAreTheWholeShowAt60FpsIn720p) {
    const ParsedCommandLine p = parse({"--capture", "show.mp4"});
    ASSERT_TRUE(p.error.empty()) << p.error;
    EXPECT_EQ(p.options.mode, RunMode::Capture);
    EXPECT_EQ(p.options.capture.outputPath, "show.mp4");
    EXPECT_EQ(p.options.capture.framesPerSecond, 60);
    EXPECT_EQ(p.options.capture.width, 1280);
    EXPECT_EQ(p.options.capture.height, 720);
    EXPECT_EQ(p.options.capture.fromMs, 0);
    EXPECT_EQ(p.options.capture.toMs, kUntilShowEnd);
    EXPECT_EQ(p.options.show.moduleName, "sorvanel.dmd");
}

TEST(CaptureOptions, CaptureAndShotTakeTheirOptionsAndAModuleName) {
    ParsedCommandLine p = parse({"--capture", "a.mkv", "--fps", "24", "--size", "640x480", "--from",
                                 "10", "--to", "20.5", "other.dmd"});
    ASSERT_TRUE(p.error.empty()) << p.error;
    EXPECT_EQ(p.options.capture.framesPerSecond, 24);
    EXPECT_EQ(p.options.capture.width, 640);
    EXPECT_EQ(p.options.capture.height, 480);
    EXPECT_EQ(p.options.capture.fromMs, 10000);
    EXPECT_EQ(p.options.capture.toMs, 20500);
    EXPECT_EQ(p.options.show.moduleName, "OTHER.DMD");

    p = parse({"--shot", "14.3", "t.png", "--size", "321x241"});
    ASSERT_TRUE(p.error.empty()) << p.error;
    EXPECT_EQ(p.options.mode, RunMode::Shot);
    EXPECT_EQ(p.options.capture.shotMs, 14300);
    EXPECT_EQ(p.options.capture.outputPath, "t.png");
    EXPECT_EQ(p.options.capture.width, 321);  // a picture may be odd-sized

    EXPECT_TRUE(parse({"--capture", "raw.rgba", "--size", "161x121"}).error.empty());
}

TEST(CaptureOptions, StartGoesWithTheLiveShowsOptions) {
    const ParsedCommandLine p = parse({"--window", "800x600", "--nosound", "--start", "118"});
    ASSERT_TRUE(p.error.empty()) << p.error;
    EXPECT_EQ(p.options.mode, RunMode::Show);
    EXPECT_EQ(p.options.show.startMs, 118000);
    EXPECT_FALSE(p.options.show.soundEnabled);
    EXPECT_EQ(parse({}).options.show.startMs, 0);
}

TEST(CaptureOptions, MixedOrIncompleteCommandLinesAreRefusedWithTheOptionNamed) {
    const struct {
        std::vector<std::string> args;
        const char* named;
    } cases[] = {
        {{"--capture", "a.mp4", "--shot", "1", "b.png"}, "cannot be combined"},
        {{"--capture", "a.mp4", "--start", "5"}, "--start"},
        {{"--shot", "1", "b.png", "--window", "desktop"}, "--window"},
        {{"--shot", "1", "b.png", "--window", "640x480", "--size", "320x240"}, "--window"},
        {{"--capture", "a.mp4", "--nosound"}, "--nosound"},
        {{"--shot", "1", "b.png", "--from", "3"}, "--from"},
        {{"--fps", "30"}, "--fps"},
        {{"--to", "30"}, "--to"},
        {{"--capture", "a.mp4", "--from", "20", "--to", "10"}, "--to"},
        {{"--capture", "a.mp4", "--from", "20", "--to", "20"}, "--to"},
        {{"--capture", "a.avi"}, ".mp4"},
        {{"--capture", "a.mp4", "--size", "641x480"}, "even"},
        {{"--shot", "1", "b.jpg"}, ".png"},
        {{"--shot", "1"}, "--shot"},
        {{"--capture"}, "--capture"},
        {{"--capture", "a.mp4", "--fps", "0"}, "--fps"},
        {{"--capture", "a.mp4", "--fps", "241"}, "--fps"},
        {{"--capture", "a.mp4", "--fps", "30.5"}, "--fps"},
        {{"--capture", "a.mp4", "--size", "8x8"}, "--size"},
        {{"--capture", "a.mp4", "--size", "1280x720x"}, "--size"},
        {{"--start", "-3"}, "--start"},
    };
    for (const auto& c : cases) {
        const std::string error = parse(c.args).error;
        EXPECT_NE(error.find(c.named), std::string::npos)
            << "args starting " << c.args.front() << ": \"" << error << "\"";
    }
}

TEST(CaptureOptions, ASongOnlyCaptureTakesAnySizeAndWritesOneFile) {
    const ParsedCommandLine p = parse({"--capture", "dir/song.s16", "--size", "641x481"});
    EXPECT_EQ(p.error, "");
    EXPECT_TRUE(isSongCapture("dir/song.s16"));
    EXPECT_FALSE(isSongCapture("dir/show.rgba"));
    const CaptureFiles files = captureFilesFor("dir/song.s16");
    EXPECT_EQ(files.finalPath, "dir/song.s16");
    EXPECT_EQ(files.songPath, "dir/song.s16");
}

}  // namespace
