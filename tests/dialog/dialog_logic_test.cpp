// The settings dialog's decisions without a display: the presets from the
// command line, list index to resolution, "No Sound" to the sound flag, and
// the start handler (the NO DMD SELECTED check, the order of hiding and
// starting, the failure text read from the module's buffer).
#include "dialog/dialog_logic.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "options/command_line.h"

namespace {

DialogSettings settingsFor(const std::vector<std::string>& args) {
    const ParsedCommandLine parsed = parseCommandLine(args);
    EXPECT_TRUE(parsed.error.empty()) << parsed.error;
    return dialogSettingsFor(parsed.options.show);
}

// Records what the start handler asks of the dialog and the presentation.
class RecordingHost : public StartHost {
  public:
    std::vector<std::string> calls;
    std::string caption;
    std::string text;
    ShowRequest request;
    bool bufferWasZero = false;
    std::string failure;

    int presentationResult = 1;
    std::string bufferReply;       // written into the buffer by the presentation
    bool fillWholeBuffer = false;  // 256 bytes, no terminator

    void showMessage(const char* c, const char* t) override {
        calls.push_back("message");
        caption = c;
        text = t;
    }
    void hideDialog() override { calls.push_back("hide"); }
    int runPresentation(const ShowRequest& r, char* buffer) override {
        calls.push_back("run");
        request = r;
        bufferWasZero = true;
        for (int i = 0; i < 256; ++i) bufferWasZero = bufferWasZero && buffer[i] == 0;
        if (fillWholeBuffer) std::memset(buffer, 'x', 256);
        std::memcpy(buffer, bufferReply.c_str(), bufferReply.size());
        return presentationResult;
    }
    void reportStartFailure(const std::string& reason) override {
        calls.push_back("failure");
        failure = reason;
    }
};

TEST(DialogPresets, NoCommandLineOffersTheDefaultModuleAt640x480WindowedWithSound) {
    const DialogSettings s = settingsFor({});
    EXPECT_EQ(s.moduleName, "sorvanel.dmd");
    EXPECT_EQ(s.resolutionIndex, 3);
    EXPECT_FALSE(s.fullScreen);
    EXPECT_FALSE(s.noSound);

    const ShowRequest r = showRequestFor(s);
    EXPECT_EQ(r.moduleName, "sorvanel.dmd");
    EXPECT_EQ(r.width, 640);
    EXPECT_EQ(r.height, 480);
    EXPECT_FALSE(r.fullScreen);
    EXPECT_TRUE(r.soundEnabled);
}

TEST(DialogPresets, CommandLineNameIsUpperCasedKeepingQuotesAndSpaces) {
    EXPECT_EQ(settingsFor({"\"my", "Demo.dmd\""}).moduleName, "\"MY DEMO.DMD\"");
    EXPECT_EQ(settingsFor({"mixed Case 2.dmd"}).moduleName, "MIXED CASE 2.DMD");
}

TEST(DialogPresets, LauncherOptionsPresetTheControls) {
    const DialogSettings s =
        settingsFor({"--window", "1024x768", "--fullscreen", "--nosound", "x.dmd"});
    EXPECT_EQ(s.moduleName, "X.DMD");
    EXPECT_EQ(s.resolutionIndex, 5);
    EXPECT_TRUE(s.fullScreen);
    EXPECT_TRUE(s.noSound);

    const ShowRequest r = showRequestFor(s);
    EXPECT_EQ(r.width, 1024);
    EXPECT_EQ(r.height, 768);
    EXPECT_TRUE(r.fullScreen);
    EXPECT_FALSE(r.soundEnabled);
}

TEST(DialogPresets, OptionsWithoutAControlGoToTheShowAsTheCommandLineGaveThem) {
    DialogSettings s = settingsFor({"--start", "14.3", "--widescreen", "--controls", "--loop",
                                    "--vsync", "--msaa", "4", "--audio-offset", "150", "x.dmd"});
    s.resolutionIndex = 4;
    s.noSound = true;
    const ShowRequest r = showRequestFor(s);
    EXPECT_EQ(r.moduleName, "X.DMD");
    EXPECT_EQ(r.width, 800);
    EXPECT_FALSE(r.soundEnabled);
    EXPECT_EQ(r.startMs, 14300);
    EXPECT_EQ(r.shape, PictureShape::Widescreen);
    EXPECT_TRUE(r.viewing.controls);
    EXPECT_TRUE(r.viewing.loop);
    EXPECT_TRUE(r.viewing.vsync);
    EXPECT_EQ(r.msaa, 4);
    EXPECT_EQ(r.audioOffsetMs, 150);
}

TEST(DialogChoices, EachListIndexGivesItsResolutionAndAnyOtherGives640x480) {
    const int expected[6][2] = {{320, 240}, {400, 300}, {512, 384},
                                {640, 480}, {800, 600}, {1024, 768}};
    DialogSettings s;
    for (int i = 0; i < 6; ++i) {
        s.resolutionIndex = i;
        const ShowRequest r = showRequestFor(s);
        EXPECT_EQ(r.width, expected[i][0]) << i;
        EXPECT_EQ(r.height, expected[i][1]) << i;
    }
    for (int i : {-1, 6, 7, INT_MIN, INT_MAX}) {
        s.resolutionIndex = i;
        const ShowRequest r = showRequestFor(s);
        EXPECT_EQ(r.width, 640) << i;
        EXPECT_EQ(r.height, 480) << i;
    }
}

TEST(DialogPresets, ASizeOutsideTheSixIsASeventhEntrySelected) {
    DialogSettings s = settingsFor({"--window", "1280x720"});
    EXPECT_EQ(s.resolutionIndex, 6);
    EXPECT_EQ(extraResolutionText(s.extraResolution), "1280 x 720");
    ShowRequest r = showRequestFor(s);
    EXPECT_EQ(r.width, 1280);
    EXPECT_EQ(r.height, 720);
    s.resolutionIndex = 1;  // the user picks one of the six
    EXPECT_EQ(showRequestFor(s).width, 400);

    s = settingsFor({"--fullscreen", "--window", "desktop"});
    EXPECT_EQ(extraResolutionText(s.extraResolution), "Desktop");
    r = showRequestFor(s);
    EXPECT_EQ(r.width, 0);
    EXPECT_EQ(r.height, 0);
    EXPECT_TRUE(r.fullScreen);
    EXPECT_FALSE(settingsFor({"--window", "800x600"}).extraResolution.present);
}

TEST(StartHandler, NoDmdSelectedInAnyLetterCaseShowsTheMessageAndStartsNothing) {
    const std::vector<std::vector<std::string>> commandLines = {
        {"NO DMD SELECTED!"}, {"no dmd selected!"}, {"No", "Dmd", "sElEcTeD!"}};
    for (const auto& args : commandLines) {
        RecordingHost host;
        EXPECT_EQ(startShow(settingsFor(args), host), StartOutcome::DialogStaysOpen);
        EXPECT_EQ(host.calls, std::vector<std::string>{"message"});
        EXPECT_EQ(host.caption, "Something got out of your mind.. ");
        EXPECT_EQ(host.text,
                  "My name is not Psycho Mantis, so I cannot read your mind and know which demo "
                  "you wonna see!");
    }
}

TEST(StartHandler, OnlyTheExactNameIsRefused) {
    for (const char* name : {"NO DMD SELECTED", "NO DMD SELECTED! ", " NO DMD SELECTED!",
                             "NO  DMD SELECTED!", "no dmd selected!"}) {
        DialogSettings s;
        s.moduleName = name;
        RecordingHost host;
        EXPECT_EQ(startShow(s, host), StartOutcome::ShowEnded) << name;
        EXPECT_EQ(host.request.moduleName, name);
    }
}

TEST(StartHandler, RunsOneShowWithAZeroedBuffer) {
    DialogSettings s = settingsFor({"--nosound", "demo.dmd"});
    s.resolutionIndex = -1;
    RecordingHost host;
    EXPECT_EQ(startShow(s, host), StartOutcome::ShowEnded);
    // The presentation hides the dialog once its window is on screen.
    EXPECT_EQ(host.calls, (std::vector<std::string>{"run"}));
    EXPECT_TRUE(host.bufferWasZero);
    EXPECT_EQ(host.request.moduleName, "DEMO.DMD");
    EXPECT_EQ(host.request.width, 640);
    EXPECT_EQ(host.request.height, 480);
    EXPECT_FALSE(host.request.soundEnabled);
    EXPECT_EQ(exitStatusFor(StartOutcome::ShowEnded), 0);
}

TEST(StartHandler, TheShowHidesTheDialogOnceItIsOnScreen) {
    class ShowingHost : public RecordingHost {
      public:
        int runPresentation(const ShowRequest& r, char* buffer) override {
            const int result = RecordingHost::runPresentation(r, buffer);
            EXPECT_TRUE(r.onShown);
            if (r.onShown) r.onShown();
            return result;
        }
    };
    ShowingHost host;
    EXPECT_EQ(startShow(settingsFor({}), host), StartOutcome::ShowEnded);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"run", "hide"}));
}

TEST(StartHandler, FailedStartReportsTheBuffersText) {
    RecordingHost host;
    host.presentationResult = 0;
    host.bufferReply = "DMD could not be loaded!";
    EXPECT_EQ(startShow(settingsFor({}), host), StartOutcome::StartFailed);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"run", "failure"}));
    EXPECT_EQ(host.failure, "DMD could not be loaded!");
    EXPECT_NE(exitStatusFor(StartOutcome::StartFailed), 0);
    EXPECT_NE(exitStatusFor(StartOutcome::DialogStaysOpen), 0);
}

TEST(StartHandler, FailureWithoutTextOrWithoutTerminatorIsStillReportedSafely) {
    RecordingHost silent;
    silent.presentationResult = 0;
    startShow(settingsFor({}), silent);
    EXPECT_EQ(silent.failure, kUnknownStartFailure);

    RecordingHost unterminated;
    unterminated.presentationResult = 0;
    unterminated.fillWholeBuffer = true;
    startShow(settingsFor({}), unterminated);
    EXPECT_EQ(unterminated.failure, std::string(256, 'x'));

    EXPECT_EQ(startFailureLines("DMD could not be loaded!", "X.DMD: no such file"),
              "talvenor: DMD could not be loaded! (X.DMD: no such file)\n");
    EXPECT_EQ(startFailureLines("Soundfile not found", ""), "talvenor: Soundfile not found\n");
}

}  // namespace
