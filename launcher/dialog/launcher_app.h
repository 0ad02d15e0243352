// LauncherApp: the launcher as an application. It shows the settings dialog
// and lets its start handler run the show; with --no-dialog, or where no X
// display can be opened, it starts the show at once as the command line's
// request asks. Either way at most one show runs.
#pragma once

#include "host/show_request.h"

class LauncherApp {
  public:
    // request: the show the command line asks for, which the dialog presets
    // its controls from.
    LauncherApp(const ShowRequest& request, bool noDialog)
        : request_(request), noDialog_(noDialog) {}

    // Runs the dialog or the direct start; returns the program's exit status:
    // 0 after a show or the leave button, 1 when the show could not start,
    // 2 for a start the module refuses without a dialog.
    int InitInstance();

  private:
    int startDirectly();

    ShowRequest request_;
    bool noDialog_;
};
