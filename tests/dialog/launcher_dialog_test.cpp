// The FLTK dialog in this process under X (Xvfb in CI), driven by key
// events handed to FLTK: its captions and list, the Tab order and the keys
// that start or leave, a close request, and the NO DMD SELECTED box.
#include "dialog/launcher_dialog.h"

#include <FL/Fl.H>
#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Double_Window.H>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "dialog/dialog_widgets.h"

// Last: the X headers define macros (None, Bool) that clash with GoogleTest's.
#include <FL/x.H>

namespace {

// What the stand-in for RunPresentation saw.
struct PresentationCall {
    std::string moduleName;
    int width, height, fullScreen, soundEnabled;
};
std::vector<PresentationCall> presentationCalls;
int fakePresentation(const ShowRequest& request, char*) {
    presentationCalls.push_back({request.moduleName, request.width, request.height,
                                 request.fullScreen ? 1 : 0, request.soundEnabled ? 1 : 0});
    if (request.onShown) request.onShown();
    return 1;
}

void key(int keysym, const char* text = "", int state = 0) {
    // FLTK may rewrite the text in place (it retries shortcuts in the other
    // letter case), so it gets a copy.
    static char textCopy[8];
    std::snprintf(textCopy, sizeof textCopy, "%s", text);
    Fl::e_keysym = keysym;
    Fl::e_state = state;
    Fl::e_text = textCopy;
    Fl::e_length = static_cast<int>(std::strlen(text));
    Fl_Window* target = Fl::modal() != nullptr ? Fl::modal() : Fl::first_window();
    Fl::handle(FL_KEYBOARD, target);
}

// A widget of the window whose label is text, or nullptr.
Fl_Widget* findLabel(Fl_Group& group, const std::string& text) {
    for (int i = 0; i < group.children(); ++i) {
        Fl_Widget* w = group.child(i);
        if (w->label() != nullptr && text == w->label()) return w;
        if (Fl_Group* g = w->as_group()) {
            if (Fl_Widget* found = findLabel(*g, text)) return found;
        }
    }
    return nullptr;
}

// Runs actions once the dialog's modal loop is running.
std::function<void()> pendingActions;
void runPending(void*) {
    auto actions = std::move(pendingActions);
    pendingActions = nullptr;
    if (actions) actions();
}

// A message box, as it appears while the actions run: its caption and
// whether it showed the text; closed with Enter.
struct SeenMessage {
    std::string caption;
    bool hadText = false;
};
std::vector<SeenMessage> seenMessages;
std::string expectedMessageText;
void closeMessageBox(void*) {
    Fl_Window* box = Fl::modal();
    if (box == nullptr) {
        Fl::repeat_timeout(0.01, closeMessageBox);
        return;
    }
    seenMessages.push_back({box->label() != nullptr ? box->label() : "",
                            findLabel(*box, expectedMessageText) != nullptr});
    key(FL_Enter, "\r");
}

class LauncherDialogTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (std::getenv("DISPLAY") == nullptr || !LauncherDialog::openDisplay()) {
            GTEST_SKIP() << "needs an X display (Xvfb)";
        }
        presentationCalls.clear();
        seenMessages.clear();
    }

    LauncherDialog::Result runWith(LauncherDialog& dialog, std::function<void()> actions) {
        pendingActions = std::move(actions);
        Fl::add_timeout(0.05, runPending);
        return dialog.runUntilEnded();
    }
};

TEST_F(LauncherDialogTest, ShowsTheCaptionsAndTheSixResolutionsWith640x480Selected) {
    DialogSettings presets;
    presets.moduleName = "sorvanel.dmd";
    LauncherDialog dialog(presets, fakePresentation);
    runWith(dialog, [&] {
        EXPECT_STREQ(dialog.window().label(), "Morrowen :: Talvenor");
        DropDownList& list = dialog.resolutionList();
        const char* texts[] = {"320 x 240", "400 x 300", "512 x 384",
                               "640 x 480", "800 x 600", "1024 x 768"};
        ASSERT_EQ(list.size() - 1, 6);
        for (int i = 0; i < 6; ++i) EXPECT_STREQ(list.text(i), texts[i]);
        EXPECT_EQ(list.value(), 3);
        EXPECT_STREQ(dialog.fullScreenCheck().label(), "Fullscreen");
        EXPECT_STREQ(dialog.noSoundCheck().label(), "No Sound");
        EXPECT_EQ(dialog.fullScreenCheck().value(), 0);
        EXPECT_EQ(dialog.noSoundCheck().value(), 0);
        EXPECT_STREQ(dialog.startButton().label(), "&Beam me up!");
        EXPECT_STREQ(dialog.leaveButton().label(), "&Let me out of here..");
        EXPECT_NE(findLabel(dialog.window(), "Resolution"), nullptr);
        EXPECT_NE(findLabel(dialog.window(), "Sound Device"), nullptr);
        EXPECT_EQ(Fl::focus(), &list);
        key('l', "l", FL_ALT);
    });
    EXPECT_TRUE(presentationCalls.empty());
}

TEST_F(LauncherDialogTest, KeysChooseTheSettingsAndEnterStartsOneShow) {
    DialogSettings presets;
    presets.moduleName = "DEMO.DMD";
    LauncherDialog dialog(presets, fakePresentation);
    const auto result = runWith(dialog, [&] {
        key(FL_Down);  // 800 x 600
        key(FL_Tab);   // Fullscreen
        key(' ', " ");
        key(FL_Tab);  // Beam me up!
        key(FL_Tab);  // Let me out of here..
        key(FL_Tab);  // No Sound
        EXPECT_EQ(Fl::focus(), &dialog.noSoundCheck());
        key(' ', " ");
        key(FL_Enter, "\r");  // the default button answers from any control
    });
    EXPECT_EQ(result, LauncherDialog::Result::ShowEnded);
    ASSERT_EQ(presentationCalls.size(), 1u);
    const PresentationCall& c = presentationCalls[0];
    EXPECT_EQ(c.moduleName, "DEMO.DMD");
    EXPECT_EQ(c.width, 800);
    EXPECT_EQ(c.height, 600);
    EXPECT_EQ(c.fullScreen, 1);
    EXPECT_EQ(c.soundEnabled, 0);
    EXPECT_FALSE(dialog.window().shown());
}

TEST_F(LauncherDialogTest, LettersInTheListSelectByFirstCharacterAndOnlyAltPressesAButton) {
    DialogSettings presets;
    presets.moduleName = "DEMO.DMD";
    LauncherDialog dialog(presets, fakePresentation);
    const auto result = runWith(dialog, [&] {
        DropDownList& list = dialog.resolutionList();
        key('l', "l");  // the leave button's letter, typed into the list
        EXPECT_TRUE(dialog.window().shown());
        EXPECT_EQ(list.value(), 3);
        key('1', "1");
        EXPECT_EQ(list.value(), 5);  // 1024 x 768
        key('3', "3");
        EXPECT_EQ(list.value(), 0);  // 320 x 240
        key('b', "b");               // the start button's letter
        EXPECT_TRUE(presentationCalls.empty());
        key('l', "l", FL_ALT);
    });
    EXPECT_EQ(result, LauncherDialog::Result::Left);
    EXPECT_TRUE(presentationCalls.empty());
}

TEST_F(LauncherDialogTest, ACommandLineSizeOutsideTheSixIsOfferedAfterThem) {
    DialogSettings presets;
    presets.moduleName = "DEMO.DMD";
    presets.resolutionIndex = 6;
    presets.extraResolution = {true, 1280, 720};
    LauncherDialog dialog(presets, fakePresentation);
    const auto result = runWith(dialog, [&] {
        DropDownList& list = dialog.resolutionList();
        ASSERT_EQ(list.size() - 1, 7);
        EXPECT_STREQ(list.text(6), "1280 x 720");
        EXPECT_EQ(list.value(), 6);
        key(FL_Enter, "\r");
    });
    EXPECT_EQ(result, LauncherDialog::Result::ShowEnded);
    ASSERT_EQ(presentationCalls.size(), 1u);
    EXPECT_EQ(presentationCalls[0].width, 1280);
    EXPECT_EQ(presentationCalls[0].height, 720);
}

TEST_F(LauncherDialogTest, CloseRequestFromTheWindowManagerStartsTheShow) {
    DialogSettings presets;
    presets.moduleName = "DEMO.DMD";
    LauncherDialog dialog(presets, fakePresentation);
    const auto result = runWith(dialog, [&] {
        // What a window manager sends for the close box or Alt+F4.
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = fl_xid(&dialog.window());
        event.xclient.message_type = XInternAtom(fl_display, "WM_PROTOCOLS", False);
        event.xclient.format = 32;
        event.xclient.data.l[0] =
            static_cast<long>(XInternAtom(fl_display, "WM_DELETE_WINDOW", False));
        XSendEvent(fl_display, event.xclient.window, False, NoEventMask, &event);
        XFlush(fl_display);
    });
    EXPECT_EQ(result, LauncherDialog::Result::ShowEnded);
    EXPECT_EQ(presentationCalls.size(), 1u);
}

TEST_F(LauncherDialogTest, EnterOnTheFocusedLeaveButtonLeaves) {
    DialogSettings presets;
    presets.moduleName = "DEMO.DMD";
    LauncherDialog dialog(presets, fakePresentation);
    const auto result = runWith(dialog, [&] {
        for (int i = 0; i < 3; ++i) key(FL_Tab);
        EXPECT_EQ(Fl::focus(), &dialog.leaveButton());
        key(FL_Enter, "\r");
    });
    EXPECT_EQ(result, LauncherDialog::Result::Left);
    EXPECT_TRUE(presentationCalls.empty());
}

TEST_F(LauncherDialogTest, NoDmdSelectedShowsTheMessageBoxAndTheDialogStaysOpen) {
    DialogSettings presets;
    presets.moduleName = "NO DMD SELECTED!";
    LauncherDialog dialog(presets, fakePresentation);
    expectedMessageText =
        "My name is not Psycho Mantis, so I cannot read your mind and know which demo you wonna "
        "see!";
    const auto result = runWith(dialog, [&] {
        Fl::add_timeout(0.05, closeMessageBox);
        key(FL_Enter, "\r");
        EXPECT_TRUE(dialog.window().shown());
        Fl::add_timeout(0.05, closeMessageBox);
        key(FL_Escape);  // the same again
        EXPECT_TRUE(dialog.window().shown());
        key('l', "l", FL_ALT);
    });
    EXPECT_EQ(result, LauncherDialog::Result::Left);
    EXPECT_TRUE(presentationCalls.empty());
    ASSERT_EQ(seenMessages.size(), 2u);
    for (const SeenMessage& m : seenMessages) {
        EXPECT_EQ(m.caption, "Something got out of your mind.. ");
        EXPECT_TRUE(m.hadText);
    }
}

}  // namespace
