// The live show's viewing options under X (Xvfb in CI) with the real module:
// keys sent with xdotool while the show runs, followed through the host's
// trace and the snapshots it writes after each action; --loop past the end;
// --list against the script table.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>

#include "capture_support.h"
#include "wait_for.h"
#include "x_window.h"
#include "show/event_script.h"

using namespace capture_test;

namespace {

std::string readAll(const fs::path& path) {
    std::ifstream in(path);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A binary PPM as the host writes its snapshots.
RgbPicture readPpm(const fs::path& path) {
    RgbPicture p;
    std::ifstream in(path, std::ios::binary);
    std::string magic;
    int maxValue = 0;
    in >> magic >> p.width >> p.height >> maxValue;
    in.get();
    if (magic != "P6" || maxValue != 255) return {};
    p.rgb.resize(static_cast<std::size_t>(p.width) * p.height * 3);
    in.read(reinterpret_cast<char*>(p.rgb.data()), static_cast<std::streamsize>(p.rgb.size()));
    return in ? p : RgbPicture{};
}

// Mean difference per channel value, and the share of values off by more than 48.
std::pair<double, double> difference(const RgbPicture& a, const RgbPicture& b) {
    if (a.rgb.size() != b.rgb.size() || a.rgb.empty()) return {255.0, 1.0};
    double sum = 0;
    std::size_t far = 0;
    for (std::size_t i = 0; i < a.rgb.size(); ++i) {
        const int d = std::abs(int(a.rgb[i]) - int(b.rgb[i]));
        sum += d;
        if (d > 48) ++far;
    }
    return {sum / a.rgb.size(), double(far) / a.rgb.size()};
}

const char* kWindow = "Morrowen q7v Kessary";

class Viewing : public ::testing::Test {
  protected:
    void SetUp() override {
        if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "needs an X display (Xvfb)";
        fs::create_directories(folder / "runtime");
    }

    // Runs the live show with the tests' build of talvenor; `drive` gets the
    // launcher's pid while it runs.
    ProcessResult show(const std::vector<std::string>& args, std::function<void(int)> drive) {
        drive_ = std::move(drive);
        ProcessOptions options;
        options.environment = {{"SORVANEL_HOST_TRACE", trace().string()},
                               {"SORVANEL_HOST_SNAPSHOT", (folder / "snap").string()}};
        options.timeoutSeconds = 120;
        options.context = this;
        options.whileRunning = [](int pid, void* self) {
            static_cast<Viewing*>(self)->drive_(pid);
        };
        return runTracedTalvenor(args, folder / "runtime", options);
    }

    fs::path trace() const { return folder / "trace.txt"; }
    fs::path snapshot(int n) const { return folder / ("snap-" + std::to_string(n) + ".ppm"); }

    std::vector<std::string> traceLines() const {
        std::vector<std::string> lines;
        std::istringstream in(readAll(trace()));
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines;
    }
    // Waits for a trace line that starts with `prefix`; returns it (empty
    // when none came within the deadline).
    std::string waitFor(const std::string& prefix, double seconds = 60) const {
        std::string found;
        waitUntil(
            [&] {
                for (const std::string& line : traceLines()) {
                    if (line.rfind(prefix, 0) == 0) {
                        found = line;
                        return true;
                    }
                }
                return false;
            },
            seconds);
        return found;
    }
    int count(const std::string& line) const {
        const std::vector<std::string> lines = traceLines();
        return static_cast<int>(std::count(lines.begin(), lines.end(), line));
    }
    // Waits until `more` further frames have been presented.
    bool waitForSwaps(int more, double seconds = 60) const {
        const int from = count("host swap");
        return waitUntil([&] { return count("host swap") >= from + more; }, seconds);
    }
    // Types a key into the show's window and waits until the show has it.
    bool key(const char* name, const char* heard) {
        const int before = count(std::string("host key ") + heard);
        if (!sendKeyTo(kWindow, name)) return false;
        return waitUntil([&] { return count(std::string("host key ") + heard) > before; }, 30);
    }
    // Waits until the window's title contains `part`; returns the title.
    std::string waitForTitle(const std::string& part, double seconds = 60) const {
        std::string title;
        waitUntil(
            [&] {
                title = windowTitle(kWindow);
                return title.find(part) != std::string::npos;
            },
            seconds);
        return title;
    }

    RgbPicture shotOf(const char* seconds) {
        const fs::path png = folder / "shot.png";
        const ProcessResult r =
            runTalvenor({"--shot", seconds, png.string(), "--size", "320x240"}, folder / "runtime");
        EXPECT_EQ(r.exitCode, 0) << r.output;
        return readPicture(png);
    }

    ScratchFolder folder{"sorvanel-viewing"};
    std::function<void(int)> drive_;
};

const std::vector<std::string> kLive = {"--no-dialog", "--nosound", "--window", "320x240"};

std::vector<std::string> with(std::vector<std::string> args) {
    args.insert(args.begin(), kLive.begin(), kLive.end());
    return args;
}

TEST_F(Viewing, PauseHoldsTheClockAndSeeksLandOnTheirTargetWithTheShotsPicture) {
    std::string paused, heldTitle, laterTitle, home, right, right2, next, previous, resumed;
    bool delivered = false;
    const ProcessResult r = show(with({"--controls"}), [&](int) {
        // Once the song has passed 1 s the show is in its second event.
        if (waitForTitle("event 2/91").empty()) return;
        delivered = key("space", "space");
        paused = waitFor("host snapshot 1");
        // Held: fifty presents later the title (time and event) has not moved.
        heldTitle = waitForTitle("paused");
        waitForSwaps(50);
        laterTitle = windowTitle(kWindow);
        // Each action's frame is snapshot before the next key goes.
        auto act = [&](const char* name, const char* heard, int snapshotNumber) {
            delivered = delivered && key(name, heard) &&
                        !waitFor("host snapshot " + std::to_string(snapshotNumber) + " ").empty();
        };
        act("Home", "home", 2);
        home = waitFor("host seek 0 ");
        act("Right", "right", 3);
        right = waitFor("host seek 5000 ");
        act("Right", "right", 4);
        right2 = waitFor("host snapshot 4 ");
        act("n", "n", 5);  // 10 s lies in event 2 (1 to 14.3 s)
        next = waitFor("host seek 14300 ");
        act("p", "p", 6);
        previous = waitFor("host seek 1000 ");
        act("space", "space", 7);
        resumed = waitFor("host snapshot 7 ");
        delivered = delivered && sendKeyTo(kWindow, "Escape");
    });
    ASSERT_FALSE(r.timedOut) << r.output;
    EXPECT_EQ(r.exitCode, 0) << r.output;
    ASSERT_TRUE(delivered) << readAll(trace());
    ASSERT_FALSE(paused.empty()) << readAll(trace());
    // The clock stands: the title's time and "paused" hold while frames are presented.
    EXPECT_NE(heldTitle.find("paused"), std::string::npos) << heldTitle;
    EXPECT_NE(heldTitle.find("event 2/91"), std::string::npos) << heldTitle;
    EXPECT_EQ(heldTitle, laterTitle);
    // Each seek lands the song clock on its target to the millisecond.
    EXPECT_EQ(home, "host seek 0 song=0 paused");
    EXPECT_EQ(right, "host seek 5000 song=5000 paused");
    EXPECT_EQ(right2, "host snapshot 4 song=10000");
    EXPECT_EQ(next, "host seek 14300 song=14300 paused");
    EXPECT_EQ(previous, "host seek 1000 song=1000 paused");
    // Resumed from where it stood.
    ASSERT_FALSE(resumed.empty());
    const int resumedMs = std::atoi(resumed.substr(resumed.find("song=") + 5).c_str());
    EXPECT_GE(resumedMs, 1000);
    EXPECT_LT(resumedMs, 2500);  // not from 0, not from before the seeks
    // The frame after the seek is the shot of that instant.
    const auto [mean, far] = difference(readPpm(snapshot(4)), shotOf("10"));
    EXPECT_LE(mean, 2.0);
    EXPECT_LE(far, 0.005);
}

TEST_F(Viewing, WithoutControlsTheKeysChangeNothing) {
    std::string before, after;
    bool delivered = true;
    const ProcessResult r = show(kLive, [&](int) {
        if (waitFor("host swap").empty()) return;
        before = windowTitle(kWindow);
        const char* keys[][2] = {{"space", "space"}, {"Home", "home"},     {"Right", "right"},
                                 {"Next", "page-down"}, {"n", "n"}, {"p", "p"}};
        for (const auto& k : keys) delivered = delivered && key(k[0], k[1]);
        waitForSwaps(10);
        after = windowTitle(kWindow);
        delivered = delivered && sendKeyTo(kWindow, "Escape");
    });
    ASSERT_FALSE(r.timedOut) << r.output;
    EXPECT_EQ(r.exitCode, 0) << r.output;
    // Every key reached the show, and none did anything.
    ASSERT_TRUE(delivered) << readAll(trace());
    EXPECT_EQ(before, "Morrowen q7v Kessary");
    EXPECT_EQ(after, before);
    const std::string t = readAll(trace());
    EXPECT_EQ(t.find("host seek"), std::string::npos) << t;
    EXPECT_EQ(t.find("host pause"), std::string::npos) << t;
}

TEST_F(Viewing, LoopStartsOverAtZeroWithAFreshBurst) {
    std::string looped;
    bool delivered = false;
    const ProcessResult r = show(with({"--loop", "--start", "1559"}), [&](int) {
        looped = waitFor("host snapshot 1 ", 90);
        waitForSwaps(1);
        delivered = sendKeyTo(kWindow, "Escape");
    });
    ASSERT_FALSE(r.timedOut) << r.output;
    EXPECT_EQ(r.exitCode, 0) << r.output;
    EXPECT_TRUE(delivered);
    // The clock runs on from 0 while the step is written: the song time it
    // reads lies just after 0.
    const std::string t = readAll(trace());
    const std::string loop = waitFor("host loop 0 song=", 0);
    ASSERT_FALSE(loop.empty()) << t;
    EXPECT_LT(std::atoi(loop.substr(loop.find("song=") + 5).c_str()), 1000) << loop;
    EXPECT_NE(loop.find(" playing"), std::string::npos) << loop;
    ASSERT_FALSE(looped.empty()) << t;
    const int ms = std::atoi(looped.substr(looped.find("song=") + 5).c_str());
    EXPECT_LT(ms, 1000) << looped;  // the first event, the burst alone
    // The first frame after the restart is the burst's first draw, as at 0.
    const auto [mean, far] = difference(readPpm(snapshot(1)), shotOf("0"));
    EXPECT_LE(mean, 2.0);
    EXPECT_LE(far, 0.005);
}

TEST_F(Viewing, ListPrintsTheScriptTable) {
    const fs::path out = folder / "list.txt";
    ProcessOptions options;
    const ProcessResult r = runTalvenor({"--list"}, folder / "runtime");
    ASSERT_EQ(r.exitCode, 0) << r.output;
    std::istringstream in(r.output);
    std::string header;
    std::getline(in, header);
    EXPECT_NE(header.find("start"), std::string::npos);
    int rows = 0;
    double previousEnd = 0.0;
    for (std::string line; std::getline(in, line); ++rows) {
        ASSERT_LT(rows, kShowScriptLength) << line;
        int number = 0;
        double start = 0, end = 0;
        unsigned scene = 0, overlay = 0;
        char what[200] = {};
        ASSERT_EQ(std::sscanf(line.c_str(), "%d %lf %lf 0x%x 0x%x %199[^\n]", &number, &start, &end,
                              &scene, &overlay, what),
                  6)
            << line;
        const ScriptRow& row = kShowScript[rows];
        EXPECT_EQ(number, rows + 1);
        EXPECT_NEAR(start, previousEnd, 0.0005) << line;
        EXPECT_NEAR(end, row.end, 0.0005) << line;
        EXPECT_EQ(scene, row.sceneFlags) << line;
        EXPECT_EQ(overlay, row.overlayFlags) << line;
        previousEnd = row.end;
    }
    EXPECT_EQ(rows, 91);
    EXPECT_NE(r.output.find("    1      0.000      1.000  0x0007   0x0000  burst\n"),
              std::string::npos);
    EXPECT_NE(r.output.find("  1560.000   1561.000  0x1002   0x0000  end\n"), std::string::npos);
}

}  // namespace
