// The real launcher with its settings dialog under X (Xvfb in CI), driven by
// keys through xdotool, with the test module that logs to the trace file:
// the chosen settings reach the show, the leave button loads nothing, the
// NO DMD SELECTED box and a failed start are shown, and without a display
// the show starts at once.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "process_runner.h"

namespace fs = std::filesystem;

namespace {

const std::string kTalvenor = TALVENOR_PATH;
const std::string kModules = TEST_MODULE_DIR;

// Shell lines run one after another while the launcher runs; each waits for
// its window under a time limit and types into it.
struct KeyScript {
    std::vector<std::string> commands;
    std::vector<int> results;
};

void runKeyScript(int, void* context) {
    auto* script = static_cast<KeyScript*>(context);
    for (const std::string& c : script->commands) {
        script->results.push_back(
            std::system(("timeout 10 sh -c \"" + c + "\" >/dev/null 2>&1").c_str()));
    }
}

// Waits for a shown window titled exactly title, focuses it and types keys
// as the keyboard would (XTEST), so a window that closes on a key is fine.
std::string typeInto(const std::string& title, const std::string& keys) {
    return "xdotool search --sync --onlyvisible --name '^" + title +
           "\\$' windowfocus --sync && sleep 0.2 && xdotool key --delay 30 " + keys;
}
const std::string kDialog = "Morrowen :: Talvenor";
const std::string kNoModuleBox = "Something got out of your mind\\.\\. ";

class DialogEndToEnd : public ::testing::Test {
  protected:
    void SetUp() override {
        const char* display = std::getenv("DISPLAY");
        if (display == nullptr || *display == 0) GTEST_SKIP() << "needs an X display (Xvfb)";
        if (std::system("command -v xdotool >/dev/null 2>&1") != 0) GTEST_SKIP() << "no xdotool";
        dir_ = fs::temp_directory_path() /
               ("dialog-e2e-" + std::to_string(::getpid()) + "-" + std::to_string(counter_++));
        fs::create_directories(dir_);
        trace_ = dir_ / "trace.txt";
    }
    void TearDown() override {
        if (!dir_.empty()) fs::remove_all(dir_);
    }

    ProcessResult run(const std::vector<std::string>& args, KeyScript* script,
                      std::vector<std::pair<std::string, std::string>> env = {}) {
        ProcessOptions options;
        options.environment = std::move(env);
        options.environment.emplace_back("SORVANEL_HOST_TRACE", trace_.string());
        options.environment.emplace_back("TEST_DMD_FRAMES", "2");
        options.workingDirectory = kModules;
        options.timeoutSeconds = 30;
        if (script != nullptr) {
            options.whileRunning = runKeyScript;
            options.context = script;
        }
        return runProcess(kTalvenor, args, options);
    }
    std::string trace() const {
        std::ifstream in(trace_);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    static inline int counter_ = 0;
    fs::path dir_;
    fs::path trace_;
};

TEST_F(DialogEndToEnd, KeysChoose800x600AndNoSoundThenEnterStartsTheShow) {
    // Focus starts on the list: Down picks 800 x 600; four Tabs reach
    // "No Sound"; Space ticks it; Enter presses the default button.
    KeyScript keys{{typeInto(kDialog, "Down Tab Tab Tab Tab space Return")}, {}};
    const ProcessResult r = run({"./test_full.dmd"}, &keys);
    EXPECT_FALSE(r.timedOut);
    EXPECT_EQ(r.exitCode, 0) << r.output;
    EXPECT_EQ(keys.results, std::vector<int>{0});
    const std::string t = trace();
    EXPECT_NE(t.find("module init sound=0"), std::string::npos) << t;
    EXPECT_NE(t.find("viewport=800,600"), std::string::npos) << t;
    EXPECT_NE(t.find("module done"), std::string::npos) << t;
}

TEST_F(DialogEndToEnd, EscapeStartsTheShowWithTheOptionsPresets) {
    KeyScript keys{{typeInto(kDialog, "Escape")}, {}};
    const ProcessResult r = run({"--window", "320x240", "--nosound", "./test_full.dmd"}, &keys);
    EXPECT_EQ(r.exitCode, 0) << r.output;
    const std::string t = trace();
    EXPECT_NE(t.find("module init sound=0"), std::string::npos) << t;
    EXPECT_NE(t.find("viewport=320,240"), std::string::npos) << t;
}

TEST_F(DialogEndToEnd, LeaveButtonEndsWithoutLoadingAnyModule) {
    KeyScript keys{{typeInto(kDialog, "alt+l")}, {}};
    const ProcessResult r = run({"./test_full.dmd"}, &keys);
    EXPECT_FALSE(r.timedOut);
    EXPECT_EQ(r.exitCode, 0) << r.output;
    EXPECT_EQ(keys.results, std::vector<int>{0});
    EXPECT_FALSE(fs::exists(trace_)) << trace();
}

TEST_F(DialogEndToEnd, NoDmdSelectedInLowerCaseShowsTheMessageBoxAndKeepsTheDialog) {
    KeyScript keys{
        {typeInto(kDialog, "Return"), typeInto(kNoModuleBox, "Return"), typeInto(kDialog, "alt+l")},
        {}};
    const ProcessResult r = run({"no", "dmd", "selected!"}, &keys);
    EXPECT_FALSE(r.timedOut);
    EXPECT_EQ(r.exitCode, 0) << r.output;
    EXPECT_EQ(keys.results, (std::vector<int>{0, 0, 0}));
    EXPECT_FALSE(fs::exists(trace_)) << trace();
}

TEST_F(DialogEndToEnd, NoDmdSelectedWithoutTheDialogIsRefusedOnStderr) {
    const ProcessResult r = run({"--no-dialog", "No", "DMD", "selected!"}, nullptr);
    EXPECT_EQ(r.exitCode, 1) << r.output;
    EXPECT_NE(r.output.find("talvenor: My name is not Psycho Mantis"), std::string::npos)
        << r.output;
    EXPECT_FALSE(fs::exists(trace_)) << trace();
}

TEST_F(DialogEndToEnd, FailedStartIsShownInABoxAndOnStderrThenExitsNonZero) {
    KeyScript keys{{typeInto(kDialog, "Return"), typeInto(kDialog, "Return")}, {}};
    const ProcessResult r = run({"./missing.dmd"}, &keys);
    EXPECT_FALSE(r.timedOut);
    EXPECT_EQ(r.exitCode, 1) << r.output;
    // The second line found the message box, titled like the dialog.
    EXPECT_EQ(keys.results, (std::vector<int>{0, 0}));
    EXPECT_NE(r.output.find("talvenor: DMD could not be loaded!"), std::string::npos) << r.output;
}

TEST_F(DialogEndToEnd, WithoutADisplayTheShowStartsAtOnceWhereAScreenCanShowIt) {
    // No X display: no dialog; the show starts at once with the options'
    // settings, but SDL's offscreen driver shows nobody anything, so the
    // window is refused rather than played unseen.
    const ProcessResult r = run({"--window", "400x300", "./test_full.dmd"}, nullptr,
                                {{"DISPLAY", ""}, {"SDL_VIDEODRIVER", "offscreen"}});
    EXPECT_FALSE(r.timedOut);
    EXPECT_EQ(r.exitCode, 1) << r.output;
    EXPECT_NE(r.output.find("no X display for the settings dialog"), std::string::npos) << r.output;
    EXPECT_NE(r.output.find("Window could not be created! (no screen to show the window on: SDL's "
                            "video driver is 'offscreen'"),
              std::string::npos)
        << r.output;
    EXPECT_EQ(trace().find("module init"), std::string::npos) << trace();
}

}  // namespace
