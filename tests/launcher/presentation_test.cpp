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
#include <sstream>
#include <thread>

#include "process_runner.h"

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

    ProcessResult run(const std::vector<std::string>& args,
                      std::vector<std::pair<std::string, std::string>> env = {},
                      void (*whileRunning)(int, void*) = nullptr) {
        ProcessOptions options;
        options.environment = std::move(env);
        options.environment.emplace_back("SORVANEL_HOST_TRACE", trace_.string());
        options.workingDirectory = kModules;
        options.timeoutSeconds = 30;
        options.whileRunning = whileRunning;
        return runProcess(kTalvenor, args, options);
    }
    std::vector<std::string> trace() const {
        std::ifstream in(trace_);
        return lines({std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()});
    }

    static inline int counter_ = 0;
    fs::path dir_;
    fs::path trace_;
};

TEST_F(Presentation, MissingModuleFailsWithItsText) {
    const ProcessResult r = run({"--nosound", "--no-dialog", "missing.dmd"});
    EXPECT_NE(r.exitCode, 0);
    EXPECT_NE(r.output.find("DMD could not be loaded!"), std::string::npos) << r.output;
}

TEST_F(Presentation, ModuleWithoutRenderSceneFailsAndIsStillShutDown) {
    const ProcessResult r = run({"--no-dialog", "test_no_render.dmd"});
    EXPECT_NE(r.exitCode, 0);
    EXPECT_NE(r.output.find("DMD contains no rendering funktion!"), std::string::npos) << r.output;
}

TEST_F(Presentation, InitFailureShowsTheModulesTextAndTearsDownInOrder) {
    const ProcessResult r = run({"--no-dialog", "--nosound", "test_init_fails.dmd"});
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
    const ProcessResult r = run({"--no-dialog", "test_full.dmd"}, {{"TEST_DMD_FRAMES", "3"}});
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
    const ProcessResult r = run({"--no-dialog", "test_full.dmd"}, {{"TEST_DMD_END_ON_FIRST", "1"}});
    EXPECT_EQ(r.exitCode, 0) << r.output;
    const auto t = trace();
    const int frame = indexOf(t, "module frame 0");
    ASSERT_GE(frame, 0);
    EXPECT_EQ(countOf(t, "host swap"), 0);
    EXPECT_EQ(countOf(t, "module done context=0"), 1);
}

TEST_F(Presentation, ModuleWithoutInitStartsDirectly) {
    const ProcessResult r =
        run({"--no-dialog", "test_render_only.dmd"}, {{"TEST_DMD_FRAMES", "2"}});
    EXPECT_EQ(r.exitCode, 0) << r.output;
    const auto t = trace();
    EXPECT_EQ(indexOf(t, "module init"), -1);
    EXPECT_GE(indexOf(t, "module frame 0"), 0);
}

TEST_F(Presentation, DefaultFrustumFollowsTheClientSize) {
    ProcessResult r = run({"--no-dialog", "test_full.dmd"}, {{"TEST_DMD_FRAMES", "1"}});
    EXPECT_EQ(r.exitCode, 0) << r.output;
    auto t = trace();
    ASSERT_GE(indexOf(t, "module frame 0"), 0);
    EXPECT_EQ(t[indexOf(t, "module frame 0")],
              "module frame 0 always1=1 frustum=-5,5,-3.75,3.75,1,255 viewport=640,480 at=0,0");

    fs::remove(trace_);
    r = run({"--window", "320x240", "--no-dialog", "test_full.dmd"}, {{"TEST_DMD_FRAMES", "1"}});
    EXPECT_EQ(r.exitCode, 0) << r.output;
    t = trace();
    ASSERT_GE(indexOf(t, "module frame 0"), 0);
    EXPECT_EQ(t[indexOf(t, "module frame 0")],
              "module frame 0 always1=1 frustum=-5,5,-3.75,3.75,1,255 viewport=320,240 at=0,0");
}

bool hasExited(int pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string pidText, name, state;
    stat >> pidText >> name >> state;
    return !stat || state == "Z";
}

// Sends Escape to the show's window until the launcher has gone: the window
// may not be mapped or focusable yet, and a loaded X server can drop a
// connection, so one attempt is not enough.
void pressEscapeUntilGone(int pid, void*) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!hasExited(pid) && std::chrono::steady_clock::now() < deadline) {
        [[maybe_unused]] int rc = std::system(
            "timeout 2 xdotool search --name 'Morrowen q7v Kessary' windowfocus "
            "key Escape >/dev/null 2>&1");
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
    }
}

void pressEscapeUntilGoneAfterASecond(int pid, void* context) {
    std::this_thread::sleep_for(std::chrono::seconds(1));
    pressEscapeUntilGone(pid, context);
}

TEST_F(Presentation, EscapeEndsTheShow) {
    const ProcessResult r = run({"--no-dialog", "test_full.dmd"}, {}, pressEscapeUntilGone);
    EXPECT_FALSE(r.timedOut) << "Escape did not end the show";
    EXPECT_EQ(r.exitCode, 0) << r.output;
    const auto t = trace();
    EXPECT_GE(indexOf(t, "module done context=0"), 0);
}

TEST_F(Presentation, ModuleWithoutControlExportsPlaysWithTheOptionsRefusedOnce) {
    const ProcessResult r = run({"--controls", "--loop", "--vsync", "--no-dialog", "test_full.dmd"},
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

void sendKey(const char* key) {
    const std::string command =
        std::string("timeout 5 xdotool search --name 'Morrowen q7v Kessary' key --window %1 ") +
        key + " >/dev/null 2>&1";
    [[maybe_unused]] int rc = std::system(command.c_str());
}

// What a test sees of the show while it runs: module frames and host swaps.
struct Counts {
    int frames = 0;
    int swaps = 0;
};

Counts countsIn(const fs::path& path) {
    std::ifstream in(path);
    Counts c;
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("module frame ", 0) == 0) ++c.frames;
        if (line == "host swap") ++c.swaps;
    }
    return c;
}

struct PauseRun {
    fs::path trace;
    Counts atPause{}, aSecondLater{}, afterResume{};
    bool sawPause = false;
};

void pauseForASecond(int, void* context) {
    auto& run = *static_cast<PauseRun*>(context);
    using namespace std::chrono_literals;
    const auto deadline = std::chrono::steady_clock::now() + 20s;
    while (countsIn(run.trace).swaps < 10 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(50ms);
    }
    sendKey("space");
    while (!run.sawPause && std::chrono::steady_clock::now() < deadline) {
        std::ifstream in(run.trace);
        const std::string text{std::istreambuf_iterator<char>(in), {}};
        run.sawPause = text.find("host pause") != std::string::npos;
        std::this_thread::sleep_for(50ms);
    }
    std::this_thread::sleep_for(200ms);
    run.atPause = countsIn(run.trace);
    std::this_thread::sleep_for(1s);
    run.aSecondLater = countsIn(run.trace);
    sendKey("space");
    std::this_thread::sleep_for(500ms);
    run.afterResume = countsIn(run.trace);
    sendKey("Escape");
}

TEST_F(Presentation, PausedTheLoopPresentsTheHeldPictureWithoutDrawingFrames) {
    PauseRun state{trace_};
    ProcessOptions options;
    options.environment = {{"SORVANEL_HOST_TRACE", trace_.string()},
                           {"TEST_DMD_LOG_EVERY_FRAME", "1"}};
    options.workingDirectory = kModules;
    options.timeoutSeconds = 30;
    options.whileRunning = pauseForASecond;
    options.context = &state;
    const ProcessResult r =
        runProcess(kTalvenor, {"--controls", "--no-dialog", "test_controls.dmd"}, options);
    EXPECT_EQ(r.exitCode, 0) << r.output;
    ASSERT_TRUE(state.sawPause);
    const auto t = trace();
    EXPECT_GE(indexOf(t, "module paused 1"), 0);
    EXPECT_GE(indexOf(t, "module paused 0"), 0);
    // A second of presenting, not one frame drawn, not one burst aged.
    EXPECT_EQ(state.aSecondLater.frames, state.atPause.frames);
    EXPECT_GT(state.aSecondLater.swaps, state.atPause.swaps + 10);
    // Resumed, frames are drawn again.
    EXPECT_GT(state.afterResume.frames, state.aSecondLater.frames + 10);
}

TEST_F(Presentation, LoopStartsTheShowOverAtItsEnd) {
    const ProcessResult r = run({"--loop", "--no-dialog", "test_controls.dmd"},
                                {{"TEST_DMD_END_MS", "300"}}, pressEscapeUntilGoneAfterASecond);
    EXPECT_EQ(r.exitCode, 0) << r.output;
    const auto t = trace();
    // The module ends its show every 0.3 s; each time it starts over at 0.
    EXPECT_GE(countOf(t, "module seek 0 fps=60"), 2);
    EXPECT_GE(countOf(t, "host loop 0 song=0 playing"), 2);
    // Without --loop the same show ends by itself.
    fs::remove(trace_);
    const ProcessResult once =
        run({"--no-dialog", "test_controls.dmd"}, {{"TEST_DMD_END_MS", "300"}});
    EXPECT_EQ(once.exitCode, 0) << once.output;
    EXPECT_EQ(countOf(trace(), "module seek 0 fps=60"), 0);
}

TEST_F(Presentation, VsyncWhereTheDisplayHasNoneIsNotedAndTheShowPlays) {
    const ProcessResult r =
        run({"--vsync", "--no-dialog", "test_full.dmd"}, {{"TEST_DMD_FRAMES", "5"}});
    EXPECT_EQ(r.exitCode, 0) << r.output;
    EXPECT_EQ(countOf(trace(), "host swap"), 5);
    if (r.output.find("the display offers no vsync here") == std::string::npos) {
        GTEST_SKIP() << "this display waits for vsync (not Xvfb)";
    }
    // Without --vsync nothing is said.
    fs::remove(trace_);
    const ProcessResult plain = run({"--no-dialog", "test_full.dmd"}, {{"TEST_DMD_FRAMES", "5"}});
    EXPECT_EQ(plain.output.find("vsync"), std::string::npos) << plain.output;
}

}  // namespace
