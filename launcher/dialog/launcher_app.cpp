// Implements LauncherApp over the dialog's start handler: the FLTK dialog
// when an X display is there, else a direct start that reports on stderr
// only.
#include "dialog/launcher_app.h"

#include <cstdio>

#include "dialog/dialog_logic.h"
#include "dialog/launcher_dialog.h"
#include "host/show_host.h"
#include "live/presentation.h"

namespace {

// The start without a dialog: messages go to stderr, there is nothing to
// hide.
class DirectStart : public StartHost {
  public:
    void showMessage(const char* /*caption*/, const char* text) override {
        std::fprintf(stderr, "talvenor: %s\n", text);
    }
    void hideDialog() override {}
    int runPresentation(const ShowRequest& request, char* messageBuffer) override {
        return RunPresentation(request, messageBuffer);
    }
    void reportStartFailure(const std::string& reason) override {
        std::fputs(startFailureLines(reason, startFailureDetail()).c_str(), stderr);
    }
};

}  // namespace

int LauncherApp::InitInstance() {
    if (noDialog_) return startDirectly();
    if (!LauncherDialog::openDisplay()) {
        std::fputs("talvenor: no X display for the settings dialog; starting the show\n", stderr);
        return startDirectly();
    }
    LauncherDialog dialog(dialogSettingsFor(request_), RunPresentation);
    switch (dialog.runUntilEnded()) {
        case LauncherDialog::Result::Left:
        case LauncherDialog::Result::ShowEnded:
            return 0;
        case LauncherDialog::Result::StartFailed:
            return 1;
    }
    return 1;
}

int LauncherApp::startDirectly() {
    DirectStart host;
    return exitStatusFor(startShow(dialogSettingsFor(request_), host));
}
