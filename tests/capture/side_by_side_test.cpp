// Shows of one user running at the same time: they share the private
// temporary directory and take turns on its lock, so every start succeeds
// and draws exactly what it draws alone, and nothing is left behind.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "capture_support.h"

namespace {

using namespace capture_test;

class SideBySide : public ::testing::Test {
  protected:
    ScratchFolder folder{"sorvanel-side-by-side"};
    fs::path runtime() const { return folder / "runtime"; }
    void SetUp() override { fs::create_directories(runtime()); }
    bool runtimeEmpty() const { return fs::is_empty(runtime() / "sorvanel"); }
};

// Instants across the script, from the opening to far into the show.
const std::vector<std::string> kInstants = {"0.5", "5", "14.3", "18", "60", "135", "250", "1370"};

TEST_F(SideBySide, EightShotsAtOnceEqualTheSameShotsOneByOne) {
    std::vector<fs::path> alone;
    for (const std::string& at : kInstants) {
        alone.push_back(folder / ("alone-" + at + ".png"));
        const ProcessResult r =
            runTalvenor({"--shot", at, alone.back().string(), "--size", "160x120"}, runtime());
        ASSERT_EQ(r.exitCode, 0) << at << ": " << r.output;
    }

    std::vector<ProcessResult> results(kInstants.size());
    std::vector<std::thread> shows;
    for (std::size_t i = 0; i < kInstants.size(); ++i) {
        shows.emplace_back([&, i] {
            const fs::path out = folder / ("together-" + kInstants[i] + ".png");
            results[i] =
                runTalvenor({"--shot", kInstants[i], out.string(), "--size", "160x120"}, runtime());
        });
    }
    for (std::thread& t : shows) t.join();

    for (std::size_t i = 0; i < kInstants.size(); ++i) {
        EXPECT_EQ(results[i].exitCode, 0) << kInstants[i] << ": " << results[i].output;
        const fs::path together = folder / ("together-" + kInstants[i] + ".png");
        EXPECT_TRUE(fileBytes(together) == fileBytes(alone[i])) << kInstants[i] << " differs";
    }
    EXPECT_TRUE(runtimeEmpty());
}

// The live show needs a display; the suite runs under Xvfb.
TEST_F(SideBySide, ACaptureAndALiveShowRunToTheirEndTogether) {
    if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "no X display";
    // Four seconds before the show's end, both run to it by themselves.
    ProcessResult live;
    std::thread watcher([&] {
        ProcessOptions options;
        options.timeoutSeconds = 120;
        live = runTalvenor({"--no-dialog", "--nosound", "--window", "320x240", "--start", "1556"},
                           runtime(), options);
    });
    const fs::path raw = folder / "end.rgba";
    ProcessOptions options;
    options.timeoutSeconds = 120;
    const ProcessResult capture = runTalvenor(
        {"--capture", raw.string(), "--from", "1556", "--size", "160x120"}, runtime(), options);
    watcher.join();

    EXPECT_FALSE(live.timedOut);
    EXPECT_EQ(live.exitCode, 0) << live.output;
    ASSERT_EQ(capture.exitCode, 0) << capture.output;
    // 1556 s to the end at 1560 s, 60 frames a second.
    EXPECT_EQ(fs::file_size(raw), 240u * 160 * 120 * 4);
    EXPECT_TRUE(runtimeEmpty());
}

}  // namespace
