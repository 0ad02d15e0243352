// LauncherDialog: the settings dialog over FLTK. It lays its controls out
// from the template's dialog units, presets them, and runs the start handler
// of dialog_logic when the start button, Enter, Esc or a close request asks
// for the show. Needs an open X display (openDisplay).
#pragma once

#include <memory>
#include <string>

#include "dialog/dialog_logic.h"

class Fl_Check_Button;
class Fl_Double_Window;
class Fl_Widget;
class DialogButton;
class DropDownList;

class LauncherDialog : private StartHost {
  public:
    // RunPresentation's signature; tests pass their own.
    using PresentationFn = int (*)(const ShowRequest& request, char* messageBuffer);

    enum class Result {
        Left,         // the leave button: nothing was started
        ShowEnded,    // the show ran and ended
        StartFailed,  // the show could not start; the reason was shown
    };

    // Opens the X display the dialog needs. False when there is none; then
    // no dialog can be shown in this process.
    static bool openDisplay();

    LauncherDialog(const DialogSettings& presets, PresentationFn presentation);
    ~LauncherDialog() override;
    LauncherDialog(const LauncherDialog&) = delete;
    LauncherDialog& operator=(const LauncherDialog&) = delete;

    // Shows the dialog and returns once it has ended.
    Result runUntilEnded();

    // The members as the controls last left them.
    const DialogSettings& settings() const { return settings_; }

    // The window and its controls, for tests.
    Fl_Double_Window& window() { return *window_; }
    DropDownList& resolutionList() { return *resolutionList_; }
    Fl_Check_Button& fullScreenCheck() { return *fullScreenCheck_; }
    Fl_Check_Button& noSoundCheck() { return *noSoundCheck_; }
    DialogButton& startButton() { return *startButton_; }
    DialogButton& leaveButton() { return *leaveButton_; }

  private:
    void buildControls();
    void OnInitDialog();
    // true: controls into members; false: members into controls.
    void DoDataExchange(bool saveAndValidate);
    void onStart();
    void onLeave();
    void endDialog(Result result);

    // StartHost
    void showMessage(const char* caption, const char* text) override;
    void hideDialog() override;
    int runPresentation(const ShowRequest& request, char* messageBuffer) override;
    void reportStartFailure(const std::string& reason) override;

    static void startCallback(Fl_Widget*, void* dialog);
    static void leaveCallback(Fl_Widget*, void* dialog);

    DialogSettings settings_;
    std::string extraResolutionText_;  // the list keeps a pointer to it
    PresentationFn presentation_;
    std::unique_ptr<Fl_Double_Window> window_;
    DropDownList* resolutionList_ = nullptr;
    Fl_Check_Button* fullScreenCheck_ = nullptr;
    Fl_Check_Button* noSoundCheck_ = nullptr;
    DialogButton* startButton_ = nullptr;
    DialogButton* leaveButton_ = nullptr;
    bool ended_ = false;
    Result result_ = Result::Left;
};
