// Every stop stops and no crash is silent, with talvenor started as a shell
// starts it and a test module that renders offscreen (test_offline.dmd): a
// crash in a frame, in the offline song pull or in Done is one line naming
// the phase, status 1, no working file left; a stop request ends a capture
// within seconds whatever its encoder does (a fake ffmpeg that moves data
// but never reads its input) and whatever the module does (stuck in Init, a
// frame or Done), leaving nothing; a second request ends it at once.
#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fstream>

#include "capture_support.h"
#include "wait_for.h"

namespace {

using namespace capture_test;
using Clock = std::chrono::steady_clock;

const std::string kModule = OFFLINE_MODULE;
const std::string kSegv = " (SIGSEGV, a bad memory access)\n";

class StopsAndCrashes : public ::testing::Test {
  protected:
    ScratchFolder folder{"sorvanel-stops"};
    fs::path runtime() const { return folder / "runtime"; }
    fs::path trace() const { return folder / "trace"; }
    void SetUp() override {
        fs::create_directories(runtime());
        options.environment = {{"SORVANEL_HOST_TRACE", trace().string()}};
        options.timeoutSeconds = 90;
    }
    ProcessResult talvenor(const std::vector<std::string>& args) {
        std::vector<std::string> withModule = args;
        withModule.push_back(kModule);
        return runTalvenor(withModule, runtime(), options);
    }
    void set(const std::string& name, const std::string& value) {
        options.environment.emplace_back(name, value);
    }
    std::vector<std::string> capture(const std::string& name, const char* to = "5") const {
        return {"--capture", (folder / name).string(), "--to", to, "--size", "64x48"};
    }
    // What stands in the scratch folder besides the test's own files.
    std::vector<std::string> leftovers() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder.path())) {
            const std::string name = entry.path().filename().string();
            if (name != "runtime" && name != "trace" && name != "bin" && name != "encoder.pid") {
                names.push_back(name);
            }
        }
        return names;
    }
    static long lines(const std::string& text) {
        return std::count(text.begin(), text.end(), '\n');
    }
    ProcessOptions options;
};

// What a test's whileRunning hook does: waits for a line in the module's
// trace, then sends the signals.
struct Stopper {
    fs::path trace;
    std::string waitFor;
    std::vector<int> signals;
    Clock::time_point stopped{};
};

void stopWhenTraced(int pid, void* context) {
    auto* stopper = static_cast<Stopper*>(context);
    waitUntil(
        [&] {
            std::ifstream in(stopper->trace);
            const std::string text{std::istreambuf_iterator<char>(in), {}};
            return text.find(stopper->waitFor) != std::string::npos;
        },
        60);
    stopper->stopped = Clock::now();
    for (int signal : stopper->signals) ::kill(pid, signal);
}

double secondsSince(Clock::time_point t) {
    return std::chrono::duration<double>(Clock::now() - t).count();
}

TEST_F(StopsAndCrashes, ACrashInAShotsFrameIsOneLineWithItsSongTime) {
    set("TEST_DMD_CRASH_AT_FRAME", "0");
    const ProcessResult r =
        talvenor({"--shot", "1", (folder / "x.png").string(), "--size", "64x48"});
    EXPECT_EQ(r.exitCode, 1) << r.output;
    EXPECT_NE(r.output.find(": the module crashed in RenderScene, drawing the frame at song time "
                            "1.000 s" +
                            kSegv),
              std::string::npos)
        << r.output;
    EXPECT_EQ(lines(r.output), 1) << r.output;
    EXPECT_TRUE(leftovers().empty());
}

TEST_F(StopsAndCrashes, ACrashInDoneAfterAShotIsOneLine) {
    set("TEST_DMD_CRASH_IN_DONE", "1");
    const ProcessResult r =
        talvenor({"--shot", "1", (folder / "x.png").string(), "--size", "64x48"});
    EXPECT_EQ(r.exitCode, 1) << r.output;
    EXPECT_NE(r.output.find(": the module crashed in Done or as it was unloaded" + kSegv),
              std::string::npos)
        << r.output;
    EXPECT_EQ(lines(r.output), 1) << r.output;
    EXPECT_TRUE(leftovers().empty());
}

// In a capture each phase is named, and the working files go with the crash.
TEST_F(StopsAndCrashes, ACrashInACaptureNamesItsPhaseAndLeavesNothing) {
    const struct {
        const char* variable;
        const char* value;
        std::string says;
    } cases[] = {
        {"TEST_DMD_CRASH_AT_FRAME", "5",
         "the module crashed in RenderScene, drawing the frame at song time 0.083 s"},
        {"TEST_DMD_CRASH_IN_PULL", "1",
         "the module crashed mixing its song offline at song time "
         "0.000 s"},
        {"TEST_DMD_CRASH_IN_DONE", "1", "the module crashed in Done or as it was unloaded"},
    };
    for (const auto& c : cases) {
        options.environment = {{c.variable, c.value}};
        const ProcessResult r = talvenor(capture("a.rgba", "0.5"));
        EXPECT_EQ(r.exitCode, 1) << c.variable << ": " << r.output;
        EXPECT_NE(r.output.find(c.says + kSegv), std::string::npos) << r.output;
        EXPECT_EQ(r.output.find("talvenor: ", r.output.find(c.says)), std::string::npos)
            << "more than the one line after it: " << r.output;
        EXPECT_TRUE(leftovers().empty()) << c.variable << ": " << leftovers().front();
    }
}

// A module stuck in Init, in a frame or in Done: one Ctrl-C ends the run
// (the last resort, 1.9 s after it), with the call named and nothing left.
TEST_F(StopsAndCrashes, AStuckModuleIsEndedAfterAStopRequest) {
    const struct {
        const char* variable;
        const char* value;
        const char* call;
        const char* to;
    } cases[] = {
        {"TEST_DMD_HANG_IN_INIT", "1", "Init", "5"},
        {"TEST_DMD_HANG_AT_FRAME", "3", "RenderScene", "5"},
        {"TEST_DMD_HANG_IN_DONE", "1", "Done", "0.2"},
    };
    for (const auto& c : cases) {
        fs::remove(trace());
        options.environment = {{"SORVANEL_HOST_TRACE", trace().string()}, {c.variable, c.value}};
        Stopper stopper{trace(), "module hanging", {SIGINT}};
        options.context = &stopper;
        options.whileRunning = stopWhenTraced;
        const ProcessResult r = talvenor(capture("a.rgba", c.to));
        const double took = secondsSince(stopper.stopped);
        ASSERT_FALSE(r.timedOut) << c.variable;
        EXPECT_LT(took, 10.0) << c.variable;
        EXPECT_EQ(r.exitCode, 1) << c.variable << ": " << r.output;
        EXPECT_NE(r.output.find("talvenor: stopped at the user's request; nothing was kept (the "
                                "run did not end within 2 s of the request; the module had not "
                                "returned from " +
                                std::string(c.call) + ")\n"),
                  std::string::npos)
            << r.output;
        EXPECT_TRUE(leftovers().empty()) << c.variable << ": " << leftovers().front();
        std::printf("[ measured ] %s: ended %.2f s after the stop request\n", c.variable, took);
    }
}

TEST_F(StopsAndCrashes, ASecondStopRequestEndsTheRunAtOnce) {
    set("TEST_DMD_HANG_AT_FRAME", "3");
    Stopper stopper{trace(), "module hanging", {SIGINT, SIGTERM}};
    options.context = &stopper;
    options.whileRunning = stopWhenTraced;
    const ProcessResult r = talvenor(capture("a.rgba"));
    EXPECT_EQ(r.exitCode, 1) << r.output;
    EXPECT_NE(r.output.find("talvenor: stopped at the user's request; nothing was kept (a second "
                            "stop request; the module had not returned from RenderScene)"),
              std::string::npos)
        << r.output;
    EXPECT_TRUE(leftovers().empty());
}

// The live show: SDL turns Ctrl-C into a quit event read between frames; a
// module stuck in a frame never gets there, so the stop's deadline ends
// the program, naming the call.
TEST_F(StopsAndCrashes, ALiveShowStuckInAFrameEndsAfterAStopRequest) {
    if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "the live show needs a display";
    set("TEST_DMD_HANG_AT_FRAME", "2");
    Stopper stopper{trace(), "module hanging", {SIGINT}};
    options.context = &stopper;
    options.whileRunning = stopWhenTraced;
    const ProcessResult r = runTalvenor(
        {"--no-dialog", "--nosound", "--window", "320x240", LIVE_MODULE}, runtime(), options);
    const double took = secondsSince(stopper.stopped);
    ASSERT_FALSE(r.timedOut);
    EXPECT_LT(took, 10.0);
    EXPECT_EQ(r.exitCode, 130) << r.output;
    EXPECT_NE(r.output.find("talvenor: stopped at the user's request; the show did not end within "
                            "2 s of it (the module had not returned from RenderScene)"),
              std::string::npos)
        << r.output;
    std::printf("[ measured ] live show: ended %.2f s after the stop request\n", took);
}

// An ffmpeg that moves data all the time but never reads its input
// (exec cat /dev/zero > /dev/null): the data it moves is no progress.
class BusyEncoder : public StopsAndCrashes {
  protected:
    void SetUp() override {
        StopsAndCrashes::SetUp();
        fs::create_directories(folder / "bin");
        std::ofstream(folder / "bin" / "ffmpeg")
            << "#!/bin/sh\necho $$ > \"$FAKE_ENCODER_PID\"\nexec cat /dev/zero > /dev/null\n";
        fs::permissions(folder / "bin" / "ffmpeg", fs::perms::owner_all);
        set("PATH", (folder / "bin").string() + ":" + std::getenv("PATH"));
        set("FAKE_ENCODER_PID", (folder / "encoder.pid").string());
    }
    bool encoderGone() const {
        std::ifstream in(folder / "encoder.pid");
        int pid = 0;
        in >> pid;
        return pid > 0 && ::kill(-pid, 0) != 0 && errno == ESRCH;
    }
};

TEST_F(BusyEncoder, TheStallWatchdogSeesNoProgress) {
    set("SORVANEL_ENCODER_TIMEOUT", "3");
    const ProcessResult r = talvenor(capture("a.mp4"));
    EXPECT_EQ(r.exitCode, 1) << r.output;
    EXPECT_NE(r.output.find("took no frame data for 3 s; it was ended"), std::string::npos)
        << r.output;
    EXPECT_TRUE(encoderGone());
    EXPECT_TRUE(leftovers().empty());
}

TEST_F(BusyEncoder, OneStopRequestEndsTheCapture) {
    for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) {
        fs::remove(trace());
        Stopper stopper{trace(), "frame 0", {signal}};
        options.context = &stopper;
        options.whileRunning = stopWhenTraced;
        const ProcessResult r = talvenor(capture("a.mp4", "60"));
        const double took = secondsSince(stopper.stopped);
        ASSERT_FALSE(r.timedOut) << signal;
        EXPECT_LT(took, 10.0) << signal;
        EXPECT_EQ(r.exitCode, 1) << r.output;
        EXPECT_NE(r.output.find("talvenor: stopped at the user's request; nothing was kept ("),
                  std::string::npos)
            << r.output;
        EXPECT_TRUE(encoderGone()) << signal;
        EXPECT_TRUE(leftovers().empty()) << signal << ": " << leftovers().front();
        std::printf("[ measured ] signal %d: ended %.2f s after the stop request\n", signal, took);
    }
}

}  // namespace
