// The launcher's command line: options of its own, then the module name.
#include "options/command_line.h"

#include <gtest/gtest.h>

#include "options/resolutions.h"

namespace {

ParsedCommandLine parse(std::vector<std::string> args) {
    return parseCommandLine(args);
}

TEST(CommandLine, DefaultsWithoutAnyText) {
    const ParsedCommandLine p = parse({});
    EXPECT_TRUE(p.error.empty());
    EXPECT_EQ(p.options.show.moduleName, "sorvanel.dmd");  // the default stays lower case
    EXPECT_EQ(p.options.show.width, 640);
    EXPECT_EQ(p.options.show.height, 480);
    EXPECT_FALSE(p.options.show.fullScreen);
    EXPECT_TRUE(p.options.show.soundEnabled);
    EXPECT_FALSE(p.options.noDialog);
}

TEST(CommandLine, TheLiveShowsOptionsMakeItsShowRequest) {
    const ShowRequest plain = parse({}).options.show;
    EXPECT_EQ(plain.moduleName, "sorvanel.dmd");
    EXPECT_EQ(plain.width, 640);
    EXPECT_EQ(plain.height, 480);
    EXPECT_FALSE(plain.fullScreen);
    EXPECT_TRUE(plain.soundEnabled);
    EXPECT_EQ(plain.startMs, 0);
    EXPECT_EQ(plain.shape, PictureShape::Composed);
    EXPECT_FALSE(plain.viewing.controls || plain.viewing.loop || plain.viewing.vsync);
    EXPECT_EQ(plain.msaa, 0);
    EXPECT_EQ(plain.audioOffsetMs, 0);
    EXPECT_FALSE(plain.onShown);

    const ParsedCommandLine p = parse(
        {"--window", "desktop", "--fullscreen", "--nosound", "--start", "14.3", "--widescreen",
         "--controls", "--loop", "--vsync", "--msaa", "4", "--audio-offset", "-150", "x.dmd"});
    ASSERT_TRUE(p.error.empty()) << p.error;
    const ShowRequest& r = p.options.show;
    EXPECT_EQ(r.moduleName, "X.DMD");
    EXPECT_EQ(r.width, kDesktopSize);
    EXPECT_EQ(r.height, kDesktopSize);
    EXPECT_TRUE(r.fullScreen);
    EXPECT_FALSE(r.soundEnabled);
    EXPECT_EQ(r.startMs, 14300);
    EXPECT_EQ(r.shape, PictureShape::Widescreen);
    EXPECT_TRUE(r.viewing.controls && r.viewing.loop && r.viewing.vsync);
    EXPECT_EQ(r.msaa, 4);
    EXPECT_EQ(r.audioOffsetMs, -150);
}

TEST(CommandLine, ModuleNameIsTheRestUpperCasedWithQuotesAndSpacesKept) {
    EXPECT_EQ(parse({"my", "demo.dmd"}).options.show.moduleName, "MY DEMO.DMD");
    EXPECT_EQ(parse({"\"Mixed", "Case.dmd\""}).options.show.moduleName, "\"MIXED CASE.DMD\"");
    EXPECT_EQ(parse({"sorvanel.dmd"}).options.show.moduleName, "SORVANEL.DMD");
    // Bytes outside ASCII letters are kept as they are.
    EXPECT_EQ(moduleNameFromText("d\xC3\xA9mo-1.dmd"), "D\xC3\xA9MO-1.DMD");
}

TEST(CommandLine, LeadingOptionsAreNotPartOfTheName) {
    const ParsedCommandLine p =
        parse({"--window", "800x600", "--fullscreen", "--nosound", "--no-dialog", "x.dmd"});
    ASSERT_TRUE(p.error.empty()) << p.error;
    EXPECT_EQ(p.options.show.width, 800);
    EXPECT_EQ(p.options.show.height, 600);
    EXPECT_TRUE(p.options.show.fullScreen);
    EXPECT_FALSE(p.options.show.soundEnabled);
    EXPECT_TRUE(p.options.noDialog);
    EXPECT_EQ(p.options.show.moduleName, "X.DMD");
}

TEST(CommandLine, OptionsAfterTheNameBelongToTheName) {
    EXPECT_EQ(parse({"a.dmd", "--nosound"}).options.show.moduleName, "A.DMD --NOSOUND");
    EXPECT_TRUE(parse({"a.dmd", "--nosound"}).options.show.soundEnabled);
    // "--" ends the options, so a name may start with dashes.
    EXPECT_EQ(parse({"--", "--odd.dmd"}).options.show.moduleName, "--ODD.DMD");
}

TEST(CommandLine, WindowTakesAnySizeInRangeAndTheDesktopForFullScreen) {
    const ParsedCommandLine wide = parse({"--window", "1280x720", "--widescreen"});
    ASSERT_TRUE(wide.error.empty()) << wide.error;
    EXPECT_EQ(wide.options.show.width, 1280);
    EXPECT_EQ(wide.options.show.height, 720);
    EXPECT_EQ(wide.options.show.shape, PictureShape::Widescreen);
    EXPECT_EQ(parse({}).options.show.shape, PictureShape::Composed);
    EXPECT_TRUE(parse({"--window", "320x240"}).error.empty());
    EXPECT_TRUE(parse({"--window", "8192x8192"}).error.empty());
    EXPECT_TRUE(parse({"--window", "641x480"}).error.empty());
    for (const char* bad : {"319x240", "320x239", "8193x600", "800x8193", "0x0", "-640x480"}) {
        EXPECT_FALSE(parse({"--window", bad}).error.empty()) << bad;
    }

    const ParsedCommandLine desktop = parse({"--fullscreen", "--window", "desktop"});
    ASSERT_TRUE(desktop.error.empty()) << desktop.error;
    EXPECT_EQ(desktop.options.show.width, kDesktopSize);
    EXPECT_EQ(desktop.options.show.height, kDesktopSize);
    EXPECT_EQ(parse({"--window", "desktop"}).error, "--window desktop needs --fullscreen");
    // Captures and shots take --widescreen, not --window.
    EXPECT_TRUE(parse({"--widescreen", "--shot", "1", "a.png"}).error.empty());
    EXPECT_TRUE(parse({"--capture", "a.mp4", "--widescreen"}).error.empty());
}

TEST(CommandLine, RejectsBadOptions) {
    EXPECT_FALSE(parse({"--window", "640x480x"}).error.empty());
    EXPECT_FALSE(parse({"--window"}).error.empty());
    EXPECT_FALSE(parse({"--loud"}).error.empty());
    EXPECT_TRUE(parse({"--help"}).options.showHelp);
}

TEST(Resolutions, ListIndexMapsToSizeAndOutsideIndicesGive640x480) {
    EXPECT_EQ(resolutionForIndex(0).width, 320);
    EXPECT_EQ(resolutionForIndex(5).height, 768);
    EXPECT_STREQ(resolutionForIndex(3).text, "640 x 480");
    for (int index : {-1, 6, 1000}) {
        EXPECT_EQ(resolutionForIndex(index).width, 640) << index;
        EXPECT_EQ(resolutionForIndex(index).height, 480) << index;
    }
    EXPECT_EQ(resolutionIndexOf(1024, 768), 5);
    EXPECT_EQ(resolutionIndexOf(1280, 720), -1);
}

}  // namespace

namespace {

TEST(CommandLine, GnuFormsTakeTheirValueAfterAnEqualsSign) {
    const ParsedCommandLine p = parse({"--window=800x600", "--start=14.3", "--no-dialog", "x.dmd"});
    ASSERT_TRUE(p.error.empty()) << p.error;
    EXPECT_EQ(p.options.show.width, 800);
    EXPECT_EQ(p.options.show.height, 600);
    EXPECT_EQ(p.options.show.startMs, 14300);
    EXPECT_EQ(p.options.show.moduleName, "X.DMD");
    const ParsedCommandLine shot = parse({"--shot=14.5", "x.png", "--size=320x240"});
    ASSERT_TRUE(shot.error.empty()) << shot.error;
    EXPECT_EQ(shot.options.capture.shotMs, 14500);
    EXPECT_EQ(shot.options.capture.outputPath, "x.png");
    EXPECT_EQ(shot.options.capture.width, 320);
    EXPECT_EQ(parse({"--fullscreen=yes"}).error, "--fullscreen takes no value");
    EXPECT_EQ(parse({"--start"}).error, "--start needs a value");
    EXPECT_EQ(parse({"--loud"}).error, "unknown or ambiguous option --loud");
    EXPECT_EQ(parse({"-x"}).error, "unknown or ambiguous option -x");
}

TEST(CommandLine, AWindowSizeIsTheSizeOfAShotOrCapture) {
    const ParsedCommandLine shot = parse({"--window=640x480", "--shot", "14.5", "x.png"});
    ASSERT_TRUE(shot.error.empty()) << shot.error;
    EXPECT_EQ(shot.options.capture.width, 640);
    EXPECT_EQ(shot.options.capture.height, 480);
    const ParsedCommandLine capture = parse({"--capture", "a.rgba", "--window", "400x300"});
    ASSERT_TRUE(capture.error.empty()) << capture.error;
    EXPECT_EQ(capture.options.capture.width, 400);
    EXPECT_EQ(parse({"--shot", "1", "a.png"}).options.capture.width, 1280);  // the default
}

TEST(CommandLine, NumbersOutOfRangeAreRefusedNamingTheOptionNeverWrapped) {
    const struct {
        std::vector<std::string> args;
        const char* named;
    } cases[] = {
        {{"--window", "4294967616x240"}, "--window"},
        {{"--window", "640x4294967536"}, "--window"},
        {{"--window", "99999999999999999999x480"}, "--window"},
        {{"--capture", "a.mp4", "--size", "4294967616x240"}, "--size"},
        {{"--capture", "a.mp4", "--size", "8194x240"}, "--size"},
        {{"--capture", "a.mp4", "--fps", "4294967356"}, "--fps"},
        {{"--capture", "a.mp4", "--fps", "+60"}, "--fps"},
        {{"--start", "2000000.1"}, "--start"},
        {{"--start", "1e9"}, "--start"},
        {{"--capture", "a.mp4", "--to", "99999999999999999999"}, "--to"},
    };
    for (const auto& c : cases) {
        const std::string error = parse(c.args).error;
        EXPECT_NE(error.find(c.named), std::string::npos)
            << c.args.back() << ": \"" << error << "\"";
    }
    long value = 0;
    EXPECT_TRUE(parseWholeNumber("240", 1, 240, value));
    EXPECT_EQ(value, 240);
    EXPECT_FALSE(parseWholeNumber("241", 1, 240, value));
    EXPECT_FALSE(parseWholeNumber("0", 1, 240, value));
    // A single digit past a small maximum (2 to 4) is refused too.
    EXPECT_TRUE(parseWholeNumber("4", 2, 4, value));
    EXPECT_FALSE(parseWholeNumber("5", 2, 4, value));
    EXPECT_FALSE(parseWholeNumber("9", 2, 4, value));
    EXPECT_TRUE(parseSignedNumber("-500", -1000, 1000, value));
    EXPECT_EQ(value, -500);
    EXPECT_FALSE(parseSignedNumber("-1001", -1000, 1000, value));
    EXPECT_FALSE(parseSignedNumber("--1", -1000, 1000, value));
    EXPECT_FALSE(parseSignedNumber("-", -1000, 1000, value));
}

TEST(CommandLine, UsageListsEveryOptionOfTheTableOnce) {
    const std::string usage = usageText();
    for (const char* name :
         {"--window", "--fullscreen", "--widescreen", "--nosound", "--no-dialog", "--start",
          "--controls", "--loop", "--vsync", "--list", "--capture", "--shot", "--fps", "--size",
          "--from", "--to", "--help", "--version"}) {
        const std::string line = std::string("\n  ") + name + " ";
        const std::size_t at = usage.find(line);
        EXPECT_NE(at, std::string::npos) << name;
        EXPECT_EQ(usage.find(line, at + 1), std::string::npos) << name;
    }
    // Every help line fits a terminal of 80 columns.
    std::size_t start = 0;
    while (start < usage.size()) {
        const std::size_t end = usage.find('\n', start);
        EXPECT_LE(end - start, 80u) << usage.substr(start, end - start);
        start = end + 1;
    }
}

}  // namespace
