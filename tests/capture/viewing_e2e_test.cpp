// The live show's viewing options under X (Xvfb in CI) with the real module:
// keys sent with xdotool while the show runs, followed through the host's
// trace and the snapshots it writes after each action; --loop past the end;
// --list against the script table.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <thread>

#include "capture_support.h"
#include "show/event_script.h"

using namespace capture_test;

namespace {

using Clock = std::chrono::steady_clock;

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

class Viewing : public ::testing::Test {
  protected:
    void SetUp() override {
        if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "needs an X display (Xvfb)";
        fs::create_directories(folder / "runtime");
    }

    // Runs the live show; `drive` gets the launcher's pid while it runs.
    ProcessResult show(const std::vector<std::string>& args, std::function<void(int)> drive) {
        drive_ = std::move(drive);
        ProcessOptions options;
        options.environment = {{"SORVANEL_HOST_TRACE", trace().string()},
                               {"SORVANEL_HOST_SNAPSHOT", (folder / "snap").string()}};
        options.timeoutSeconds = 90;
        options.context = this;
        options.whileRunning = [](int pid, void* self) {
            static_cast<Viewing*>(self)->drive_(pid);
        };
        return runTracedTalvenor(args, folder / "runtime", options);
    }

    fs::path trace() const { return folder / "trace.txt"; }
    fs::path snapshot(int n) const { return folder / ("snap-" + std::to_string(n) + ".ppm"); }

    // Waits for a trace line that starts with `prefix`; returns it (empty on timeout).
    std::string waitFor(const std::string& prefix, double seconds = 20) const {
        const auto deadline = Clock::now() + std::chrono::duration<double>(seconds);
        while (Clock::now() < deadline) {
            std::istringstream in(readAll(trace()));
            for (std::string line; std::getline(in, line);) {
                if (line.rfind(prefix, 0) == 0) return line;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return {};
    }

    static void key(const char* name) {
        const std::string command =
            std::string("xdotool search --name 'Morrowen q7v Kessary' key --window %1 ") + name +
            " >/dev/null 2>&1";
        [[maybe_unused]] int rc = std::system(command.c_str());
    }
    static std::string title() {
        std::FILE* p =
            ::popen("xdotool search --name 'Morrowen q7v Kessary' getwindowname 2>/dev/null", "r");
        if (p == nullptr) return {};
        char text[256] = {};
        if (std::fgets(text, sizeof text, p) == nullptr) text[0] = '\0';
        ::pclose(p);
        return text;
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
    const ProcessResult r = show(with({"--controls"}), [&](int) {
        if (waitFor("host swap").empty()) return;
        std::this_thread::sleep_for(std::chrono::milliseconds(1500));
        key("space");
        paused = waitFor("host snapshot 1");
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        heldTitle = title();
        std::this_thread::sleep_for(std::chrono::seconds(1));
        laterTitle = title();
        key("Home");
        home = waitFor("host seek 0 ");
        key("Right");
        right = waitFor("host seek 5000 ");
        key("Right");
        right2 = waitFor("host snapshot 4 ");
        key("n");  // 10 s lies in event 2 (1 to 14.3 s)
        next = waitFor("host seek 14300 ");
        key("p");
        previous = waitFor("host seek 1000 ");
        key("space");
        resumed = waitFor("host snapshot 7 ");
        key("Escape");
    });
    ASSERT_FALSE(r.timedOut) << r.output;
    EXPECT_EQ(r.exitCode, 0) << r.output;
    ASSERT_FALSE(paused.empty()) << readAll(trace());
    // The clock stands: the title's time and "paused" hold for a second.
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
    EXPECT_LT(resumedMs, 1500);
    // The frame after the seek is the shot of that instant.
    const auto [mean, far] = difference(readPpm(snapshot(4)), shotOf("10"));
    EXPECT_LE(mean, 2.0);
    EXPECT_LE(far, 0.005);
}

TEST_F(Viewing, WithoutControlsTheKeysChangeNothing) {
    std::string before, after;
    const ProcessResult r = show(kLive, [&](int) {
        if (waitFor("host swap").empty()) return;
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        before = title();
        for (const char* k : {"space", "Home", "Right", "Next", "n", "p"}) key(k);
        std::this_thread::sleep_for(std::chrono::milliseconds(800));
        after = title();
        key("Escape");
    });
    ASSERT_FALSE(r.timedOut) << r.output;
    EXPECT_EQ(r.exitCode, 0) << r.output;
    EXPECT_EQ(before, "Morrowen q7v Kessary\n");
    EXPECT_EQ(after, before);
    const std::string t = readAll(trace());
    EXPECT_EQ(t.find("host seek"), std::string::npos) << t;
    EXPECT_EQ(t.find("host pause"), std::string::npos) << t;
}

TEST_F(Viewing, LoopStartsOverAtZeroWithAFreshBurst) {
    std::string looped, later;
    const ProcessResult r = show(with({"--loop", "--start", "1558"}), [&](int) {
        looped = waitFor("host snapshot 1 ", 30);
        later = waitFor("host swap");
        key("Escape");
    });
    ASSERT_FALSE(r.timedOut) << r.output;
    EXPECT_EQ(r.exitCode, 0) << r.output;
    const std::string t = readAll(trace());
    ASSERT_NE(t.find("host loop 0 song=0 playing"), std::string::npos) << t;
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
