// A raw capture is one result, with talvenor started as a shell starts it:
// a song name that cannot be made is refused before the first frame, runs
// started together into one name leave frames and song of one run, and a
// folder moved away during the run still loses its working files. The test
// module renders offscreen (test_offline.dmd): 735 song frames a video frame
// at 60 fps.
#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <fstream>
#include <thread>

#include "capture_support.h"
#include "wait_for.h"

namespace {

using namespace capture_test;

constexpr int kWidth = 64;
constexpr int kHeight = 48;
constexpr long long kFrameBytes = kWidth * kHeight * 4;
constexpr long long kSongBytesPerFrame = 735 * 4;

class RawPair : public ::testing::Test {
  protected:
    ScratchFolder folder{"sorvanel-raw-pair"};
    fs::path runtime() const { return folder / "runtime"; }
    void SetUp() override { fs::create_directories(runtime()); }
    ProcessResult talvenor(const fs::path& out, const char* to, const ProcessOptions& o = {}) {
        return runTalvenor({"--capture", out.string(), "--to", to, "--size",
                            std::to_string(kWidth) + "x" + std::to_string(kHeight), OFFLINE_MODULE},
                           runtime(), o);
    }
    static std::vector<std::string> entries(const fs::path& where) {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(where)) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }
};

TEST_F(RawPair, ASongNameTooLongIsRefusedBeforeTheFirstFrame) {
    // The frames' name fits (253 bytes); the song's, 4 bytes longer, does not.
    const fs::path out = folder / (std::string(248, 'n') + ".rgba");
    const ProcessResult r = talvenor(out, "0.5");
    EXPECT_EQ(r.exitCode, 1) << r.output;
    EXPECT_NE(r.output.find(".rgba.s16: File name too long"), std::string::npos) << r.output;
    EXPECT_EQ(std::count(r.output.begin(), r.output.end(), '\n'), 1) << r.output;
    EXPECT_EQ(entries(folder.path()), std::vector<std::string>{"runtime"});
}

// Runs of different lengths into one name, started together, a few rounds:
// whichever finishes last, its frames and its song stand together.
TEST_F(RawPair, RunsStartedTogetherIntoOneNameNeverMix) {
    const fs::path out = folder / "shared.rgba";
    const fs::path song = folder / "shared.rgba.s16";
    for (int round = 0; round < 3; ++round) {
        std::vector<ProcessResult> results(4);
        std::vector<std::thread> runs;
        for (std::size_t i = 0; i < results.size(); ++i) {
            runs.emplace_back([&, i] { results[i] = talvenor(out, i % 2 == 0 ? "0.25" : "0.5"); });
        }
        for (std::thread& run : runs) run.join();
        for (const ProcessResult& r : results) EXPECT_EQ(r.exitCode, 0) << r.output;
        const auto frames = static_cast<long long>(fs::file_size(out)) / kFrameBytes;
        EXPECT_TRUE(frames == 15 || frames == 30) << frames;
        EXPECT_EQ(static_cast<long long>(fs::file_size(song)), frames * kSongBytesPerFrame)
            << "round " << round << ": the frames and the song come from different runs";
        EXPECT_EQ(entries(folder.path()),
                  (std::vector<std::string>{"runtime", "shared.rgba", "shared.rgba.s16"}));
    }
}

struct Mover {
    fs::path trace;
    fs::path from;
    fs::path to;
};

// The capture's folder is moved away while the module hangs in a frame; a
// stop request then ends the run, and the working files are removed where
// the folder went.
TEST_F(RawPair, AMovedFolderStillLosesItsWorkingFiles) {
    const fs::path out = folder / "out";
    fs::create_directories(out);
    Mover mover{folder / "trace", out, folder / "moved"};
    ProcessOptions o;
    o.environment = {{"SORVANEL_HOST_TRACE", mover.trace.string()},
                     {"TEST_DMD_HANG_AT_FRAME", "3"}};
    o.context = &mover;
    o.whileRunning = [](int pid, void* context) {
        auto* m = static_cast<Mover*>(context);
        waitUntil(
            [&] {
                std::ifstream in(m->trace);
                const std::string text{std::istreambuf_iterator<char>(in), {}};
                return text.find("module hanging") != std::string::npos;
            },
            60);
        fs::rename(m->from, m->to);
        ::kill(pid, SIGINT);
    };
    const ProcessResult r = talvenor(out / "a.rgba", "5", o);
    EXPECT_EQ(r.exitCode, 1) << r.output;
    ASSERT_TRUE(fs::exists(folder / "moved"));
    EXPECT_TRUE(fs::is_empty(folder / "moved")) << entries(folder / "moved").front();
}

}  // namespace
