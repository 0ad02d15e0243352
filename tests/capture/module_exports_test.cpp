// The module's optional exports, called on the real module the way a host
// calls them: offline audio and a start before Init and not after, the clock
// moved only by the audio pulled, the end of the show where DmdShowEndMs says
// (also before Init and after Done), and Done without the fade offline.
#include <chrono>
#include <cstdlib>
#include <vector>

#include "real_module.h"

namespace {

using ModuleExports = RealModuleTest;

TEST_F(ModuleExports, OfflineTheClockMovesOnlyByThePulledSong) {
    EXPECT_EQ(module_->useOfflineAudio(), 44100);
    EXPECT_EQ(module_->startAt(1559000, 60), 1);
    ASSERT_EQ(start(1), 1);
    EXPECT_EQ(module_->startAt(0, 60), 0);  // too late once Init ran
    EXPECT_EQ(module_->useOfflineAudio(), 0);
    EXPECT_EQ(module_->showEndMs(), 1560000);

    // Frames drawn without pulling stay at 1559 s, however many.
    for (int i = 0; i < 5; ++i) EXPECT_EQ(frame(), 1);
    // A second of song less one sample: the clock stops a millisecond short
    // of the end.
    std::vector<std::int16_t> song(44100 * 2);
    const int justShort = 44099;
    ASSERT_EQ(module_->pullAudio(song.data(), justShort), justShort);
    EXPECT_EQ(frame(), 1);
    int loud = 0;
    for (std::int16_t s : song) loud += std::abs(s) > 1000;
    EXPECT_GT(loud, 1000);
    // One more sample reaches 1560 s: the end.
    ASSERT_EQ(module_->pullAudio(song.data(), 1), 1);
    EXPECT_EQ(frame(), 0);

    // Offline, nothing is faded: Done returns at once, well short of the
    // 1024 ms (256 steps of 4 ms) a fade takes, even on a loaded machine.
    const auto before = std::chrono::steady_clock::now();
    module_->done();
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::milliseconds(1000));
    EXPECT_EQ(module_->pullAudio(song.data(), 10), 0);  // closed
}

TEST_F(ModuleExports, WithoutOfflineAudioNothingCanBePulledAndTheShowRunsAsEver) {
    EXPECT_EQ(module_->startAt(-1, 60), 0);
    EXPECT_EQ(module_->startAt(1000, 0), 0);
    ASSERT_EQ(start(0), 1);
    std::vector<std::int16_t> song(200);
    EXPECT_EQ(module_->pullAudio(song.data(), 100), 0);
    EXPECT_EQ(frame(), 1);
}

TEST_F(ModuleExports, AfterDoneTheEndIsStillKnownAndLateRequestsAreStillRefused) {
    EXPECT_EQ(module_->showEndMs(), 1560000);  // from the script table before Init
    EXPECT_EQ(module_->useOfflineAudio(), 44100);
    ASSERT_EQ(start(1), 1);
    EXPECT_EQ(module_->showEndMs(), 1560000);
    releaseContext();
    module_->done();
    EXPECT_EQ(module_->showEndMs(), 1560000);
    EXPECT_EQ(module_->startAt(0, 60), 0);
    EXPECT_EQ(module_->useOfflineAudio(), 0);
    EXPECT_EQ(module_->songTimeMs(), -1);
    EXPECT_EQ(module_->frameShown(), 0);
    EXPECT_EQ(frame(), 1);  // no show left: nothing drawn, nothing ended
}

TEST_F(ModuleExports, ARefusedStartLeavesTheShowAtItsBeginning) {
    EXPECT_EQ(module_->useOfflineAudio(), 44100);
    EXPECT_EQ(module_->startAt(1570000, 2000), 0);  // no such grid: refused, not half taken
    ASSERT_EQ(start(1), 1);
    EXPECT_EQ(frame(), 1);  // 0 s, not past the end
}

}  // namespace
