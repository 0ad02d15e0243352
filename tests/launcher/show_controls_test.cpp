// The viewing options' plain logic: their command line, where each control
// key takes the show, the event number and the title.
#include <gtest/gtest.h>

#include "live/control_keys.h"
#include "live/controls_title.h"
#include "live/show_keys.h"
#include "options/command_line.h"

namespace {

using Key = ShowKey;

// Starts of four events and the show's end at 100 s.
const std::vector<int> kStarts = {0, 1000, 14300, 17000};
constexpr int kEndMs = 100000;

TEST(ViewingOptions, ParsedForTheLiveShowOnly) {
    const ParsedCommandLine p = parseCommandLine({"--controls", "--loop", "--vsync"});
    ASSERT_TRUE(p.error.empty()) << p.error;
    EXPECT_TRUE(p.options.show.viewing.controls);
    EXPECT_TRUE(p.options.show.viewing.loop);
    EXPECT_TRUE(p.options.show.viewing.vsync);
    const ParsedCommandLine plain = parseCommandLine({});
    EXPECT_FALSE(plain.options.show.viewing.controls || plain.options.show.viewing.loop ||
                 plain.options.show.viewing.vsync);
    EXPECT_NE(parseCommandLine({"--shot", "1", "a.png", "--controls"}).error, "");
    EXPECT_NE(parseCommandLine({"--capture", "a.mp4", "--loop"}).error, "");
    EXPECT_EQ(parseCommandLine({"--list"}).options.mode, RunMode::List);
    EXPECT_EQ(parseCommandLine({"--list", "--nosound"}).error, "--nosound does not go with --list");
    EXPECT_NE(parseCommandLine({"--list", "--shot", "1", "a.png"}).error, "");
}

TEST(ShowKeys, KeysNamedAsBrowsersNameThemAreTheShowsKeys) {
    EXPECT_EQ(showKeyForCode("Escape"), Key::Escape);
    EXPECT_EQ(showKeyForCode("Space"), Key::Space);
    EXPECT_EQ(showKeyForCode("ArrowLeft"), Key::Left);
    EXPECT_EQ(showKeyForCode("ArrowRight"), Key::Right);
    EXPECT_EQ(showKeyForCode("PageUp"), Key::PageUp);
    EXPECT_EQ(showKeyForCode("PageDown"), Key::PageDown);
    EXPECT_EQ(showKeyForCode("Home"), Key::Home);
    EXPECT_EQ(showKeyForCode("KeyN"), Key::N);
    EXPECT_EQ(showKeyForCode("KeyP"), Key::P);
    EXPECT_EQ(showKeyForCode("BracketLeft"), Key::SoundEarlier);
    EXPECT_EQ(showKeyForCode("BracketRight"), Key::SoundLater);
    for (const char* other : {"", "KeyA", "ArrowUp", "Enter", "space", "N"}) {
        EXPECT_EQ(showKeyForCode(other), Key::Other) << other;
    }
    EXPECT_STREQ(showKeyName(Key::Escape), "escape");
    EXPECT_STREQ(showKeyName(Key::SoundLater), "bracket-right");
    EXPECT_STREQ(showKeyName(Key::Other), "other");
}

TEST(ShowControls, StepsSeekByFiveAndSixtySecondsWithinTheShow) {
    EXPECT_EQ(controlTargetMs(Key::Right, 12345, kStarts, kEndMs), 17345);
    EXPECT_EQ(controlTargetMs(Key::Left, 12345, kStarts, kEndMs), 7345);
    EXPECT_EQ(controlTargetMs(Key::PageDown, 12345, kStarts, kEndMs), 72345);
    EXPECT_EQ(controlTargetMs(Key::PageUp, 72345, kStarts, kEndMs), 12345);
    EXPECT_EQ(controlTargetMs(Key::Home, 72345, kStarts, kEndMs), 0);
    // Never before 0, never at or past the end.
    EXPECT_EQ(controlTargetMs(Key::Left, 3000, kStarts, kEndMs), 0);
    EXPECT_EQ(controlTargetMs(Key::PageDown, 70000, kStarts, kEndMs), kEndMs - 1);
    EXPECT_EQ(controlTargetMs(Key::PageDown, 70000, kStarts, -1), 130000);
    EXPECT_EQ(controlTargetMs(Key::Space, 70000, kStarts, kEndMs), -1);
    EXPECT_EQ(controlTargetMs(Key::Other, 70000, kStarts, kEndMs), -1);
}

TEST(ShowControls, NextAndPreviousGoToEventStarts) {
    EXPECT_EQ(controlTargetMs(Key::N, 0, kStarts, kEndMs), 1000);
    EXPECT_EQ(controlTargetMs(Key::N, 999, kStarts, kEndMs), 1000);
    EXPECT_EQ(controlTargetMs(Key::N, 1000, kStarts, kEndMs), 14300);
    EXPECT_EQ(controlTargetMs(Key::P, 14300, kStarts, kEndMs), 1000);
    EXPECT_EQ(controlTargetMs(Key::P, 16999, kStarts, kEndMs), 1000);
    EXPECT_EQ(controlTargetMs(Key::P, 500, kStarts, kEndMs), 0);
    // After the last event there is no next one; without events neither key works.
    EXPECT_EQ(controlTargetMs(Key::N, 20000, kStarts, kEndMs), -1);
    EXPECT_EQ(controlTargetMs(Key::N, 20000, {}, kEndMs), -1);
    EXPECT_EQ(controlTargetMs(Key::P, 20000, {}, kEndMs), -1);
}

TEST(ShowControls, EventNumberAndTitle) {
    EXPECT_EQ(eventNumberAt(0, kStarts), 1);
    EXPECT_EQ(eventNumberAt(14299, kStarts), 2);
    EXPECT_EQ(eventNumberAt(14300, kStarts), 3);
    EXPECT_EQ(eventNumberAt(99999, kStarts), 4);
    EXPECT_EQ(eventNumberAt(5000, {}), 0);
    EXPECT_EQ(controlsTitle("Show", 754321, 43, 91, false), "Show - 12:34.3 - event 43/91");
    EXPECT_EQ(controlsTitle("Show", 5000, 0, 0, true), "Show - 0:05.0 - paused");
    EXPECT_EQ(controlsTitle("Show", 5000, 2, 91, false, 150),
              "Show - 0:05.0 - event 2/91 - audio +150 ms");
    EXPECT_EQ(controlsTitle("Show", 5000, 0, 0, true, -35),
              "Show - 0:05.0 - paused - audio -35 ms");
}

}  // namespace
