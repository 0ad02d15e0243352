// LauncherApp: the launcher as an application. It shows the settings dialog
// and lets its start handler run the show; with --no-dialog, or where no X
// display can be opened, it starts the show at once with the options'
// settings. Either way at most one show runs.
#pragma once

#include "options/command_line.h"

class LauncherApp {
  public:
    explicit LauncherApp(const LaunchOptions& options) : options_(options) {}

    // Runs the dialog or the direct start; returns the program's exit status:
    // 0 after a show or the leave button, 1 when the show could not start.
    int initInstance();

  private:
    int startDirectly();

    LaunchOptions options_;
};
