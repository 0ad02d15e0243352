// Implements LauncherApp: the dialog when a display is there, else a direct
// start that reports on stderr only.
#include "dialog/launcher_app.h"

#include <cstdio>

#include "dialog/dialog_logic.h"
#include "dialog/launcher_dialog.h"
#include "host/module_loader.h"
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
    int runPresentation(const PresentationRequest& request, char* messageBuffer) override {
        return RunPresentation(request.moduleName.c_str(), request.width, request.height,
                               request.fullScreen, request.soundEnabled, messageBuffer);
    }
    void reportStartFailure(const std::string& reason) override {
        std::fputs(startFailureLines(reason, lastModuleLoadDetail()).c_str(), stderr);
    }
};

}  // namespace

int LauncherApp::initInstance() {
    if (options_.noDialog) return startDirectly();
    if (!LauncherDialog::openDisplay()) {
        std::fputs("talvenor: no X display for the settings dialog; starting the show\n", stderr);
        return startDirectly();
    }
    LauncherDialog dialog(dialogSettingsFor(options_), RunPresentation);
    switch (dialog.doModal()) {
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
    return exitStatusFor(startShow(dialogSettingsFor(options_), host));
}
