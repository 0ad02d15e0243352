// The launcher's command line: options of its own, then the module name.
#include "command_line.h"

#include <gtest/gtest.h>

#include "resolutions.h"

namespace {

ParsedCommandLine parse(std::vector<std::string> args) {
    return parseCommandLine(args);
}

TEST(CommandLine, DefaultsWithoutAnyText) {
    const ParsedCommandLine p = parse({});
    EXPECT_TRUE(p.error.empty());
    EXPECT_EQ(p.options.moduleName, "sorvanel.dmd");  // the default stays lower case
    EXPECT_EQ(p.options.width, 640);
    EXPECT_EQ(p.options.height, 480);
    EXPECT_FALSE(p.options.fullScreen);
    EXPECT_TRUE(p.options.soundEnabled);
    EXPECT_FALSE(p.options.noDialog);
}

TEST(CommandLine, ModuleNameIsTheRestUpperCasedWithQuotesAndSpacesKept) {
    EXPECT_EQ(parse({"my", "demo.dmd"}).options.moduleName, "MY DEMO.DMD");
    EXPECT_EQ(parse({"\"Mixed", "Case.dmd\""}).options.moduleName, "\"MIXED CASE.DMD\"");
    EXPECT_EQ(parse({"sorvanel.dmd"}).options.moduleName, "SORVANEL.DMD");
    // Bytes outside ASCII letters are kept as they are.
    EXPECT_EQ(moduleNameFromText("d\xC3\xA9mo-1.dmd"), "D\xC3\xA9MO-1.DMD");
}

TEST(CommandLine, LeadingOptionsAreNotPartOfTheName) {
    const ParsedCommandLine p =
        parse({"--window", "800x600", "--fullscreen", "--nosound", "--no-dialog", "x.dmd"});
    ASSERT_TRUE(p.error.empty()) << p.error;
    EXPECT_EQ(p.options.width, 800);
    EXPECT_EQ(p.options.height, 600);
    EXPECT_TRUE(p.options.fullScreen);
    EXPECT_FALSE(p.options.soundEnabled);
    EXPECT_TRUE(p.options.noDialog);
    EXPECT_EQ(p.options.moduleName, "X.DMD");
}

TEST(CommandLine, OptionsAfterTheNameBelongToTheName) {
    EXPECT_EQ(parse({"a.dmd", "--nosound"}).options.moduleName, "A.DMD --NOSOUND");
    EXPECT_TRUE(parse({"a.dmd", "--nosound"}).options.soundEnabled);
    // "--" ends the options, so a name may start with dashes.
    EXPECT_EQ(parse({"--", "--odd.dmd"}).options.moduleName, "--ODD.DMD");
}

TEST(CommandLine, WindowTakesAnySizeInRangeAndTheDesktopForFullScreen) {
    const ParsedCommandLine wide = parse({"--window", "1280x720", "--widescreen"});
    ASSERT_TRUE(wide.error.empty()) << wide.error;
    EXPECT_EQ(wide.options.width, 1280);
    EXPECT_EQ(wide.options.height, 720);
    EXPECT_TRUE(wide.options.widescreen);
    EXPECT_FALSE(parse({}).options.widescreen);
    EXPECT_TRUE(parse({"--window", "320x240"}).error.empty());
    EXPECT_TRUE(parse({"--window", "8192x8192"}).error.empty());
    EXPECT_TRUE(parse({"--window", "641x480"}).error.empty());
    for (const char* bad : {"319x240", "320x239", "8193x600", "800x8193", "0x0", "-640x480"}) {
        EXPECT_FALSE(parse({"--window", bad}).error.empty()) << bad;
    }

    const ParsedCommandLine desktop = parse({"--fullscreen", "--window", "desktop"});
    ASSERT_TRUE(desktop.error.empty()) << desktop.error;
    EXPECT_EQ(desktop.options.width, kDesktopWindowSize);
    EXPECT_EQ(desktop.options.height, kDesktopWindowSize);
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
