// The web page's address read as talvenor's options: every parameter taken
// with the launcher's ranges and words, every other refused by its name, and
// the texts the page shows for starts and shots past the end.
#include "options/page_address.h"

#include <gtest/gtest.h>

#include "web/show/page_texts.h"

namespace {

TEST(PageAddress, PresetsTheLiveShowAsTheOptionsDo) {
    const PageAddress a = readPageAddress(
        "?start=14.3&window=800x600&fullscreen&nosound&controls&loop&widescreen&audio-offset=-35");
    ASSERT_EQ(a.error, "");
    EXPECT_EQ(a.options.mode, RunMode::Show);
    EXPECT_EQ(a.options.show.startMs, 14300);
    EXPECT_EQ(a.options.show.width, 800);
    EXPECT_EQ(a.options.show.height, 600);
    // The show request the page starts from, as the command line makes it.
    const ShowRequest& r = a.options.show;
    EXPECT_EQ(r.moduleName, "sorvanel.dmd");
    EXPECT_TRUE(r.fullScreen && !r.soundEnabled && r.viewing.controls && r.viewing.loop);
    EXPECT_EQ(r.shape, PictureShape::Widescreen);
    EXPECT_EQ(r.audioOffsetMs, -35);
    EXPECT_FALSE(a.noDialog);
    EXPECT_TRUE(readPageAddress("nodialog&nosound").noDialog);
    // A form's bare name, as URLSearchParams writes it.
    EXPECT_TRUE(readPageAddress("nodialog=&nosound=").noDialog);
    const PageAddress plain = readPageAddress("");
    EXPECT_EQ(plain.error, "");
    EXPECT_EQ(plain.options.show.width, 640);
    EXPECT_TRUE(plain.options.show.soundEnabled);
}

TEST(PageAddress, ReadsAShotAsTalvenorsShot) {
    const PageAddress a = readPageAddress("shot=30&size=320x240&fps=30&widescreen");
    ASSERT_EQ(a.error, "");
    EXPECT_EQ(a.options.mode, RunMode::Shot);
    EXPECT_EQ(a.options.capture.shotMs, 30000);
    EXPECT_EQ(a.options.capture.width, 320);
    EXPECT_EQ(a.options.capture.height, 240);
    EXPECT_EQ(a.options.capture.framesPerSecond, 30);
    EXPECT_EQ(a.options.show.shape, PictureShape::Widescreen);
    const PageAddress b = readPageAddress("shot=1");
    EXPECT_EQ(b.options.capture.width, 1280);  // talvenor's default size
}

// Each malformed or out-of-range parameter is named as typed, with the
// launcher's words for what it takes.
TEST(PageAddress, RefusesWhatTheLauncherRefusesNamingTheParameter) {
    const struct {
        const char* query;
        const char* error;
    } kCases[] = {
        {"start=1e309",
         "start=1e309: --start takes seconds of song time from 0 to 2000000, such "
         "as 14.3"},
        {"start=-5",
         "start=-5: --start takes seconds of song time from 0 to 2000000, such as "
         "14.3"},
        {"start=", "start=: --start takes seconds of song time from 0 to 2000000, such as 14.3"},
        {"shot=30&size=100000x100000",
         "size=100000x100000: --size takes WxH, each from 16 to 8192, such as 1280x720"},
        {"window=100x100",
         "window=100x100: --window takes WxH from 320x240 to 8192x8192 (such as "
         "640x480), or desktop"},
        {"shot=30&fps=0", "fps=0: --fps takes a whole number from 1 to 240"},
        {"audio-offset=3000",
         "audio-offset=3000: --audio-offset takes whole milliseconds from "
         "-2000 to 2000, such as 150"},
        {"nosound=1", "nosound=1: --nosound takes no value"},
        {"shot=30&nodialog", "nodialog: --no-dialog is for the live show, not --shot"},
        {"size=320x240", "size=320x240: --size needs --capture or --shot"},
        {"window=desktop", "window=desktop: --window desktop needs --fullscreen"},
    };
    for (const auto& c : kCases) {
        EXPECT_EQ(readPageAddress(c.query).error, c.error) << c.query;
    }
}

TEST(PageAddress, RefusesUnknownNamesAndBrokenEscapes) {
    EXPECT_EQ(
        readPageAddress("strat=100").error,
        std::string("strat=100: the page takes no such setting; it takes ") + pageAddressNames());
    EXPECT_NE(readPageAddress("capture=a.mp4").error, "");  // talvenor's, not the page's
    EXPECT_NE(readPageAddress("start=1%").error, "");
    EXPECT_NE(readPageAddress("start=1%0a2").error, "");  // a control character
    // Link decorations of sharing services are no settings.
    EXPECT_EQ(readPageAddress("start=5&utm_source=x&fbclid=y").error, "");
    // Decoded before reading: %2E is '.'.
    EXPECT_EQ(readPageAddress("start=14%2E5").options.show.startMs, 14500);
}

TEST(PageTexts, SayAStartOrAShotPastTheEndAsTalvenorDoes) {
    EXPECT_EQ(startPastTheEndText(1600000, 1560000),
              "--start 1600.000 s: the show is over at 1560.000 s");
    EXPECT_EQ(startPastTheEndText(1560000, 1560000),
              "--start 1560.000 s: the show is over at 1560.000 s");
    EXPECT_EQ(startPastTheEndText(1559999, 1560000), "");
    EXPECT_EQ(startPastTheEndText(1600000, -1), "");
    EXPECT_EQ(
        shotPastTheEndText(120000, 60, "the show is over at 1560.000 s: there is no frame to take"),
        "error: --shot 2000.000 s: the show is over at 1560.000 s: there is no frame to "
        "take");
    // The address's JSON carries the refusal of a start past the end.
    const std::string json = pageAddressJson(readPageAddress("start=1600"), 1560000);
    EXPECT_NE(json.find("\"error\":\"--start 1600.000 s: the show is over at 1560.000 s\""),
              std::string::npos)
        << json;
    EXPECT_EQ(jsonString("a \"b\" \\ \n"), "\"a \\\"b\\\" \\\\ \\u000a\"");
}

}  // namespace
