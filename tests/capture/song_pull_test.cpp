// One stretch of the song, the same whoever pulls it: song-only captures at
// frame rates that pull it in pieces of every size (a second, 6,300 frames,
// 1,837/1,838, 735, 367/368, 183/184) carry byte-identical songs, and the
// songs of a stretch's two halves joined are the song of the whole.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "capture_support.h"

namespace {

using namespace capture_test;

class SongPull : public ::testing::Test {
  protected:
    ScratchFolder folder{"sorvanel-song-pull"};
    fs::path runtime() const { return folder / "runtime"; }
    void SetUp() override { fs::create_directories(runtime()); }

    // The song of [from, to) s captured at `fps`.
    std::string song(const std::string& from, const std::string& to, int fps) {
        const fs::path file = folder / (from + "-" + to + "-" + std::to_string(fps) + ".s16");
        ProcessOptions options;
        options.timeoutSeconds = 120;
        const ProcessResult r = runTalvenor(
            {"--capture", file.string(), "--from", from, "--to", to, "--fps", std::to_string(fps)},
            runtime(), options);
        EXPECT_EQ(r.exitCode, 0) << r.output;
        return fileBytes(file);
    }
};

TEST_F(SongPull, CapturesAtEveryFrameRateCarryTheSameSong) {
    const std::string reference = song("772", "775", 60);
    ASSERT_EQ(reference.size(), 3u * 44100 * 4);
    for (const int fps : {1, 7, 24, 120, 240}) {
        SCOPED_TRACE(fps);
        const std::string other = song("772", "775", fps);
        ASSERT_EQ(other.size(), reference.size());
        std::size_t differing = 0;
        for (std::size_t i = 0; i < other.size(); i += 2)
            differing += other.compare(i, 2, reference, i, 2) != 0;
        EXPECT_EQ(differing, 0u) << "16-bit samples differing";
    }
}

TEST_F(SongPull, TheHalvesOfAStretchJoinedAreTheWhole) {
    const std::string whole = song("772", "775", 60);
    ASSERT_EQ(whole.size(), 3u * 44100 * 4);
    const std::string joined = song("772", "773.5", 24) + song("773.5", "775", 120);
    ASSERT_EQ(joined.size(), whole.size());
    EXPECT_TRUE(joined == whole) << "the joined song differs from the whole";
}

}  // namespace
