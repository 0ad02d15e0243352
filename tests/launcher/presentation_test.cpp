// The real launcher under X (Xvfb in CI) with the test modules: failure texts
// and exit status, the frame loop's end, the order of the tear-down, Esc, and
// the frustum that reaches RenderScene.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "process_runner.h"
#include "wait_for.h"
#include "x_window.h"

namespace fs = std::filesystem;

namespace {

const std::string kTalvenor = TALVENOR_PATH;
const std::string kModules = TEST_MODULE_DIR;

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
}

int indexOf(const std::vector<std::string>& v, const std::string& prefix) {
    for (std::size_t i = 0; i < v.size(); ++i) {
        if (v[i].rfind(prefix, 0) == 0) return static_cast<int>(i);
    }
    return -1;
}

int countOf(const std::vector<std::string>& v, const std::string& line) {
    return static_cast<int>(std::count(v.begin(), v.end(), line));
}

bool hasExited(int pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string pidText, name, state;
    stat >> pidText >> name >> state;
    return !stat || state == "Z";
}

const char* kWindow = "Morrowen q7v Kessary";

class Presentation : public ::testing::Test {
  protected:
    void SetUp() override {
        if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "needs an X display (Xvfb)";
        dir_ = fs::temp_directory_path() / ("presentation-test-" + std::to_string(::getpid()) +
                                            "-" + std::to_string(counter_++));
        fs::create_directories(dir_);
        trace_ = dir_ / "trace.txt";
    }
    void TearDown() override { fs::remove_all(dir_); }

    // Runs the tests' build of talvenor in the test modules' folder; `drive`
    // gets the launcher's pid while it runs.
    ProcessResult run(const std::vector<std::string>& args,
                      std::vector<std::pair<std::string, std::string>> env = {},
                      std::function<void(int)> drive = nullptr) {
        drive_ = std::move(drive);
        ProcessOptions options;
        options.environment = std::move(env);
        options.environment.emplace_back("SORVANEL_HOST_TRACE", trace_.string());
        options.workingDirectory = kModules;
        options.timeoutSeconds = 60;
        if (drive_) {
            options.context = this;
            options.whileRunning = [](int pid, void* self) {
                static_cast<Presentation*>(self)->drive_(pid);
            };
        }
        return runProcess(kTalvenor, args, options);
    }
    // Waits until the trace holds at least `count` lines equal to line.
    bool waitForLines(const std::string& line, int count = 1, double seconds = 30) const {
        return waitUntil([&] { return countOf(trace(), line) >= count; }, seconds);
    }
    // Presses Escape in the show's window once it presents frames, until the
    // launcher has gone; false when it did not go.
    bool escapeOnceShown(int pid) const {
        if (!waitForLines("host swap")) return false;
        return waitUntil(
            [pid] {
                if (hasExited(pid)) return true;
                sendKeyTo(kWindow, "Escape");
                return waitUntil([pid] { return hasExited(pid); }, 1.0);
            },
            30);
    }
    std::vector<std::string> trace() const {
        std::ifstream in(trace_);
        return lines({std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()});
    }

    static inline int counter_ = 0;
    fs::path dir_;
    fs::path trace_;
    std::function<void(int)> drive_;
};

TEST_F(Presentation, MissingModuleFailsWithItsText) {
    const ProcessResult r = run({"--nosound", "--no-dialog", "./missing.dmd"});
    EXPECT_NE(r.exitCode, 0);
    EXPECT_NE(r.output.find("DMD could not be loaded!"), std::string::npos) << r.output;
}

TEST_F(Presentation, ModuleWithoutRenderSceneFailsAndIsStillShutDown) {
    const ProcessResult r = run({"--no-dialog", "./test_no_render.dmd"});
    EXPECT_NE(r.exitCode, 0);
    EXPECT_NE(r.output.find("DMD contains no rendering funktion!"), std::string::npos) << r.output;
}

TEST_F(Presentation, InitFailureShowsTheModulesTextAndTearsDownInOrder) {
    const ProcessResult r = run({"--no-dialog", "--nosound", "./test_init_fails.dmd"});
    EXPECT_NE(r.exitCode, 0);
    EXPECT_NE(r.output.find("Test module refused to start!"), std::string::npos) << r.output;
    const auto t = trace();
    // Init is the module's first step; the host has only placed the picture.
    EXPECT_EQ(indexOf(t, "module "), indexOf(t, "module init sound=0 context=1 handle=1"));
    EXPECT_GE(indexOf(t, "module init"), 0);
    const int released = indexOf(t, "host context-released");
    const int done = indexOf(t, "module done");
    ASSERT_GE(released, 0);
    EXPECT_GT(done, released);
    EXPECT_EQ(t[done], "module done context=0");
    EXPECT_EQ(indexOf(t, "module frame"), -1);
}

TEST_F(Presentation, ShowRunsUntilRenderSceneReturnsZeroThenTearsDownInOrder) {
    const ProcessResult r = run({"--no-dialog", "./test_full.dmd"}, {{"TEST_DMD_FRAMES", "3"}});
    EXPECT_EQ(r.exitCode, 0) << r.output;
    const auto t = trace();
    EXPECT_EQ(indexOf(t, "module "), indexOf(t, "module init sound=1"));
    EXPECT_GE(indexOf(t, "module init"), 0);
    EXPECT_EQ(countOf(t, "host swap"), 3);
    const int released = indexOf(t, "host context-released");
    const int done = indexOf(t, "module done");
    const int unloaded = indexOf(t, "module unloaded");
    const int hostUnloaded = indexOf(t, "host module-unloaded");
    ASSERT_GE(released, 0);
    EXPECT_LT(indexOf(t, "module frame 0"), released);
    EXPECT_GT(done, released);
    EXPECT_EQ(t[done], "module done context=0");
    EXPECT_EQ(countOf(t, "module done context=0"), 1);
    EXPECT_GT(unloaded, done);
    EXPECT_GT(hostUnloaded, unloaded);
}

TEST_F(Presentation, EndOnTheFirstFrameSwapsNothing) {
    const ProcessResult r =
        run({"--no-dialog", "./test_full.dmd"}, {{"TEST_DMD_END_ON_FIRST", "1"}});
    EXPECT_EQ(r.exitCode, 0) << r.output;
    const auto t = trace();
    const int frame = indexOf(t, "module frame 0");
    ASSERT_GE(frame, 0);
    EXPECT_EQ(countOf(t, "host swap"), 0);
    EXPECT_EQ(countOf(t, "module done context=0"), 1);
}

TEST_F(Presentation, ModuleWithoutInitStartsDirectly) {
    const ProcessResult r =
        run({"--no-dialog", "./test_render_only.dmd"}, {{"TEST_DMD_FRAMES", "2"}});
    EXPECT_EQ(r.exitCode, 0) << r.output;
    const auto t = trace();
    EXPECT_EQ(indexOf(t, "module init"), -1);
    EXPECT_GE(indexOf(t, "module frame 0"), 0);
}

TEST_F(Presentation, DefaultFrustumFollowsTheClientSize) {
    ProcessResult r = run({"--no-dialog", "./test_full.dmd"}, {{"TEST_DMD_FRAMES", "1"}});
    EXPECT_EQ(r.exitCode, 0) << r.output;
    auto t = trace();
    ASSERT_GE(indexOf(t, "module frame 0"), 0);
    EXPECT_EQ(t[indexOf(t, "module frame 0")],
              "module frame 0 always1=1 frustum=-5,5,-3.75,3.75,1,255 viewport=640,480 at=0,0");

    fs::remove(trace_);
    r = run({"--window", "320x240", "--no-dialog", "./test_full.dmd"}, {{"TEST_DMD_FRAMES", "1"}});
    EXPECT_EQ(r.exitCode, 0) << r.output;
    t = trace();
    ASSERT_GE(indexOf(t, "module frame 0"), 0);
    EXPECT_EQ(t[indexOf(t, "module frame 0")],
              "module frame 0 always1=1 frustum=-5,5,-3.75,3.75,1,255 viewport=320,240 at=0,0");
}

TEST_F(Presentation, EscapeEndsTheShow) {
    bool gone = false;
    const ProcessResult r =
        run({"--no-dialog", "./test_full.dmd"}, {}, [&](int pid) { gone = escapeOnceShown(pid); });
    EXPECT_TRUE(gone) << "Escape did not end the show";
    EXPECT_FALSE(r.timedOut);
    EXPECT_EQ(r.exitCode, 0) << r.output;
    const auto t = trace();
    EXPECT_GE(indexOf(t, "module done context=0"), 0);
}

TEST_F(Presentation, ModuleWithoutControlExportsPlaysWithTheOptionsRefusedOnce) {
    const ProcessResult r =
        run({"--controls", "--loop", "--vsync", "--no-dialog", "./test_full.dmd"},
            {{"TEST_DMD_FRAMES", "5"}});
    EXPECT_EQ(r.exitCode, 0) << r.output;
    const std::string controls = "this module cannot seek or pause; --controls is refused";
    const std::size_t first = r.output.find(controls);
    ASSERT_NE(first, std::string::npos) << r.output;
    EXPECT_EQ(r.output.find(controls, first + 1), std::string::npos) << r.output;
    EXPECT_NE(r.output.find("this module cannot start over; --loop is refused"), std::string::npos);
    // The show still plays to its end.
    EXPECT_EQ(countOf(trace(), "host swap"), 5);
}

// What a test sees of the show while it runs: module frames and host swaps.
struct Counts {
    int frames = 0;
    int swaps = 0;
};

Counts countsIn(const std::vector<std::string>& trace) {
    Counts c;
    for (const std::string& line : trace) {
        if (line.rfind("module frame ", 0) == 0) ++c.frames;
        if (line == "host swap") ++c.swaps;
    }
    return c;
}

TEST_F(Presentation, PausedTheLoopPresentsTheHeldPictureWithoutDrawingFrames) {
    Counts atPause, heldLater, resumedLater;
    bool keysSent = false;
    const ProcessResult r =
        run({"--controls", "--no-dialog", "./test_controls.dmd"},
            {{"TEST_DMD_LOG_EVERY_FRAME", "1"}}, [&](int pid) {
                if (!waitUntil([&] { return countsIn(trace()).swaps >= 10; }, 30)) return;
                keysSent = sendKeyTo(kWindow, "space");
                if (!keysSent || !waitForLines("module paused 1")) return;
                // The frame drawn at the pause is kept and the turns after it
                // present it: wait for many presents, then see that no frame was
                // drawn meanwhile.
                const std::vector<std::string> t = trace();
                const int pausedAt = indexOf(t, "host pause song=");
                if (pausedAt < 0) return;
                const int swapsBefore = countsIn({t.begin(), t.begin() + pausedAt}).swaps;
                waitUntil([&] { return countsIn(trace()).swaps >= swapsBefore + 3; }, 30);
                atPause = countsIn(trace());
                waitUntil([&] { return countsIn(trace()).swaps >= atPause.swaps + 50; }, 30);
                heldLater = countsIn(trace());
                keysSent = sendKeyTo(kWindow, "space") && waitForLines("module paused 0");
                waitUntil([&] { return countsIn(trace()).frames >= heldLater.frames + 10; }, 30);
                resumedLater = countsIn(trace());
                keysSent = keysSent && escapeOnceShown(pid);
            });
    EXPECT_EQ(r.exitCode, 0) << r.output;
    ASSERT_TRUE(keysSent) << r.output;
    // Fifty presents of the held picture, not one frame drawn, not one burst aged.
    EXPECT_GE(heldLater.swaps, atPause.swaps + 50);
    EXPECT_EQ(heldLater.frames, atPause.frames);
    // Resumed, frames are drawn again.
    EXPECT_GE(resumedLater.frames, heldLater.frames + 10);
}

// The host's loop steps: the song time it reads after the seek to 0 runs on
// from 0 (a few milliseconds, more where a loaded machine holds the host up
// between the seek and the reading; still short of the 0.3 s the test show
// lasts).
int loopsIn(const std::vector<std::string>& trace) {
    int loops = 0;
    for (const std::string& line : trace) {
        int ms = -1;
        char state[16] = {};
        if (std::sscanf(line.c_str(), "host loop 0 song=%d %15s", &ms, state) == 2 && ms >= 0 &&
            ms < 250 && std::string(state) == "playing") {
            ++loops;
        }
    }
    return loops;
}

TEST_F(Presentation, LoopStartsTheShowOverAtItsEnd) {
    bool gone = false;
    const ProcessResult r = run({"--loop", "--no-dialog", "./test_controls.dmd"},
                                {{"TEST_DMD_END_MS", "300"}}, [&](int pid) {
                                    waitUntil([&] { return loopsIn(trace()) >= 2; }, 30);
                                    gone = escapeOnceShown(pid);
                                });
    EXPECT_EQ(r.exitCode, 0) << r.output;
    EXPECT_TRUE(gone);
    const auto t = trace();
    // The module ends its show every 0.3 s; each time it starts over at 0.
    EXPECT_GE(countOf(t, "module seek 0 fps=60"), 2);
    EXPECT_GE(loopsIn(t), 2);
    // Without --loop the same show ends by itself.
    fs::remove(trace_);
    const ProcessResult once =
        run({"--no-dialog", "./test_controls.dmd"}, {{"TEST_DMD_END_MS", "300"}});
    EXPECT_EQ(once.exitCode, 0) << once.output;
    EXPECT_EQ(countOf(trace(), "module seek 0 fps=60"), 0);
}

TEST_F(Presentation, VsyncWhereTheDisplayHasNoneIsNotedAndTheShowPlays) {
    const ProcessResult r =
        run({"--vsync", "--no-dialog", "./test_full.dmd"}, {{"TEST_DMD_FRAMES", "5"}});
    EXPECT_EQ(r.exitCode, 0) << r.output;
    EXPECT_EQ(countOf(trace(), "host swap"), 5);
    if (r.output.find("the display offers no vsync here") == std::string::npos) {
        GTEST_SKIP() << "this display waits for vsync (not Xvfb)";
    }
    // Without --vsync nothing is said.
    fs::remove(trace_);
    const ProcessResult plain = run({"--no-dialog", "./test_full.dmd"}, {{"TEST_DMD_FRAMES", "5"}});
    EXPECT_EQ(plain.output.find("vsync"), std::string::npos) << plain.output;
}

// --msaa asks the window for a multisampled pixel format: the context really
// has the samples (GL_SAMPLES, as the host notes it), and without it none.
TEST_F(Presentation, MsaaGivesTheWindowAMultisampledFramebuffer) {
    const ProcessResult r =
        run({"--msaa", "4", "--no-dialog", "./test_full.dmd"}, {{"TEST_DMD_FRAMES", "3"}});
    EXPECT_EQ(r.exitCode, 0) << r.output;
    int samples = 0;
    for (const std::string& line : trace()) {
        if (line.rfind("host samples ", 0) == 0) samples = std::atoi(line.c_str() + 13);
    }
    EXPECT_GE(samples, 2);
    if (samples < 4) {
        EXPECT_NE(r.output.find("--msaa 4: the display gives"), std::string::npos) << r.output;
    }
    fs::remove(trace_);
    ASSERT_EQ(run({"--no-dialog", "./test_full.dmd"}, {{"TEST_DMD_FRAMES", "1"}}).exitCode, 0);
    for (const std::string& line : trace())
        EXPECT_EQ(line.rfind("host samples", 0), std::string::npos);
}

}  // namespace
